#include "tests/platform/dbcontrols/ControlsFixture.h"

#include <sqlite3.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace ctltest {
namespace {

class RawDb {
 public:
  explicit RawDb(const QString& path) {
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
      ADD_FAILURE() << "cannot open " << path.toStdString();
  }
  ~RawDb() { sqlite3_close_v2(db_); }
  void Exec(const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
      ADD_FAILURE() << (error != nullptr ? error : "?") << " in " << sql.toStdString();
      sqlite3_free(error);
    }
  }
  QString Scalar(const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
      result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return result;
  }

 private:
  sqlite3* db_ = nullptr;
};

QString Schema() {
  QFile file(QStringLiteral(QUORVEL_SCHEMA_FILE));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return QString::fromUtf8(file.readAll());
}

}  // namespace

void ControlsTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  path_ = dir_.filePath(QStringLiteral("controls.db"));
  RawDb db(path_);
  db.Exec(Schema());
  db.Exec(QStringLiteral(
      "INSERT INTO Clientes (id, nome, telefone) VALUES (1, 'Ana', '1111'), (2, 'José', '2222'),"
      " (3, 'Maria', '3333');"
      "INSERT INTO Users (id, login, nome, password) VALUES (1, 'ana', 'Ana Souza', 's1'),"
      " (2, 'bia', 'Beatriz', 's2');"
      "INSERT INTO Servicos (id, descricao) VALUES (1, 'Conserto'), (2, 'Limpeza'), (3, 'Ajuste');"
      "INSERT INTO OrdensServico (id, cliente_id, user_id, dt_entrada, vlr_total, user_recept_id, dt_saida,"
      " dt_create, dt_alt, status) VALUES"
      " (1, 1, 1, '2024-03-05 14:30:00', 1234.5, 2, NULL, '2024-03-05 14:30:00', '2024-03-05 14:30:00', -1),"
      " (2, 2, NULL, '2024-03-06 09:15:00', 10, NULL, NULL, NULL, NULL, 0);"));

  owner_ = std::make_unique<TComponent>();
  connection_ = new TADOConnection(owner_.get());
  connection_->SetConnectionString(
      QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Jet OLEDB:Database Password=")
          .arg(path_));
  connection_->Open();

  host_ = std::make_unique<QWidget>();
  host_->setObjectName(QStringLiteral("Host"));
  host_->resize(640, 480);
  auto* other = new QLineEdit(host_.get());
  other->setObjectName(QStringLiteral("Elsewhere"));
  other->setGeometry(600, 450, 30, 20);
  elsewhere_ = other;
}

void ControlsTest::TearDown() {
  // The controls leave their sources before the data sets go.
  host_.reset();
  owner_.reset();
}

void ControlsTest::Exec(const QString& sql) {
  RawDb(path_).Exec(sql);
}

QString ControlsTest::Scalar(const QString& sql) {
  return RawDb(path_).Scalar(sql);
}

TADODataSet* ControlsTest::Open(const QString& sql) {
  auto* ds = new TADODataSet(owner_.get());
  ds->SetConnection(connection_);
  ds->SetCommandText(sql);
  ds->Open();
  return ds;
}

TDataSource* ControlsTest::SourceOf(TDataSet* dataSet) {
  auto* source = new TDataSource(owner_.get());
  source->SetDataSet(dataSet);
  return source;
}

void ControlsTest::ShowHost() {
  host_->show();
  QApplication::setActiveWindow(host_.get());
  host_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
}

void ControlsTest::Focus(QWidget* widget) {
  widget->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
}

}  // namespace ctltest
