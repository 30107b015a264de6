// The password of the ODBC target's user, for `quillon repair --odbc`. It
// comes from a file (--password-file, its first line), from the environment
// variable QUILLON_TARGET_PASSWORD, or from a prompt on the terminal with
// echo off, in that order; never from the command line, where every user of
// the machine could read it.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quillon::cli {

inline constexpr const char* kPasswordVariable = "QUILLON_TARGET_PASSWORD";

// environment_value: the variable's value (nullptr when unset); prompt: asks
// the user, nullopt when there is no terminal. A Failure says why there is
// no password.
std::string TargetPassword(const std::optional<std::string>& password_file, const char* environment_value,
                           const std::function<std::optional<std::string>()>& prompt);

// Asks on the controlling terminal with echo off; nullopt without one.
std::optional<std::string> PromptPasswordOnTerminal(const std::string& question);

}  // namespace quillon::cli
