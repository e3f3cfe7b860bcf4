#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

#include "tools/AdminCommands.h"

namespace {

// Reads one line from the standard input; on a terminal without echo, so that the
// password is not shown.
std::optional<QString> ReadSecret(const QString& prompt) {
  std::cerr << prompt.toStdString() << std::flush;
  termios saved{};
  const bool terminal = ::isatty(STDIN_FILENO) != 0 && ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (terminal) {
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string line;
  const bool got = static_cast<bool>(std::getline(std::cin, line));
  if (terminal) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << '\n';
  }
  if (!got) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return QString::fromStdString(line);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  admin::Console console{out, err, ReadSecret};
  return admin::Run(QCoreApplication::arguments().mid(1), console);
}
