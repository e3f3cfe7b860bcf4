#include "platform/remote/SqliteRemoteTransport.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QRegularExpression>

#include "platform/remote/SqliteDialect.h"
#include "platform/rtl/Exceptions.h"

namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

QVariant ColumnValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return QVariant::fromValue<qint64>(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt, column);
    case SQLITE_TEXT:
      return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                               sqlite3_column_bytes(stmt, column));
    case SQLITE_BLOB:
      return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                        sqlite3_column_bytes(stmt, column));
    default:
      return QVariant();
  }
}

}  // namespace

SqliteRemoteTransport::SqliteRemoteTransport(const QString& databaseFile, OpenMode mode,
                                             const QString& catalog)
    : catalog_(catalog) {
  // The catalog goes into ATTACH as a name, so it must be a plain one.
  static const QRegularExpression kPlainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
  if (!kPlainName.match(catalog).hasMatch())
    throw EDatabaseError(QStringLiteral("Nome de catálogo inválido: '%1'").arg(catalog));
  if (mode == OpenMode::ExistingOnly && !QFileInfo(databaseFile).isFile())
    throw EDatabaseError(QStringLiteral("Banco de dados remoto não encontrado: %1").arg(databaseFile));

  if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const QString message = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("sem memória");
    sqlite3_close_v2(db_);
    throw EDatabaseError(message);
  }
  sqlite3_busy_timeout(db_, 5000);

  try {
    sqlite3_stmt* raw = nullptr;
    const QByteArray attach = QStringLiteral("ATTACH DATABASE ?1 AS \"%1\"").arg(catalog).toUtf8();
    if (sqlite3_prepare_v2(db_, attach.constData(), -1, &raw, nullptr) != SQLITE_OK) Fail();
    StatementPtr stmt(raw);
    const QByteArray path = databaseFile.toUtf8();
    sqlite3_bind_text(raw, 1, path.constData(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(raw) != SQLITE_DONE) Fail();
  } catch (...) {
    sqlite3_close_v2(db_);
    throw;
  }
}

SqliteRemoteTransport::~SqliteRemoteTransport() {
  sqlite3_close_v2(db_);
}

RemoteResult SqliteRemoteTransport::Query(const QString& sql) {
  return Run(sql);
}

void SqliteRemoteTransport::Execute(const QString& sql) {
  Run(sql);
}

RemoteResult SqliteRemoteTransport::Run(const QString& sql) {
  const QByteArray text = remote::TranslateForSqlite(sql, catalog_).toUtf8();
  const char* cursor = text.constData();
  const char* const end = cursor + text.size();
  RemoteResult result;
  bool haveResult = false;
  while (cursor < end) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, cursor, static_cast<int>(end - cursor), &raw, &tail) != SQLITE_OK) Fail();
    cursor = tail;
    if (raw == nullptr) continue;  // only blanks or a comment were left
    StatementPtr stmt(raw);
    const int columns = sqlite3_column_count(raw);
    const bool collect = !haveResult && columns > 0;
    if (collect) {
      haveResult = true;
      for (int c = 0; c < columns; ++c) result.Columns << QString::fromUtf8(sqlite3_column_name(raw, c));
    }
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      if (!collect) continue;
      std::vector<QVariant> row;
      row.reserve(static_cast<size_t>(columns));
      for (int c = 0; c < columns; ++c) row.push_back(ColumnValue(raw, c));
      result.Rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) Fail();
  }
  return result;
}

void SqliteRemoteTransport::Fail() const {
  throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db_)));
}

std::shared_ptr<IRemoteTransport> MakeSqliteRemoteTransport(const QString& databaseFile,
                                                            SqliteRemoteTransport::OpenMode mode) {
  return std::make_shared<SqliteRemoteTransport>(databaseFile, mode);
}
