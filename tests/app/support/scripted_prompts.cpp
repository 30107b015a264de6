#include "support/scripted_prompts.h"

namespace quillon::app::testing {

namespace {

template <typename T>
T Next(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}

// The next scripted optional answer. The value is built in place from the
// engaged answer: moving the whole optional out of the queue makes GCC 12 at
// -O3 report its payload (QStrings) as maybe uninitialized, a false positive.
template <typename T>
std::optional<T> NextOptional(std::deque<std::optional<T>>& queue) {
  if (queue.empty()) return std::nullopt;
  std::optional<T> value;
  if (queue.front()) value.emplace(std::move(*queue.front()));
  queue.pop_front();
  return value;
}

}  // namespace

void ScriptedPrompts::Inform(QWidget*, const QString& upper, const QString& lower) {
  informed.append(Box{upper, lower});
}

bool ScriptedPrompts::Ask(QWidget*, const QString& upper, const QString& lower) {
  asked.append(Box{upper, lower});
  return Next(answers, false);
}

std::optional<SourceSelection> ScriptedPrompts::SelectSource(QWidget*) {
  return NextOptional(sources);
}

std::optional<QString> ScriptedPrompts::ChooseAnyFile(QWidget*) {
  return NextOptional(files);
}

std::optional<QString> ScriptedPrompts::ChooseLogFile(QWidget*, const QString& proposed) {
  proposed_names.append(proposed);
  return NextOptional(files);
}

bool ScriptedPrompts::ConfirmOverwrite(QWidget*) {
  ++overwrite_questions;
  return Next(overwrite_answers, false);
}

void ScriptedPrompts::ShowError(QWidget*, const QString& text) { errors.append(text); }

std::optional<repair::TargetChoice> ScriptedPrompts::ChooseRepairTarget(QWidget*,
                                                                        const RepairWizardContext& context) {
  wizard_contexts.append(context);
  return NextOptional(targets);
}

}  // namespace quillon::app::testing
