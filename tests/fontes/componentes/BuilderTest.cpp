#include <gtest/gtest.h>

#include <QDate>
#include <QProcess>
#include <QStandardPaths>
#include <QtNumeric>
#include <functional>
#include <memory>

#include "fontes/componentes/BuilderDAO.h"
#include "fontes/dados/uDM.h"
#include "fontes/models/Model.Cliente.h"
#include "fontes/models/Model.ItensOS.h"
#include "fontes/models/Model.Ordem.h"
#include "fontes/models/Model.User.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

class TAnyTable : public TModelBase {
 public:
  TAnyTable(TComponent* owner, const QString& table) : TModelBase(owner), table_(table) {}
  QString TableName() override { return table_; }

 private:
  QString table_;
};

// A demo database, its ServerConfig.ini and the data module connected to it.
class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = exe_.FilePath(QStringLiteral("demo.db"));
    admin::CreateDatabase(database_, QString(), true, false);
    admin::WriteServerConfig(exe_.Folder(), database_, QString(), false);
    DM = new TDM(nullptr);
    DM->AfterConstruction();
    ASSERT_TRUE(DM->ADO->Connected());
    owner_ = std::make_unique<TComponent>();
  }
  void TearDown() override {
    owner_.reset();
    delete DM;
  }

  template <class TModel>
  TModel* Model() {
    return new TModel(owner_.get());
  }

  // The rows a table holds now, read through a builder of its own.
  int Count(const QString& table) {
    TAnyTable model(owner_.get(), table);
    return model.get()->RecordCount();
  }

  testsupport::ScopedExeFolder exe_;
  QString database_;
  std::unique_ptr<TComponent> owner_;
};

// A builder that forgot to name its table.
class TSemTabela : public TBuilderSQL {
 public:
  using TBuilderSQL::TBuilderSQL;
  QString ClassName() const override { return QStringLiteral("TSemTabela"); }
};

struct QueryCase {
  const char* name;
  std::function<TADODataSet*(TComponent*)> run;
  const char* sql;
  int rows;
};

TEST_F(BuilderTest, TheSystemsQueriesGiveTheirExactTextAndOpen) {
  const QueryCase cases[] = {
      {"orders", [](TComponent* o) { return (new TModelOrdem(o))->get(); }, "SELECT * FROM ORDENSSERVICO", 8},
      {"order by id", [](TComponent* o) { return (new TModelOrdem(o))->get(5); },
       "SELECT * FROM ORDENSSERVICO WHERE ID = 5", 1},
      {"order where id",
       [](TComponent* o) { return (new TModelOrdem(o))->Where(QStringLiteral("id"), 5).get(); },
       "SELECT * FROM ORDENSSERVICO WHERE ID = 5", 1},
      {"clients list",
       [](TComponent* o) {
         return (new TModelCliente(o))->Select({QStringLiteral("id"), QStringLiteral("nome")}).get();
       },
       "SELECT ID ,NOME FROM CLIENTES", 8},
      {"users list",
       [](TComponent* o) {
         return (new TModelUser(o))->Select({QStringLiteral("id"), QStringLiteral("nome")}).get();
       },
       "SELECT ID ,NOME FROM USERS", 4},
      {"items of order 7",
       [](TComponent* o) { return (new TModelItensOS(o))->Where(QStringLiteral("os_id"), 7).get(); },
       "SELECT * FROM ITENS_OS WHERE OS_ID = 7", 1},
  };
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.name);
    TADODataSet* ds = c.run(owner_.get());
    EXPECT_EQ(ds->CommandText(), QString::fromUtf8(c.sql));
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(ds->RecordCount(), c.rows);
    EXPECT_EQ(ds->Connection(), DM->ADO);
  }
}

TEST_F(BuilderTest, DataSetIsNamedAfterTheTableAndOwnedByTheBuilder) {
  const struct {
    TModelBase* model;
    const char* name;
  } cases[] = {{Model<TModelOrdem>(), "dsOrdensServico"},
               {Model<TModelCliente>(), "dsClientes"},
               {Model<TModelUser>(), "dsusers"},
               {Model<TModelItensOS>(), "dsitens_os"}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.model->Conexao, DM->ADO);
    TADODataSet* ds = c.model->get();
    EXPECT_EQ(ds->Name(), QString::fromUtf8(c.name));
    EXPECT_EQ(ds->Owner(), c.model);
  }
}

struct TextCase {
  const char* name;
  std::function<void(TBuilderSQL&)> build;
  const char* sql;
  int rows;
};

