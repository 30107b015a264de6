// UserPrompts with scripted answers, recording every question asked.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "app/user_prompts.h"

namespace quillon::app::testing {

class ScriptedPrompts : public UserPrompts {
 public:
  struct Box {
    QString upper;
    QString lower;
  };

  void Inform(QWidget* parent, const QString& upper, const QString& lower) override;
  bool Ask(QWidget* parent, const QString& upper, const QString& lower) override;
  std::optional<SourceSelection> SelectSource(QWidget* parent) override;
  std::optional<QString> ChooseAnyFile(QWidget* parent) override;
  std::optional<QString> ChooseLogFile(QWidget* parent, const QString& proposed) override;
  bool ConfirmOverwrite(QWidget* parent) override;
  void ShowError(QWidget* parent, const QString& text) override;
  std::optional<repair::TargetChoice> ChooseRepairTarget(QWidget* parent,
                                                         const RepairWizardContext& context) override;

  // Answers, used in order; an empty queue answers No / cancel.
  std::deque<bool> answers;
  std::deque<std::optional<SourceSelection>> sources;
  std::deque<std::optional<QString>> files;
  std::deque<bool> overwrite_answers;
  std::deque<std::optional<repair::TargetChoice>> targets;

  // What was asked.
  QList<Box> informed;
  QList<Box> asked;
  QStringList proposed_names;
  int overwrite_questions = 0;
  QStringList errors;
  QList<RepairWizardContext> wizard_contexts;
};

}  // namespace quillon::app::testing
