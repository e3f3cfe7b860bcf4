#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Dialogs.h"
#include "tests/support/TestSupport.h"

class TDM;
class TDataSet;

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '[' << l.join(QStringLiteral(" / ")).toStdString() << ']';
}

namespace reliability {

// A second SQLite handle on the file: another program, as the tests need one.
class RawDb {
 public:
  explicit RawDb(const QString& path, int busyTimeoutMs = 5000);
  ~RawDb();
  RawDb(const RawDb&) = delete;
  RawDb& operator=(const RawDb&) = delete;
  void Exec(const QString& sql);
  // The first column of the first row as text ("" for none or null).
  QString Scalar(const QString& sql);
  // Every row, its columns joined by "|" (null as "NULL").
  QStringList Rows(const QString& sql);

 private:
  sqlite3* db_ = nullptr;
};

// Everything the five tables hold, one line a row, for before/after comparisons.
QStringList TableContents(const QString& path);
QString IntegrityCheck(const QString& path);
QByteArray FileHash(const QString& path);
// Runs the sqlite3 program on the file; its standard output, trimmed.
QString Sqlite3Cli(const QString& path, const QString& sql);

// Every field of the current row as text.
QStringList FieldTexts(const TDataSet& ds);

// The message of the EDatabaseError call raises ("" when none).
template <typename F>
QString DatabaseErrorOf(F&& call) {
  try {
    call();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return {};
}

struct Box {
  QString text;
  QString caption;
};

// Answers every message box with OK and keeps what was shown.
class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;
  std::vector<Box> boxes;
  int answer = id::OK;

 private:
  MessageBoxHandler previous_;
};

// The shop as the program sees it: a demonstration database in a scratch executable
// folder, ServerConfig.ini naming it, and the data module once Connect() is called.
class ShopTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A demonstration database (no password unless given) at name in the folder.
  QString MakeDatabase(const QString& name, const QString& password = {});
  void WriteServerConfig(const QString& databasePath, const QString& password);
  // Creates DM and runs its creation handler, as start-up does.
  TDM* Connect();

  testsupport::ScopedExeFolder exe_;
  QString db_;
  BoxRecorder boxes_;
};

}  // namespace reliability
