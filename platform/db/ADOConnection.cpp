#include "platform/db/ADOConnection.h"

#include <QFileInfo>

#include "platform/db/ADODataSet.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DatabasePassword.h"
#include "platform/db/JetDialect.h"
#include "platform/db/SqliteSupport.h"
#include "platform/rtl/Exceptions.h"

namespace {

[[noreturn]] void Refuse(const QString& message) {
  throw EDatabaseError(message);
}

// Opens the file without ever creating it, and proves it is a database that accepts
// the password. Gives an open handle or raises.
sqlite3* OpenChecked(const QString& path, const QString& password, TConnectMode mode, int busyTimeoutMs) {
  if (path.isEmpty())
    Refuse(QStringLiteral("O caminho do banco de dados não foi informado (Data Source vazio)."));
  const QFileInfo info(path);
  if (!info.exists()) Refuse(QStringLiteral("Arquivo de banco de dados não encontrado: %1").arg(path));
  if (!info.isFile()) Refuse(QStringLiteral("O caminho do banco de dados não é um arquivo: %1").arg(path));
  // SQLite would take an empty file for an empty database.
  if (info.size() == 0) Refuse(QStringLiteral("O arquivo não é um banco de dados válido: %1").arg(path));

  sqlite3* handle = nullptr;
  // One thread uses a connection, so SQLite's own locking of the handle is not needed.
  const int flags = (mode == cmRead ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  const QByteArray file = path.toUtf8();
  int rc = sqlite3_open_v2(file.constData(), &handle, flags, nullptr);
  try {
    if (rc != SQLITE_OK) db::sqlite::Raise(handle, rc);
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, busyTimeoutMs);
    // The first read proves the file is a database (SQLite only looks at it lazily).
    rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if ((rc & 0xFF) == SQLITE_NOTADB)
      Refuse(QStringLiteral("O arquivo não é um banco de dados válido: %1").arg(path));
    if (rc != SQLITE_OK) db::sqlite::Raise(handle, rc);
    if (!db::CheckDatabasePassword(handle, password))
      Refuse(QStringLiteral("Senha do banco de dados inválida: acesso negado a %1").arg(path));
    // A damaged file is refused now rather than in the middle of the operator's work.
    {
      db::sqlite::Statement check(handle, QStringLiteral("PRAGMA quick_check(1)"));
      if (!check.Step() ||
          qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(check.Get(), 0)), "ok") != 0)
        Refuse(QStringLiteral("O arquivo do banco de dados está danificado: %1").arg(path));
    }
    // SQLite falls back to reading a file it may not write; every save would then fail.
    if (mode != cmRead && sqlite3_db_readonly(handle, "main") == 1)
      Refuse(QStringLiteral(
                 "O arquivo do banco de dados está somente para leitura (verifique as permissões): %1")
                 .arg(path));
    // Each write is committed to the disk before Post returns.
    sqlite3_exec(handle, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
  } catch (...) {
    sqlite3_close_v2(handle);
    throw;
  }
  return handle;
}

}  // namespace

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner) {}

TADOConnection::~TADOConnection() {
  for (TADODataSet* dataSet : std::vector<TADODataSet*>(dataSets_)) dataSet->ConnectionDestroyed();
  dataSets_.clear();
  if (handle_ != nullptr) sqlite3_close_v2(handle_);
}

void TADOConnection::SetBusyTimeout(int milliseconds) {
  busyTimeoutMs_ = milliseconds < 0 ? 0 : milliseconds;
  if (handle_ != nullptr) sqlite3_busy_timeout(handle_, busyTimeoutMs_);
}

void TADOConnection::Open() {
  if (Connected()) return;
  if (BeforeConnect) BeforeConnect(*this);
  const db::ConnectionParameters params = db::ParseConnectionString(connectionString_);
  if (params.provider.compare(QLatin1String(db::kJetProvider), Qt::CaseInsensitive) != 0) {
    if (params.provider.isEmpty())
      Refuse(QStringLiteral("Provedor não informado na string de conexão (use Provider=%1).")
                 .arg(QLatin1String(db::kJetProvider)));
    Refuse(QStringLiteral("Provedor não suportado: '%1'. Somente %2 é aceito.")
               .arg(params.provider, QLatin1String(db::kJetProvider)));
  }
  const QString path = db::ResolveDatabasePath(params.dataSource);
  handle_ = OpenChecked(path, params.password, mode_, busyTimeoutMs_);
  fileName_ = path;
  if (AfterConnect) AfterConnect(*this);
}

void TADOConnection::Close() {
  if (!Connected()) return;
  if (BeforeDisconnect) BeforeDisconnect(*this);
  for (TADODataSet* dataSet : std::vector<TADODataSet*>(dataSets_)) dataSet->Close();
  sqlite3_close_v2(handle_);
  handle_ = nullptr;
  fileName_.clear();
  if (AfterDisconnect) AfterDisconnect(*this);
}

int TADOConnection::Execute(const QString& sql) {
  Open();
  db::sqlite::Statement stmt(handle_, db::jet::ToSqlite(sql));
  stmt.Run();
  return sqlite3_changes(handle_);
}

void TADOConnection::Attach(TADODataSet* dataSet) {
  dataSets_.push_back(dataSet);
}

void TADOConnection::Detach(TADODataSet* dataSet) {
  std::erase(dataSets_, dataSet);
}
