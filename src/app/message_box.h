// The application's message boxes: information (OK), error (OK, the error
// icon) and question (Yes, No; No is the default), captioned with the
// application title, with an icon, an upper and a lower text.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillon::app {

class MessageBoxDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Kind { kInformation, kQuestion, kError };

  MessageBoxDialog(Kind kind, const QString& upper, const QString& lower, QWidget* parent = nullptr);

  QString upperText() const;
  QString lowerText() const;
  // OK for the information box, No for the question box.
  QPushButton* defaultButton() const { return default_button_; }

 private:
  QLabel* upper_ = nullptr;
  QLabel* lower_ = nullptr;
  QPushButton* default_button_ = nullptr;
};

}  // namespace quillon::app
