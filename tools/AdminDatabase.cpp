#include "tools/AdminDatabase.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "arquivos/Util/Util.h"
#include "platform/db/DatabasePassword.h"
#include "platform/rtl/Exceptions.h"
#include "tools/DemoData.h"
#include "tools/SchemaSql.h"

namespace admin {

namespace {

// One SQLite handle, closed on every way out.
class Handle {
 public:
  Handle(const QString& path, int flags) {
    const QByteArray file = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(file.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) Fail(QStringLiteral("Não foi possível abrir o banco de dados %1").arg(path));
    sqlite3_busy_timeout(db_, 5000);
  }
  ~Handle() { sqlite3_close_v2(db_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  sqlite3* Get() const { return db_; }

  void Exec(const char* sql, const QString& what) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
      const QString detail = QString::fromUtf8(error != nullptr ? error : sqlite3_errmsg(db_));
      sqlite3_free(error);
      Fail(QStringLiteral("%1: %2").arg(what, detail));
    }
  }

  [[noreturn]] void Fail(const QString& message) const {
    const QString detail = db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
    throw EDatabaseError(detail.isEmpty() || message.contains(detail)
                             ? message
                             : message + QStringLiteral(" (") + detail + QLatin1Char(')'));
  }

 private:
  sqlite3* db_ = nullptr;
};

// An existing database file, proven to be one.
Handle& CheckDatabase(Handle& handle, const QString& path) {
  if (sqlite3_exec(handle.Get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
      SQLITE_OK)
    throw EDatabaseError(QStringLiteral("O arquivo não é um banco de dados válido: %1").arg(path));
  return handle;
}

void RequireExistingFile(const QString& path) {
  if (!QFileInfo(path).isFile())
    throw EInOutError(QStringLiteral("Banco de dados não encontrado: %1").arg(path), ENOENT);
}

void FillNewDatabase(const QString& path, bool withDemo) {
  Handle handle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  handle.Exec("BEGIN", QStringLiteral("Falha ao iniciar a criação do banco"));
  handle.Exec(kSchemaSql, QStringLiteral("Falha ao criar as tabelas"));
  if (withDemo) InsertDemoData(handle.Get());
  handle.Exec("COMMIT", QStringLiteral("Falha ao gravar o banco de dados"));
}

}  // namespace

void CheckStorablePassword(const QString& password) {
  if (TUtil::Criptografar(TUtil::Criptografar(password)) != password)
    throw EConvertError(QStringLiteral(
        "A senha tem caracteres que o ServerConfig.ini não consegue guardar. Use letras (com ou sem acento), "
        "dígitos, espaços internos e os sinais . , - _ ! @ # $ % & * + ?"));
}

void CreateDatabase(const QString& path, const QString& password, bool withDemo, bool replace) {
  if (path.isEmpty()) throw EConvertError(QStringLiteral("Informe o arquivo do banco de dados."));
  CheckStorablePassword(password);
  const QFileInfo target(path);
  if (target.exists() && !replace)
    throw EInOutError(QStringLiteral("O arquivo já existe: %1 (use --force para substituí-lo)").arg(path),
                      EEXIST);
  if (target.exists() && !target.isFile())
    throw EInOutError(QStringLiteral("O caminho não é um arquivo: %1").arg(path), EISDIR);
  if (!target.absoluteDir().exists())
    throw EInOutError(QStringLiteral("A pasta não existe: %1").arg(target.absolutePath()), ENOENT);

  // Built under a name of its own beside the target, so the rename replaces at once.
  QTemporaryFile scratch(target.absoluteFilePath() + QStringLiteral(".novo-XXXXXX"));
  if (!scratch.open())
    throw EInOutError(QStringLiteral("Não foi possível criar o arquivo em %1").arg(target.absolutePath()),
                      EACCES);
  scratch.close();
  const QString building = scratch.fileName();
  FillNewDatabase(building, withDemo);
  if (!password.isEmpty()) db::SetDatabasePassword(building, QString(), password);

  // A journal left by the file replaced would be rolled into the new one.
  QFile::remove(target.absoluteFilePath() + QStringLiteral("-journal"));
  // rename(2) replaces the old file in one step; QFile::rename would refuse it.
  if (::rename(QFile::encodeName(building).constData(),
               QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
    const int error = errno;
    throw EInOutError(QStringLiteral("Não foi possível gravar %1: %2")
                          .arg(path, QString::fromLocal8Bit(std::strerror(error))),
                      error);
  }
  scratch.setAutoRemove(false);
}

bool HasPassword(const QString& path) {
  return !AcceptsPassword(path, QString());
}

bool AcceptsPassword(const QString& path, const QString& password) {
  RequireExistingFile(path);
  Handle handle(path, SQLITE_OPEN_READONLY);
  return db::CheckDatabasePassword(CheckDatabase(handle, path).Get(), password);
}

void ChangePassword(const QString& path, const QString& currentPassword, const QString& newPassword) {
  RequireExistingFile(path);
  CheckStorablePassword(newPassword);
  {
    Handle handle(path, SQLITE_OPEN_READWRITE);
    CheckDatabase(handle, path);
  }
  db::SetDatabasePassword(path, currentPassword, newPassword);
}

}  // namespace admin
