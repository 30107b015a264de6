#include "cli/target_password.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>

#include "cli/cli.h"

namespace quillon::cli {

namespace {

std::string FirstLine(std::string text) {
  const std::size_t end = text.find('\n');
  if (end != std::string::npos) text.erase(end);
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

}  // namespace

std::string TargetPassword(const std::optional<std::string>& password_file, const char* environment_value,
                           const std::function<std::optional<std::string>()>& prompt) {
  std::string password;
  if (password_file) {
    std::ifstream in(*password_file, std::ios::binary);
    if (!in) throw Failure{"cannot read the password file " + *password_file};
    std::string text;
    std::getline(in, text, '\0');
    password = FirstLine(std::move(text));
    if (password.empty()) throw Failure{"the password file " + *password_file + " holds no password"};
    return password;
  }
  if (environment_value) {
    password = environment_value;
    if (password.empty()) throw Failure{std::string(kPasswordVariable) + " is empty"};
    return password;
  }
  std::optional<std::string> typed = prompt ? prompt() : std::nullopt;
  if (!typed) {
    throw Failure{std::string("no password for the target: give --password-file FILE or set ") + kPasswordVariable +
                  " (there is no terminal to ask on)"};
  }
  if (typed->empty()) throw Failure{"no password was typed"};
  return *typed;
}

std::optional<std::string> PromptPasswordOnTerminal(const std::string& question) {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  termios saved{};
  if (tcgetattr(fd, &saved) != 0) {
    close(fd);
    return std::nullopt;
  }
  termios quiet = saved;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  quiet.c_lflag |= ECHONL;
  if (write(fd, question.data(), question.size()) < 0 || tcsetattr(fd, TCSAFLUSH, &quiet) != 0) {
    close(fd);
    return std::nullopt;
  }
  std::string line;
  char c = 0;
  bool complete = false;
  while (read(fd, &c, 1) == 1) {
    if (c == '\n') {
      complete = true;
      break;
    }
    line += c;
  }
  tcsetattr(fd, TCSAFLUSH, &saved);
  close(fd);
  if (!complete && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace quillon::cli
