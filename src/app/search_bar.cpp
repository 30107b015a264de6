#include "app/search_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_texts.h"
#include "app/icons.h"

namespace quillon::app {

SearchBar::SearchBar(QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      match_case_(new QCheckBox(QString::fromUtf8(text::kMatchCase), this)),
      whole_word_(new QCheckBox(QString::fromUtf8(text::kMatchWholeWord), this)),
      find_(new QPushButton(QString::fromUtf8(text::kFind), this)) {
  setObjectName(QStringLiteral("SearchBar"));
  edit_->setObjectName(QStringLiteral("SearchEdit"));
  edit_->setPlaceholderText(QString::fromUtf8(text::kSearchPrompt));
  edit_->addAction(MenuIcon(QStringLiteral("find")), QLineEdit::LeadingPosition);
  edit_->setMinimumWidth(260);
  edit_->setClearButtonEnabled(true);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->addWidget(new QLabel(QString::fromUtf8(text::kFindItems), this));
  layout->addWidget(edit_);
  layout->addWidget(match_case_);
  layout->addWidget(whole_word_);
  layout->addWidget(find_);
  layout->addStretch(1);

  connect(edit_, &QLineEdit::textChanged, this, [this](const QString& t) {
    find_->setText(QString::fromUtf8(text::kFind));
    UpdateFindButton();
    Q_EMIT searchTextChanged(t);
  });
  connect(edit_, &QLineEdit::returnPressed, find_, &QPushButton::click);
  connect(find_, &QPushButton::clicked, this, [this] {
    Q_EMIT findRequested(edit_->text(), match_case_->isChecked(), whole_word_->isChecked());
  });
  UpdateFindButton();
}

void SearchBar::Reset() {
  match_case_->setChecked(false);
  whole_word_->setChecked(false);
  edit_->clear();
  find_->setText(QString::fromUtf8(text::kFind));
}

void SearchBar::SetControlsEnabled(bool enabled) {
  controls_enabled_ = enabled;
  edit_->setEnabled(enabled);
  match_case_->setEnabled(enabled);
  whole_word_->setEnabled(enabled);
  UpdateFindButton();
}

void SearchBar::UpdateFindButton() { find_->setEnabled(controls_enabled_ && !edit_->text().isEmpty()); }

}  // namespace quillon::app
