#include "tests/platform/db/DbFixture.h"

#include <QFile>

#include "platform/rtl/Exceptions.h"

namespace dbtest {

QString JetConnectionString(const QString& path, const QString& password) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
         QStringLiteral(";Jet OLEDB:Database Password=") + password;
}

RawDb::RawDb(const QString& path) {
  const QByteArray file = path.toUtf8();
  if (sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK)
    ADD_FAILURE() << "cannot open " << file.constData();
  sqlite3_busy_timeout(db_, 2000);
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
  sqlite3_stmt* stmt = nullptr;
  QString result;
  if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW)
    result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  return result;
}

void DbTest::CreateDatabase(const QString& path) {
  QFile schema(QStringLiteral(QUORVEL_SCHEMA_FILE));
  ASSERT_TRUE(schema.open(QIODevice::ReadOnly)) << QUORVEL_SCHEMA_FILE;
  RawDb(path).Exec(QString::fromUtf8(schema.readAll()));
}

void DbTest::SetUp() {
  path_ = folder_.FilePath(QStringLiteral("loja.db"));
  CreateDatabase(path_);
  connection_ = new TADOConnection(&owner_);
  connection_->SetName(QStringLiteral("ADO"));
  connection_->SetConnectionString(JetConnectionString(path_));
  connection_->SetBusyTimeout(200);
  connection_->Open();
}

TADODataSet* DbTest::NewQuery(const QString& sql, const QString& name) {
  auto* ds = new TADODataSet(&owner_);
  if (!name.isEmpty()) ds->SetName(name);
  ds->SetConnection(connection_);
  ds->SetCommandText(sql);
  return ds;
}

TADODataSet* DbTest::OpenQuery(const QString& sql, const QString& name) {
  TADODataSet* ds = NewQuery(sql, name);
  ds->Open();
  return ds;
}

void DbTest::SeedOrders() {
  Exec(QStringLiteral(
      "INSERT INTO Clientes (id, nome, telefone) VALUES (1, 'Ana', '1111'), (2, 'Bruno', '2222');"
      "INSERT INTO Users (id, login, nome, password) VALUES (1, 'adm', 'Carla', 'x'), (2, 'op', 'Davi', 'y');"
      "INSERT INTO OrdensServico (id, cliente_id, user_id, dt_entrada, vlr_total, user_recept_id, dt_saida, "
      "dt_create, dt_alt, status) VALUES "
      "(1, 1, 2, '2024-03-05 10:30:00', 150.5, 1, '2024-03-06 00:00:00', '2024-03-05 10:30:00', "
      "'2024-03-05 10:30:00', -1),"
      "(2, 2, 1, '2024-04-01 08:00:00', 1234.5678, 2, NULL, NULL, NULL, 0),"
      "(3, NULL, NULL, '2024-05-01 09:15:00', 0, NULL, NULL, NULL, NULL, -1);"
      "INSERT INTO itens_os (id, os_id, servico_id, produto_descricao, item_vlr, item_qtde, item_desconto, "
      "item_subtotal) VALUES (1, 1, 1, 'Tela', 100, 1, 0, 100), (2, 1, 1, 'Cabo', 25.25, 2, 0, 50.5), "
      "(3, 2, 1, 'Bateria', 80, 1, 0, 80);"));
}

}  // namespace dbtest
