// Classic SQL-injection payloads through every path that puts typed text near SQL: builder
// conditions, the login, the register fields, and the stock and permission queries. Each
// operation changes only what it means to change, and finds only what it means to find.
#include <memory>

#include "arquivos/Util/Util.h"
#include "fontes/controler/Controller.User.h"
#include "fontes/dados/uDM.h"
#include "fontes/models/Model.Cliente.h"
#include "platform/remote/RESTDWDataBase.h"
#include "tests/platform/remote/RemoteTestDatabase.h"
#include "tests/reliability/ReliabilityFixture.h"

namespace {

using reliability::DatabaseErrorOf;
using reliability::RawDb;
using reliability::TableContents;

const char* const kPayloads[] = {
    "' OR '1'='1",
    "' OR 1=1 --",
    "\" OR \"\"=\"",
    "\" OR 1=1 --",
    "x\"; DROP TABLE Clientes; --",
    "'; DELETE FROM Users; --",
    "admin'--",
    "admin\" --",
    "1 OR 1=1",
    "1; UPDATE Users SET password = 'x'",
    "Robert'); DROP TABLE Clientes;--",
    "\") UNION SELECT login, password FROM Users --",
    "]; DROP TABLE Servicos; --",
    "`; DROP TABLE Servicos; --",
    "/* */ OR 1=1 /*",
    "x\" AND (SELECT count(*) FROM Users) > 0 AND \"a\"=\"a",
    "\\\"; DROP TABLE Clientes; --",
    "\"\"\"\"; ATTACH DATABASE '/tmp/x.db' AS x; --",
    "%\" OR \"a\" LIKE \"%",
    "nome\r\nDELETE FROM Clientes",
    "\xE2\x80\x9D OR 1=1 -- aspas tipográficas",
    "TRUE OR TRUE",
};

QString Payload(const char* p) {
  return QString::fromUtf8(p);
}

class InjectionTest : public reliability::ShopTest {
 protected:
  void SetUp() override {
    ShopTest::SetUp();
    ASSERT_TRUE(Connect()->ADO->Connected());
  }

  // Registers a client through the register's data set (bound parameters); gives its id.
  QString RegisterClient(const QString& nome, const QString& telefone) {
    TADODataSet* ds = DM->adsClientes;
    if (!ds->Active()) ds->Open();
    ds->Append();
    ds->FieldByName(QStringLiteral("nome"))->SetAsString(nome);
    ds->FieldByName(QStringLiteral("telefone"))->SetAsString(telefone);
    ds->Post();
    return ds->FieldByName(QStringLiteral("id"))->AsString();
  }

  // The clients the builder finds for nome.
  QStringList FindClients(const QString& nome, const QString& op = QStringLiteral("=")) {
    TModelCliente model(nullptr);
    TADODataSet* ds = model.Select({QStringLiteral("id")}).Where(QStringLiteral("nome"), op, nome).get();
    QStringList ids;
    for (ds->First(); !ds->Eof(); ds->Next()) ids << ds->FieldByName(QStringLiteral("id"))->AsString();
    return ids;
  }
};

TEST_F(InjectionTest, BuilderConditionsFindOnlyTheNamedRowAndChangeNothing) {
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    const QStringList before = TableContents(db_);
    EXPECT_EQ(FindClients(Payload(p)), QStringList());
    EXPECT_NO_THROW(FindClients(Payload(p), QStringLiteral("like")));
    EXPECT_EQ(TableContents(db_), before);
  }
  // Once the payloads are names of clients, each finds exactly its own row.
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    const QString id = RegisterClient(Payload(p), QStringLiteral("0"));
    const QStringList before = TableContents(db_);
    EXPECT_EQ(FindClients(Payload(p)), QStringList{id});
    EXPECT_EQ(TableContents(db_), before);
  }
}

