#include "app/user_prompts.h"

#include <QFileDialog>

#include "app/app_texts.h"
#include "app/message_box.h"
#include "app/repair_wizard.h"
#include "app/select_database_dialog.h"

namespace quillon::app {

void DialogPrompts::Inform(QWidget* parent, const QString& upper, const QString& lower) {
  MessageBoxDialog box(MessageBoxDialog::Kind::kInformation, upper, lower, parent);
  box.exec();
}

bool DialogPrompts::Ask(QWidget* parent, const QString& upper, const QString& lower) {
  MessageBoxDialog box(MessageBoxDialog::Kind::kQuestion, upper, lower, parent);
  return box.exec() == QDialog::Accepted;
}

std::optional<SourceSelection> DialogPrompts::SelectSource(QWidget* parent) {
  CSelectOracleDataBase dialog(*this, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selection();
}

std::optional<QString> DialogPrompts::ChooseAnyFile(QWidget* parent) {
  const QString path = QFileDialog::getOpenFileName(parent, QString::fromUtf8(text::kSelectDatabase), QString(),
                                                    QStringLiteral("All Files (*)"));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> DialogPrompts::ChooseLogFile(QWidget* parent, const QString& proposed) {
  // The overwrite question is ours (the "Overwrite File" box), asked after
  // the ".log" ending has been added, so the chooser must not ask its own.
  const QString path = QFileDialog::getSaveFileName(parent, QString(), proposed, QString::fromUtf8(text::kSaveLogFilter),
                                                    nullptr, QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

bool DialogPrompts::ConfirmOverwrite(QWidget* parent) {
  MessageBoxDialog box(MessageBoxDialog::Kind::kQuestion, QString::fromUtf8(text::kFileExists),
                       QString::fromUtf8(text::kAskOverwrite), parent);
  box.setWindowTitle(QString::fromUtf8(text::kOverwriteCaption));
  box.setObjectName(QStringLiteral("CFileExist"));
  return box.exec() == QDialog::Accepted;
}

void DialogPrompts::ShowError(QWidget* parent, const QString& text) {
  MessageBoxDialog box(MessageBoxDialog::Kind::kError, QString(), text, parent);
  box.exec();
}

std::optional<repair::TargetChoice> DialogPrompts::ChooseRepairTarget(QWidget* parent,
                                                                      const RepairWizardContext& context) {
  return RunRepairWizard(parent, *this, context);
}

}  // namespace quillon::app
