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

}  // namespace

void ScriptedPrompts::Inform(QWidget*, const QString& upper, const QString& lower) {
  informed.append(Box{upper, lower});
}

bool ScriptedPrompts::Ask(QWidget*, const QString& upper, const QString& lower) {
  asked.append(Box{upper, lower});
  return Next(answers, false);
}

std::optional<SourceSelection> ScriptedPrompts::SelectSource(QWidget*) {
  return Next<std::optional<SourceSelection>>(sources, std::nullopt);
}

std::optional<QString> ScriptedPrompts::ChooseAnyFile(QWidget*) {
  return Next<std::optional<QString>>(files, std::nullopt);
}

std::optional<QString> ScriptedPrompts::ChooseLogFile(QWidget*, const QString& proposed) {
  proposed_names.append(proposed);
  return Next<std::optional<QString>>(files, std::nullopt);
}

bool ScriptedPrompts::ConfirmOverwrite(QWidget*) {
  ++overwrite_questions;
  return Next(overwrite_answers, false);
}

}  // namespace quillon::app::testing