TEST_F(BuilderTest, ConditionsSelectListsAndOrdering) {
  const QString cliente = QStringLiteral("cliente_id");
  const TextCase clients[] = {
      {"empty select list", [](TBuilderSQL& b) { b.Select({}); }, "SELECT * FROM CLIENTES", 8},
      {"second select wins",
       [](TBuilderSQL& b) { b.Select({QStringLiteral("id")}).Select({QStringLiteral("nome")}); },
       "SELECT NOME FROM CLIENTES", 8},
      {"blank operator is =", [](TBuilderSQL& b) { b.Where(QStringLiteral("id"), QStringLiteral("   "), 2); },
       "SELECT * FROM CLIENTES WHERE ID = 2", 1},
      {"spaced like keeps its blanks",
       [](TBuilderSQL& b) {
         b.Where(QStringLiteral("nome"), QStringLiteral(" like "), QStringLiteral("jo%"));
       },
       "SELECT * FROM CLIENTES WHERE NOME  LIKE  \"JO%\"", 1},
      {"like with empty value",
       [](TBuilderSQL& b) { b.Where(QStringLiteral("nome"), QStringLiteral("like"), QVariant()); },
       "SELECT * FROM CLIENTES WHERE NOME LIKE \"%%\"", 8},
      {"accented letters stay lower case",
       [](TBuilderSQL& b) { b.Where(QStringLiteral("nome"), QStringLiteral("Antônia Ferreira Santos")); },
       "SELECT * FROM CLIENTES WHERE NOME = \"ANTôNIA FERREIRA SANTOS\"", 1},
      {"ordering keeps its case and follows the conditions",
       [](TBuilderSQL& b) {
         b.Where(QStringLiteral("id"), QStringLiteral(">"), 5)
             .OrderBy({QStringLiteral("nome desc")})
             .OrderBy({QStringLiteral("id")});
       },
       "SELECT * FROM CLIENTES WHERE ID > 5 ORDER BY nome desc,id", 3},
  };
  for (const TextCase& c : clients) {
    SCOPED_TRACE(c.name);
    auto* model = Model<TModelCliente>();
    c.build(*model);
    TADODataSet* ds = model->get();
    EXPECT_EQ(ds->CommandText(), QString::fromUtf8(c.sql));
    EXPECT_EQ(ds->RecordCount(), c.rows);
  }

  const TextCase orders[] = {
      {"true is -1", [](TBuilderSQL& b) { b.Where(QStringLiteral("status"), true); },
       "SELECT * FROM ORDENSSERVICO WHERE STATUS = -1", 4},
      {"false is 0", [](TBuilderSQL& b) { b.Where(QStringLiteral("status"), false); },
       "SELECT * FROM ORDENSSERVICO WHERE STATUS = 0", 4},
      {"two conditions in order",
       [&cliente](TBuilderSQL& b) { b.Where(cliente, 1).Where(QStringLiteral("status"), false); },
       "SELECT * FROM ORDENSSERVICO WHERE CLIENTE_ID = 1 AND STATUS = 0", 1},
      {"inner join keeps the entries' case",
       [](TBuilderSQL& b) {
         b.Joins = {QStringLiteral("Clientes"), QStringLiteral("id"), QStringLiteral("cliente_id")};
       },
       "SELECT * FROM ORDENSSERVICO INNER JOIN Clientes ON ORDENSSERVICO.cliente_id = Clientes.id", 7},
  };
  for (const TextCase& c : orders) {
    SCOPED_TRACE(c.name);
    auto* model = Model<TModelOrdem>();
    c.build(*model);
    TADODataSet* ds = model->get();
    EXPECT_EQ(ds->CommandText(), QString::fromUtf8(c.sql));
    EXPECT_EQ(ds->RecordCount(), c.rows);
  }
}

TEST_F(BuilderTest, FloatsUseAPointInACommaLocale) {
  rtl::ScopedFormatSettings brazil(TFormatSettings::PtBR());
  auto* exact = Model<TModelItensOS>();
  TADODataSet* ds = exact->Where(QStringLiteral("item_vlr"), 12.5).get();
  EXPECT_EQ(ds->CommandText(), QStringLiteral("SELECT * FROM ITENS_OS WHERE ITEM_VLR = 12.5"));
  EXPECT_EQ(ds->RecordCount(), 1);

  auto* range = Model<TModelItensOS>();
  ds = range->Where(QStringLiteral("item_qtde"), QStringLiteral(">"), 1.5f)
           .Where(QStringLiteral("item_vlr"), QStringLiteral("<"), 0.000001)
           .get();
  EXPECT_EQ(ds->CommandText(),
            QStringLiteral("SELECT * FROM ITENS_OS WHERE ITEM_QTDE > 1.5 AND ITEM_VLR < 1E-6"));
  EXPECT_EQ(ds->RecordCount(), 0);
}

