// Every question the application puts to the user goes through UserPrompts:
// the two message boxes, the file choosers and the Select Database dialog.
// The program uses DialogPrompts; tests script the answers instead, so no
// modal dialog ever waits for a mouse in a test.
#pragma once

#include <QString>
#include <optional>

#include "repair/target_choice.h"

class QWidget;

namespace quillon::app {

// The choice made in the Select Database dialog.
struct SourceSelection {
  QString folder;           // the chosen database folder
  QString system_datafile;  // its SYSTEM datafile; empty when none was found
};

// What the repair wizard proposes: the source folder (no output may lie in
// it) and the database's name (the default output file's name).
struct RepairWizardContext {
  QString source_folder;
  QString database_name;
};

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // The information box: upper and lower text, OK.
  virtual void Inform(QWidget* parent, const QString& upper, const QString& lower) = 0;
  // The question box: upper and lower text, Yes and No (No the default).
  virtual bool Ask(QWidget* parent, const QString& upper, const QString& lower) = 0;
  // The Select Database dialog; std::nullopt when cancelled.
  virtual std::optional<SourceSelection> SelectSource(QWidget* parent) = 0;
  // Any existing file (Select Database).
  virtual std::optional<QString> ChooseAnyFile(QWidget* parent) = 0;
  // The file to save the log to, proposing proposed.
  virtual std::optional<QString> ChooseLogFile(QWidget* parent, const QString& proposed) = 0;
  // The "Overwrite File" box; true for Yes.
  virtual bool ConfirmOverwrite(QWidget* parent) = 0;
  // The error box: the text with the error icon, OK.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // The repair wizard (Start Repair); std::nullopt when either page was
  // cancelled.
  virtual std::optional<repair::TargetChoice> ChooseRepairTarget(QWidget* parent,
                                                                 const RepairWizardContext& context) = 0;
};

// The real dialogs.
class DialogPrompts : public UserPrompts {
 public:
  void Inform(QWidget* parent, const QString& upper, const QString& lower) override;
  bool Ask(QWidget* parent, const QString& upper, const QString& lower) override;
  std::optional<SourceSelection> SelectSource(QWidget* parent) override;
  std::optional<QString> ChooseAnyFile(QWidget* parent) override;
  std::optional<QString> ChooseLogFile(QWidget* parent, const QString& proposed) override;
  bool ConfirmOverwrite(QWidget* parent) override;
  void ShowError(QWidget* parent, const QString& text) override;
  std::optional<repair::TargetChoice> ChooseRepairTarget(QWidget* parent,
                                                         const RepairWizardContext& context) override;
};

}  // namespace quillon::app
