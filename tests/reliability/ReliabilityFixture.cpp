#include "tests/reliability/ReliabilityFixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "fontes/dados/uDM.h"
#include "tools/AdminDatabase.h"

namespace reliability {

RawDb::RawDb(const QString& path, int busyTimeoutMs) {
  const QByteArray file = path.toUtf8();
  if (sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    ADD_FAILURE() << "cannot open " << file.constData() << ": " << sqlite3_errmsg(db_);
  sqlite3_busy_timeout(db_, busyTimeoutMs);
}

RawDb::~RawDb() {
  sqlite3_close_v2(db_);
}

void RawDb::Exec(const QString& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
    ADD_FAILURE() << "SQL failed: " << (error ? error : "?") << " in " << sql.toStdString();
    sqlite3_free(error);
  }
}

QString RawDb::Scalar(const QString& sql) {
  const QStringList rows = Rows(sql);
  if (rows.isEmpty()) return {};
  const QString first = rows.first().section(QLatin1Char('|'), 0, 0);
  return first == QLatin1String("NULL") ? QString() : first;
}

QStringList RawDb::Rows(const QString& sql) {
  sqlite3_stmt* stmt = nullptr;
  QStringList rows;
  if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "SQL failed: " << sqlite3_errmsg(db_) << " in " << sql.toStdString();
    return rows;
  }
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    QStringList columns;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c)
      columns << (sqlite3_column_type(stmt, c) == SQLITE_NULL
                      ? QStringLiteral("NULL")
                      : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                          sqlite3_column_bytes(stmt, c)));
    rows << columns.join(QLatin1Char('|'));
  }
  if (rc != SQLITE_DONE)
    ADD_FAILURE() << "SQL failed: " << sqlite3_errmsg(db_) << " in " << sql.toStdString();
  sqlite3_finalize(stmt);
  return rows;
}

QStringList TableContents(const QString& path) {
  RawDb db(path);
  QStringList all;
  for (const char* table : {"Clientes", "Users", "Servicos", "OrdensServico", "itens_os"}) {
    all << QString::fromLatin1(table);
    all << db.Rows(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(QLatin1String(table)));
  }
  return all;
}

QStringList FieldTexts(const TDataSet& ds) {
  QStringList texts;
  for (int i = 0; i < ds.FieldCount(); ++i) texts << ds.Fields(i)->AsString();
  return texts;
}

QString IntegrityCheck(const QString& path) {
  return RawDb(path).Rows(QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char('\n'));
}

QByteArray FileHash(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&file);
  return hash.result().toHex();
}

QString Sqlite3Cli(const QString& path, const QString& sql) {
  QProcess cli;
  cli.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), path, sql});
  if (!cli.waitForFinished(30000)) return QStringLiteral("<sqlite3 did not finish>");
  return QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
}

BoxRecorder::BoxRecorder() {
  previous_ = SetMessageBoxHandler([this](const QString& text, const QString& caption, int) {
    boxes.push_back({text, caption});
    return answer;
  });
}

BoxRecorder::~BoxRecorder() {
  SetMessageBoxHandler(previous_);
}

void ShopTest::SetUp() {
  db_ = MakeDatabase(QStringLiteral("loja.db"));
  WriteServerConfig(db_, QString());
}

void ShopTest::TearDown() {
  delete DM;
}

QString ShopTest::MakeDatabase(const QString& name, const QString& password) {
  const QString path = exe_.FilePath(name);
  admin::CreateDatabase(path, password, true, false);
  return path;
}

void ShopTest::WriteServerConfig(const QString& databasePath, const QString& password) {
  TUtil::WriteIni(TUtil::IniFileServer(), INI_SESSAO_CONEXAO, INI_BD, databasePath);
  TUtil::WriteIni(TUtil::IniFileServer(), INI_SESSAO_CONEXAO, INI_PSWDB, TUtil::Criptografar(password));
}

TDM* ShopTest::Connect() {
  delete DM;
  DM = new TDM(nullptr);
  DM->AfterConstruction();
  return DM;
}

}  // namespace reliability
