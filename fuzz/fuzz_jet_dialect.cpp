// The Jet-to-SQLite translation on any statement, and its promise: a value written as a
// double-quoted Jet literal stays one SQLite literal holding exactly that value, inside
// one read-only statement.
#include <sqlite3.h>

#include "fuzz/FuzzSupport.h"
#include "platform/db/JetDialect.h"
#include "platform/rtl/Exceptions.h"

namespace {

sqlite3* Database() {
  static sqlite3* db = [] {
    sqlite3* handle = nullptr;
    sqlite3_open(":memory:", &handle);
    sqlite3_exec(handle, "CREATE TABLE Clientes (id INTEGER PRIMARY KEY, nome TEXT COLLATE NOCASE);", nullptr,
                 nullptr, nullptr);
    return handle;
  }();
  return db;
}

// Prepares sql as one statement; the first column of its first row.
QByteArray RunOne(const QString& sql, const QString& jet) {
  const QByteArray utf8 = sql.toUtf8();
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  const int rc =
      sqlite3_prepare_v2(Database(), utf8.constData(), static_cast<int>(utf8.size()), &stmt, &tail);
  fuzz::Check(rc == SQLITE_OK && stmt != nullptr, "literal statement prepares",
              jet + QStringLiteral("\n-> ") + sql + QStringLiteral("\n") +
                  QString::fromUtf8(sqlite3_errmsg(Database())));
  for (const char* p = tail; *p != '\0'; ++p)
    fuzz::Check(*p == ';' || static_cast<unsigned char>(*p) <= ' ', "one statement only",
                jet + QStringLiteral("\n-> ") + sql);
  fuzz::Check(sqlite3_stmt_readonly(stmt) != 0, "the statement only reads", sql);
  QByteArray value;
  if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
    value = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                       sqlite3_column_bytes(stmt, 0));
  sqlite3_finalize(stmt);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = fuzz::Text(data, size);
  (void)db::jet::ParseSelectList(text);
  (void)db::jet::ParseSource(text);
  try {
    const QString sql = db::jet::ToSqlite(text);
    (void)db::jet::ParseSelectList(sql);
    (void)db::jet::ParseSource(sql);
  } catch (const EDatabaseError&) {
    // an unterminated literal or name is refused: expected for random text
  }

  // SQLite reads text only up to a NUL; such values never reach it as literals.
  if (text.contains(QChar(0))) return 0;
  const QString literal = QLatin1Char('"') +
                          QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
                          QLatin1Char('"');
  const QString select = QStringLiteral("SELECT ") + literal + QStringLiteral(" AS v");
  fuzz::Check(RunOne(db::jet::ToSqlite(select), select) == text.toUtf8(), "literal holds the value", select);
  const QString where =
      QStringLiteral("SELECT id, nome FROM CLIENTES WHERE NOME = ") + literal + QStringLiteral(";");
  RunOne(db::jet::ToSqlite(where), where);
  const db::jet::SourceInfo source = db::jet::ParseSource(db::jet::ToSqlite(where));
  fuzz::Check(source.isSelect && source.singleTable && source.table == QLatin1String("CLIENTES"), "one table",
              where);
  return 0;
}
