// The right pane: a table's records, page by page, the script of another
// object, or a note about the object clicked; with none of them it shows
// the background picture.
//
// The record list exists only while a record view is shown: it fills the
// pane less the 30-pixel strip at the bottom, where "Previous" sits on the
// left half and "Next" on the right half. Both buttons are hidden while
// there is no list. Clear removes the list or the note and paints the
// picture again.
#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QSvgRenderer;
class QTableView;
class QTextEdit;

namespace quillon::app {

class RecordListModel;

class CQuillonView : public QWidget {
  Q_OBJECT

 public:
  // Height of the strip that holds the two buttons.
  static constexpr int kButtonStrip = 30;
  // Width of every column of the record list.
  static constexpr int kColumnWidth = 142;

  explicit CQuillonView(QWidget* parent = nullptr);
  ~CQuillonView() override;

  // Removes whatever the pane shows; the picture is painted again.
  void Clear();
  // A note in place of a list: a title line and the object it is about.
  void ShowNote(const QString& title, const QString& detail);

  // An empty, read-only script view in place of whatever the pane shows,
  // ready for the script a worker is generating.
  void PrepareScriptView();
  // Shows a generated script: its first line (the header naming the object)
  // in red italic Courier, the statements after it in bold green. Does
  // nothing when the script view has gone meanwhile.
  void ShowScript(const QString& script);

  // A new, empty record list with the buttons shown and "Next" enabled.
  void ShowRecordList();
  // The list's columns (every row goes). "Previous" is disabled and "Next"
  // enabled.
  void SetColumns(const QStringList& captions);
  void AddRow(const QStringList& cells, bool first);
  void ClearRows();
  void SetPreviousEnabled(bool enabled);
  void SetNextEnabled(bool enabled);

  QTableView* recordList() const { return list_; }
  RecordListModel* records() const { return records_; }
  QLabel* note() const { return note_; }
  QTextEdit* scriptView() const { return script_; }
  QPushButton* previousButton() const { return previous_; }
  QPushButton* nextButton() const { return next_; }

 Q_SIGNALS:
  void previousClicked();
  void nextClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RemoveContent();
  void LayOut();

  std::unique_ptr<QSvgRenderer> picture_;
  QTableView* list_ = nullptr;
  RecordListModel* records_ = nullptr;
  QLabel* note_ = nullptr;
  QTextEdit* script_ = nullptr;
  QPushButton* previous_;
  QPushButton* next_;
};

}  // namespace quillon::app
