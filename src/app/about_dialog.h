// The About box: product, version and the operating system it runs on.
#pragma once

#include <QDialog>

namespace quillon::app {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // "Debian GNU/Linux 12 (bookworm)" and the like.
  static QString SystemName();
  // The kernel and its version, e.g. "linux 6.1.0".
  static QString SystemVersion();
};

}  // namespace quillon::app
