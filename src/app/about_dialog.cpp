#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSysInfo>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/icons.h"

namespace quillon::app {

QString AboutDialog::SystemName() { return QSysInfo::prettyProductName(); }

QString AboutDialog::SystemVersion() {
  return QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion() + QStringLiteral(" (") +
         QSysInfo::currentCpuArchitecture() + QLatin1Char(')');
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutDialog"));
  setWindowTitle(QStringLiteral("About Quillon"));

  auto* icon = new QLabel(this);
  icon->setPixmap(RenderSvg(QStringLiteral(":/icons/app/quillon.svg"), 96));
  icon->setAlignment(Qt::AlignTop);

  auto* name = new QLabel(QString::fromUtf8(text::kAppTitle), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  name->setFont(big);
  auto* purpose =
      new QLabel(QStringLiteral("Rescues the contents of a damaged Oracle database\nstraight from its datafiles."), this);
  auto* version = new QLabel(QStringLiteral("Version ") + QStringLiteral(QUILLON_VERSION), this);

  auto* system = new QGridLayout;
  system->addWidget(new QLabel(QStringLiteral("Operating system:"), this), 0, 0);
  system->addWidget(new QLabel(SystemName(), this), 0, 1);
  system->addWidget(new QLabel(QStringLiteral("Kernel:"), this), 1, 0);
  system->addWidget(new QLabel(SystemVersion(), this), 1, 1);
  system->addWidget(new QLabel(QStringLiteral("Qt:"), this), 2, 0);
  system->addWidget(new QLabel(QString::fromLatin1(qVersion()), this), 2, 1);

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(version);
  texts->addSpacing(6);
  texts->addWidget(purpose);
  texts->addSpacing(10);
  texts->addLayout(system);
  texts->addStretch(1);

  auto* body = new QHBoxLayout;
  body->addWidget(icon);
  body->addSpacing(16);
  body->addLayout(texts, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace quillon::app
