#include "app/message_box.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/app_texts.h"

namespace quillon::app {

MessageBoxDialog::MessageBoxDialog(Kind kind, const QString& upper, const QString& lower, QWidget* parent)
    : QDialog(parent) {
  setObjectName(kind == Kind::kQuestion ? QStringLiteral("CMyExitStopDialog")
                : kind == Kind::kError  ? QStringLiteral("ErrorBox")
                                        : QStringLiteral("InformationBox"));
  setWindowTitle(QString::fromUtf8(text::kAppTitle));
  setModal(true);

  auto* icon = new QLabel(this);
  const QStyle::StandardPixmap pixmap = kind == Kind::kQuestion ? QStyle::SP_MessageBoxQuestion
                                        : kind == Kind::kError  ? QStyle::SP_MessageBoxCritical
                                                                : QStyle::SP_MessageBoxInformation;
  icon->setPixmap(style()->standardIcon(pixmap).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);

  upper_ = new QLabel(upper, this);
  lower_ = new QLabel(lower, this);
  QFont bold = upper_->font();
  bold.setBold(true);
  upper_->setFont(bold);
  upper_->setVisible(!upper.isEmpty());
  lower_->setVisible(!lower.isEmpty());
  for (QLabel* label : {upper_, lower_}) label->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* texts = new QVBoxLayout;
  texts->addWidget(upper_);
  texts->addWidget(lower_);
  texts->addStretch(1);
  auto* body = new QHBoxLayout;
  body->addWidget(icon);
  body->addSpacing(12);
  body->addLayout(texts, 1);

  auto* buttons = new QDialogButtonBox(this);
  if (kind == Kind::kQuestion) {
    QPushButton* yes = buttons->addButton(QDialogButtonBox::Yes);
    default_button_ = buttons->addButton(QDialogButtonBox::No);
    yes->setAutoDefault(false);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(default_button_, &QPushButton::clicked, this, &QDialog::reject);
  } else {
    default_button_ = buttons->addButton(QDialogButtonBox::Ok);
    connect(default_button_, &QPushButton::clicked, this, &QDialog::accept);
  }
  default_button_->setDefault(true);
  default_button_->setFocus();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addSpacing(8);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(340);
}

QString MessageBoxDialog::upperText() const { return upper_->text(); }
QString MessageBoxDialog::lowerText() const { return lower_->text(); }

}  // namespace quillon::app
