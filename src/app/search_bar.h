// The search bar above the panes: the find text with its grey prompt, the
// "Match case" and "Match whole word" boxes and the "Find" button. Finding
// itself belongs to the object tree; the bar only asks for it.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quillon::app {

class SearchBar : public QWidget {
  Q_OBJECT

 public:
  explicit SearchBar(QWidget* parent = nullptr);

  // Clears both boxes and the text and sets the button text to "Find".
  void Reset();
  // Enables or disables the text, both boxes and the button (the button
  // is enabled only while the text is not empty).
  void SetControlsEnabled(bool enabled);
  bool ControlsEnabled() const { return controls_enabled_; }

  QLineEdit* edit() const { return edit_; }
  QCheckBox* matchCase() const { return match_case_; }
  QCheckBox* wholeWord() const { return whole_word_; }
  QPushButton* findButton() const { return find_; }

 Q_SIGNALS:
  void findRequested(const QString& text, bool match_case, bool whole_word);
  // The text changed: the next Find starts again from the top.
  void searchTextChanged(const QString& text);

 private:
  void UpdateFindButton();

  QLineEdit* edit_;
  QCheckBox* match_case_;
  QCheckBox* whole_word_;
  QPushButton* find_;
  bool controls_enabled_ = true;
};

}  // namespace quillon::app
