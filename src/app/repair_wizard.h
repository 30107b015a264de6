// The repair wizard of Start Repair: a page of instructions (CFirstStep),
// then the target page (CDataBaseNameField), both modal, on the GUI thread,
// before the worker starts.
//
// The target page offers three targets: an Oracle data source (its name or
// a connection string, the user SYSTEM and its password, and the target
// folder the repair writes its files into), a SQL script file and a SQLite
// file. "Connect" is enabled only when the chosen target is complete: for a
// data source the name, the password and the folder; for a file its path.
// No output may lie in the corrupted database's folder: a folder that is or
// lies inside it is refused with the "Selected Path is not valid!!" box, and
// so is a file inside it when Connect is pressed. The password stays in the
// page and in the choice it returns; it is never shown or written anywhere.
#pragma once

#include <QDialog>
#include <optional>

#include "app/user_prompts.h"
#include "repair/target_choice.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillon::app {

class CFirstStep : public QDialog {
  Q_OBJECT

 public:
  CFirstStep(UserPrompts& prompts, QWidget* parent = nullptr);
  QPushButton* nextButton() const { return next_; }
  QPushButton* helpButton() const { return help_; }

 private:
  QPushButton* next_;
  QPushButton* help_;
};

class CDataBaseNameField : public QDialog {
  Q_OBJECT

 public:
  CDataBaseNameField(UserPrompts& prompts, RepairWizardContext context, QWidget* parent = nullptr);

  void SetKind(repair::TargetKind kind);
  repair::TargetKind kind() const { return kind_; }
  // What "Browse" does with the folder the user picked: an empty path
  // changes nothing; a folder that is or lies inside the source folder is
  // refused with the error box; otherwise it becomes the target folder
  // (and, while no data source is named, its last component the data
  // source's name).
  void ChooseFolder(const QString& folder);
  // "Connect": for a file target the path is checked first (the page stays
  // open when it lies inside the source folder, or when it exists and the
  // user does not want it overwritten).
  void Connect();
  // The choice, once the page was closed with Connect.
  std::optional<repair::TargetChoice> TakeChoice();

  // The default output file of a file target: NAME.sqlite or NAME.sql
  // beside the source folder.
  QString DefaultFile(repair::TargetKind kind) const;

  QLineEdit* dataSourceEdit() const { return data_source_; }
  QLineEdit* folderEdit() const { return folder_; }
  QLineEdit* userEdit() const { return user_; }
  QLineEdit* passwordEdit() const { return password_; }
  QLineEdit* fileEdit() const { return file_; }
  QPushButton* connectButton() const { return connect_; }
  QPushButton* helpButton() const { return help_; }
  QRadioButton* kindButton(repair::TargetKind kind) const;

 private:
  void BrowseFolder();
  void BrowseFile();
  void UpdateConnect();

  UserPrompts* prompts_;
  RepairWizardContext context_;
  repair::TargetKind kind_ = repair::TargetKind::kSqliteFile;
  QString target_folder_;
  QButtonGroup* kinds_;
  QLineEdit* data_source_;
  QLineEdit* folder_;
  QPushButton* browse_folder_;
  QLineEdit* user_;
  QLineEdit* password_;
  QLineEdit* file_;
  QPushButton* browse_file_;
  QPushButton* connect_;
  QPushButton* help_;
  std::optional<repair::TargetChoice> choice_;
};

// Both pages in turn; std::nullopt when either was cancelled. Both are
// destroyed when it returns.
std::optional<repair::TargetChoice> RunRepairWizard(QWidget* parent, UserPrompts& prompts,
                                                    const RepairWizardContext& context);

}  // namespace quillon::app
