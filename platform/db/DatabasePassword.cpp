#include "platform/db/DatabasePassword.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <QByteArray>
#include <QFileInfo>

#include "platform/db/SqliteSupport.h"
#include "platform/rtl/Exceptions.h"

namespace db {

namespace {

constexpr int kSaltBytes = 16;
constexpr int kVerifierBytes = 32;
const char* const kTable = "__quorvel_provider";

struct Verifier {
  int iterations = 0;
  QByteArray salt;
  QByteArray hash;
};

bool TableExists(sqlite3* db) {
  sqlite::Statement stmt(db,
                         QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '%1'")
                             .arg(QLatin1String(kTable)));
  return stmt.Step();
}

// The stored verifier; iterations 0 when the file has none.
Verifier ReadVerifier(sqlite3* db) {
  Verifier v;
  if (!TableExists(db)) return v;
  sqlite::Statement stmt(
      db, QStringLiteral("SELECT iterations, salt, verifier FROM %1 WHERE kdf = 'pbkdf2-sha256'")
              .arg(QLatin1String(kTable)));
  if (!stmt.Step()) return v;
  v.iterations = sqlite3_column_int(stmt.Get(), 0);
  v.salt = QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt.Get(), 1)),
                      sqlite3_column_bytes(stmt.Get(), 1));
  v.hash = QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt.Get(), 2)),
                      sqlite3_column_bytes(stmt.Get(), 2));
  return v;
}

QByteArray Derive(const QString& password, const QByteArray& salt, int iterations) {
  const QByteArray utf8 = password.toUtf8();
  QByteArray out(kVerifierBytes, '\0');
  if (PKCS5_PBKDF2_HMAC(utf8.constData(), static_cast<int>(utf8.size()),
                        reinterpret_cast<const unsigned char*>(salt.constData()),
                        static_cast<int>(salt.size()), iterations, EVP_sha256(), kVerifierBytes,
                        reinterpret_cast<unsigned char*>(out.data())) != 1)
    throw EDatabaseError(QStringLiteral("Falha ao calcular a verificação da senha do banco de dados."));
  return out;
}

void Exec(sqlite3* db, const QString& sql) {
  sqlite::Statement(db, sql).Run();
}

}  // namespace

bool CheckDatabasePassword(sqlite3* db, const QString& password) {
  const Verifier v = ReadVerifier(db);
  if (v.iterations <= 0) return password.isEmpty();
  if (v.hash.size() != kVerifierBytes) return false;
  const QByteArray given = Derive(password, v.salt, v.iterations);
  return CRYPTO_memcmp(given.constData(), v.hash.constData(), kVerifierBytes) == 0;
}

void SetDatabasePassword(const QString& path, const QString& currentPassword, const QString& newPassword,
                         int iterations) {
  if (!QFileInfo(path).isFile())
    throw EDatabaseError(QStringLiteral("Arquivo de banco de dados não encontrado: %1").arg(path));
  if (iterations < 1) throw EDatabaseError(QStringLiteral("Número de iterações inválido para a senha."));
  sqlite3* db = nullptr;
  const QByteArray file = path.toUtf8();
  const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close_v2(db); }
  } closer{db};
  if (rc != SQLITE_OK) sqlite::Raise(db, rc);
  sqlite3_busy_timeout(db, 5000);
  if (!CheckDatabasePassword(db, currentPassword))
    throw EDatabaseError(QStringLiteral("A senha atual do banco de dados não confere."));

  Exec(db, QStringLiteral("BEGIN IMMEDIATE"));
  try {
    Exec(db,
         QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (kdf TEXT PRIMARY KEY, iterations INTEGER NOT NULL, "
                        "salt BLOB NOT NULL, verifier BLOB NOT NULL)")
             .arg(QLatin1String(kTable)));
    Exec(db, QStringLiteral("DELETE FROM %1").arg(QLatin1String(kTable)));
    if (!newPassword.isEmpty()) {
      QByteArray salt(kSaltBytes, '\0');
      if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), kSaltBytes) != 1)
        throw EDatabaseError(QStringLiteral("Falha ao gerar o sal da senha do banco de dados."));
      const QByteArray hash = Derive(newPassword, salt, iterations);
      sqlite::Statement insert(
          db,
          QStringLiteral("INSERT INTO %1 (kdf, iterations, salt, verifier) VALUES ('pbkdf2-sha256', ?, ?, ?)")
              .arg(QLatin1String(kTable)));
      sqlite3_bind_int(insert.Get(), 1, iterations);
      sqlite3_bind_blob(insert.Get(), 2, salt.constData(), kSaltBytes, SQLITE_TRANSIENT);
      sqlite3_bind_blob(insert.Get(), 3, hash.constData(), kVerifierBytes, SQLITE_TRANSIENT);
      insert.Run();
    }
    Exec(db, QStringLiteral("COMMIT"));
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace db