TEST_F(InjectionTest, RegisterFieldsStoreThePayloadsAsTyped) {
  const QStringList before = TableContents(db_);
  QStringList ids;
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    ids << RegisterClient(Payload(p), Payload(p));
    DM->adsServicos->Open();
    DM->adsServicos->Append();
    DM->adsServicos->FieldByName(QStringLiteral("descricao"))->SetAsString(Payload(p));
    DM->adsServicos->Post();
    EXPECT_EQ(
        RawDb(db_).Rows(QStringLiteral("SELECT nome, telefone FROM Clientes WHERE id = %1").arg(ids.last())),
        QStringList{Payload(p) + QLatin1Char('|') + Payload(p)});
    EXPECT_EQ(RawDb(db_).Scalar(QStringLiteral("SELECT descricao FROM Servicos WHERE id = %1")
                                    .arg(DM->adsServicos->FieldByName(QStringLiteral("id"))->AsString())),
              Payload(p));
  }
  // Everything that was there is still there, and only the new rows were added.
  const QStringList after = TableContents(db_);
  for (const QString& row : before) EXPECT_TRUE(after.contains(row)) << row.toStdString();
  EXPECT_EQ(after.size(), before.size() + 2 * static_cast<int>(std::size(kPayloads)));
  // Another program reads exactly what was typed.
  const QString first = ids.first();
  EXPECT_EQ(
      reliability::Sqlite3Cli(db_, QStringLiteral("SELECT nome FROM Clientes WHERE id = %1").arg(first)),
      Payload(kPayloads[0]));
  EXPECT_EQ(
      reliability::Sqlite3Cli(db_, QStringLiteral("SELECT count(*) FROM Clientes WHERE id >= %1").arg(first)),
      QString::number(std::size(kPayloads)));
  EXPECT_EQ(reliability::Sqlite3Cli(db_, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
}

TEST_F(InjectionTest, LoginAdmitsOnlyTheExactPair) {
  TADODataSet* users = DM->adsUsers;
  users->Open();
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    const QStringList before = TableContents(db_);
    TControllerUser controller(nullptr);
    EXPECT_FALSE(controller.Logar(Payload(p), Payload(p)));
    EXPECT_FALSE(controller.Logar(QStringLiteral("admin"), Payload(p)));
    EXPECT_FALSE(controller.Logar(Payload(p), QStringLiteral("senha")));
    EXPECT_EQ(TableContents(db_), before);
  }
  // A user whose login and password are payloads gets in with that pair only.
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    users->Append();
    users->FieldByName(QStringLiteral("login"))->SetAsString(Payload(p));
    users->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Teste"));
    users->FieldByName(QStringLiteral("password"))->SetAsString(Payload(p));
    users->Post();
    TControllerUser controller(nullptr);
    EXPECT_TRUE(controller.Logar(Payload(p), Payload(p)));
    EXPECT_FALSE(controller.Logar(Payload(p), Payload(p) + QLatin1Char(' ')));
    EXPECT_FALSE(controller.Logar(Payload(p), QStringLiteral("senha")));
    EXPECT_TRUE(controller.Logar(QStringLiteral("admin"), QStringLiteral("senha")));
  }
}

class RemoteInjectionTest : public ::testing::Test {
 protected:
  RemoteInjectionTest() : connection_(nullptr, db_.Recorder()) {
    db_.Run(
        "INSERT INTO base.dbo.tblProdutos (IdProduto, Qtd, Preco, PrecoCusto) VALUES (15, 10, 5, 3);"
        "INSERT INTO base.dbo.tblUsuarios (IdUsuario) VALUES (7);"
        "INSERT INTO base.dbo.tblPermissao (IdPermissao, IdUsuario, Tabela, Adicionar, Edit, Sch, Del)"
        " VALUES (1, 7, 'Clientes', 1, 1, 1, 1);");
  }

  QStringList Contents() {
    QStringList all;
    for (const char* table : {"tblProdutos", "tblUsuarios", "tblPermissao"}) {
      const RemoteResult r = db_.Rows(QStringLiteral("SELECT * FROM base.dbo.%1;").arg(QLatin1String(table)));
      for (const auto& row : r.Rows) {
        QStringList cells;
        for (const QVariant& cell : row) cells << cell.toString();
        all << cells.join(QLatin1Char('|'));
      }
    }
    return all;
  }

  RemoteTestDatabase db_;
  TRESTDWDataBase connection_;
};

TEST_F(RemoteInjectionTest, StockAndPermissionKeysAreRefusedBeforeAnythingIsSent) {
  const QStringList before = Contents();
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    db_.Sent().clear();
    EXPECT_THROW(TUtil::Estoque(1, Payload(p), 1, Currency(), Currency(), &connection_), EConvertError);
    EXPECT_THROW(
        TUtil::Permissao(Payload(p), QStringLiteral("Clientes"), QStringLiteral("Edit"), &connection_),
        EConvertError);
    EXPECT_TRUE(db_.Sent().empty());
    EXPECT_EQ(Contents(), before);
  }
}

TEST_F(RemoteInjectionTest, PermissionTableNamesStayInsideTheirLiteral) {
  const QStringList before = Contents();
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    try {
      TUtil::Permissao(QStringLiteral("7"), Payload(p), QStringLiteral("Edit"), &connection_);
      ADD_FAILURE() << "permitted";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Erro: 99\r\nOperação não permitida!"));
    }
    EXPECT_EQ(Contents(), before);
  }
  // The payload as a real table name is found, and only for its own row.
  for (const char* p : kPayloads) {
    SCOPED_TRACE(p);
    db_.Run(QStringLiteral("INSERT INTO base.dbo.tblPermissao (IdUsuario, Tabela, Adicionar, Edit, Sch, Del) "
                           "VALUES (7, '%1', 0, 1, 0, 0);")
                .arg(Payload(p).replace(QLatin1Char('\''), QStringLiteral("''"))));
    EXPECT_TRUE(TUtil::Permissao(QStringLiteral("7"), Payload(p), QStringLiteral("Edit"), &connection_));
    EXPECT_THROW(TUtil::Permissao(QStringLiteral("7"), Payload(p), QStringLiteral("Del"), &connection_),
                 Exception);
  }
}

}  // namespace
