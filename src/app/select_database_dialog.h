// The Select Database dialog: pick any file in the database's folder, or
// search a mounted file system for folders below "oradata" and double-click
// one; "Scan File" then finds the folder's SYSTEM datafile and closes.
#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>

#include "app/find_thread.h"
#include "app/user_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace quillon::app {

class CSelectOracleDataBase : public QDialog {
  Q_OBJECT

 public:
  // look_in: the places offered under "Look In:"; empty for the mount points.
  CSelectOracleDataBase(UserPrompts& prompts, QWidget* parent = nullptr, QStringList look_in = {});

  SourceSelection selection() const { return selection_; }

  // The dialog's buttons and list, as commands.
  void SelectFile();
  void StartSearch();
  void StopSearch();
  void ClearList();
  // A double-click on row (nothing for a row out of range).
  void ChooseRow(int row);
  void ScanFile();
  void ShowHelp();
  // Selects place under "Look In:", adding it when it is not listed.
  void SetLookIn(const QString& place);
  bool Searching() const { return searching_; }

  QTableWidget* results() const { return results_; }
  QLabel* resultCount() const { return count_; }
  QComboBox* lookIn() const { return look_in_; }
  QLineEdit* chosenFolder() const { return chosen_; }
  QPushButton* scanFileButton() const { return scan_file_; }
  QPushButton* clearListButton() const { return clear_list_; }
  QPushButton* stopButton() const { return stop_; }

 Q_SIGNALS:
  void searchFinished(int rows);

 public:
  void reject() override;

 private:
  void OnRowsFound(quint64 search, const QList<DatabaseRow>& rows);
  void OnSearchFinished(quint64 search);
  void ShowFolder(const QString& folder);
  void SetSearchControls(bool searching);

  UserPrompts* prompts_;
  SourceSelection selection_;
  FindThread* find_;
  std::uint64_t search_ = 0;
  bool searching_ = false;
  bool stop_requested_ = false;

  QLineEdit* folder_edit_;
  QPushButton* select_;
  QComboBox* look_in_;
  QPushButton* search_button_;
  QPushButton* stop_;
  QProgressBar* progress_;
  QTableWidget* results_;
  QLabel* count_;
  QPushButton* clear_list_;
  QLineEdit* chosen_;
  QPushButton* help_;
  QPushButton* cancel_;
  QPushButton* scan_file_;
};

}  // namespace quillon::app
