#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

#include "platform/rtl/Exceptions.h"

// The command line of quorvel-admin, apart from the process: the tests drive it directly.
namespace admin {

// A command line that cannot be carried out as written.
QUORVEL_DECLARE_EXCEPTION(EUsageError, Exception)

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command was understood but failed
inline constexpr int kExitUsage = 2;   // the command line is wrong

struct Console {
  QTextStream& out;
  QTextStream& err;
  // Reads a secret after showing prompt; nullopt when the input has ended.
  std::function<std::optional<QString>(const QString& prompt)> askSecret;
};

// Runs one command (arguments without the program name) and gives the exit code.
// Errors go to console.err as "Erro: " + message.
int Run(const QStringList& arguments, Console& console);

QString UsageText();

}  // namespace admin