TEST_F(BuilderTest, AQuoteInAValueCannotEndTheLiteral) {
  const QString attempts[] = {
      QStringLiteral("x\" OR \"1\"=\"1"),
      QStringLiteral("x\"; DELETE FROM Clientes; --"),
      QStringLiteral("\" OR nome LIKE \"%"),
  };
  for (const QString& value : attempts) {
    SCOPED_TRACE(value.toStdString());
    auto* model = Model<TModelCliente>();
    TADODataSet* ds = model->Where(QStringLiteral("nome"), value).get();
    EXPECT_EQ(ds->RecordCount(), 0);
  }
  // The quote is data: a name holding one is found by it.
  DM->adsClientes->Open();
  DM->adsClientes->Append();
  DM->adsClientesnome->SetAsString(QStringLiteral("Oficina \"Do Zé\""));
  DM->adsClientes->Post();
  auto* quoted = Model<TModelCliente>();
  EXPECT_EQ(quoted->Where(QStringLiteral("nome"), QStringLiteral("oficina \"do zé\"")).get()->RecordCount(),
            1);

  EXPECT_EQ(Count(QStringLiteral("Clientes")), 9);
  const QString cli = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
  if (cli.isEmpty()) GTEST_SKIP() << "sqlite3 not installed";
  QProcess sqlite;
  sqlite.start(cli, {database_, QStringLiteral("SELECT count(*) FROM Clientes;")});
  ASSERT_TRUE(sqlite.waitForFinished());
  EXPECT_EQ(QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed(), QStringLiteral("9"));
}

TEST_F(BuilderTest, ASecondGetOnTheSameBuilderIsRefusedByTheName) {
  auto* model = Model<TModelCliente>();
  model->get();
  EXPECT_THROW(model->get(), EComponentError);
}

TEST_F(BuilderTest, ABuilderWithoutTableFailsWithTheAssertion) {
  TSemTabela builder(owner_.get());
  try {
    builder.get();
    FAIL() << "get without TableName";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("A função \"TableName\" não foi implementada em 'TSemTabela'\r\n "
                                          "(trunk\\fontes\\componentes\\BuilderDAO, line 83)"));
  }
}

TEST_F(BuilderTest, AnOpenFailureIsRewrittenAndKeepsItsClass) {
  auto* model = Model<TModelCliente>();
  model->Select({QStringLiteral("coluna_inexistente")});
  try {
    model->get();
    FAIL() << "a missing column must not open";
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Erro ao abrir model: "))) << e.what();
    EXPECT_TRUE(e.Message().endsWith(QStringLiteral("\r\nClasse: 'EDatabaseError'"))) << e.what();
    EXPECT_TRUE(e.Message().contains(QStringLiteral("COLUNA_INEXISTENTE"), Qt::CaseInsensitive)) << e.what();
  }
  // The data set that failed stays the builder's.
  auto* left = dynamic_cast<TADODataSet*>(model->FindComponent(QStringLiteral("dsClientes")));
  ASSERT_NE(left, nullptr);
  EXPECT_FALSE(left->Active());
}

TEST_F(BuilderTest, ValuesWithoutRenderingAndHalfJoinsAreRefused) {
  auto* model = Model<TModelOrdem>();
  EXPECT_THROW(model->Where(QStringLiteral("dt_entrada"), QDate(2024, 3, 4)), EConvertError);
  EXPECT_THROW(model->Where(QStringLiteral("vlr_total"), qQNaN()), EConvertError);
  model->Joins = {QStringLiteral("Clientes"), QStringLiteral("id")};
  EXPECT_THROW(model->get(), EDatabaseError);
}

TEST(BuilderFunctions, VarIsBooleanAndIsEmpty) {
  EXPECT_TRUE(VarIsBoolean(QVariant(true)));
  EXPECT_TRUE(VarIsBoolean(QVariant(false)));
  EXPECT_FALSE(VarIsBoolean(QVariant(1)));
  EXPECT_FALSE(VarIsBoolean(QVariant(QStringLiteral("true"))));
  EXPECT_FALSE(VarIsBoolean(QVariant()));
  EXPECT_TRUE(IsEmpty(QString()));
  EXPECT_TRUE(IsEmpty(QStringLiteral("")));
  EXPECT_FALSE(IsEmpty(QStringLiteral(" ")));
}

TEST(BuilderWithoutDataModule, HasNoConnection) {
  ASSERT_EQ(DM, nullptr);
  TModelCliente model(nullptr);
  EXPECT_EQ(model.Conexao, nullptr);
}

}  // namespace
