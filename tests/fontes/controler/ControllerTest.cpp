#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTimer>
#include <functional>
#include <map>

#include "fontes/componentes/FormBase.h"
#include "fontes/controler/Controller.Ordem.h"
#include "fontes/controler/Controller.User.h"
#include "fontes/dados/uDM.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

// What the editor found in its map when it was shown.
struct EditorView {
  int shown = 0;
  QStringList keys;
  std::map<QString, TDataSet*> sets;
  TDataSetState orderState = dsInactive;
  int orderRows = -1;
  int orderId = -1;
  std::map<QString, int> rows;
  std::map<QString, QStringList> fields;
  QList<int> itemOrderIds;
};
EditorView seen;

QStringList FieldNames(const TDataSet& ds) {
  QStringList names;
  for (int i = 0; i < ds.FieldCount(); ++i) names << ds.Fields(i)->FieldName().toLower();
  return names;
}

// Stands in for the order editor: notes what it got and closes at once.
class TfOrdem : public TBaseForm {
  QUORVEL_FORM_CLASS(TfOrdem, TBaseForm)

 public:
  explicit TfOrdem(TComponent* owner) : TBaseForm(owner) {
    OnShow = [this] {
      ++seen.shown;
      seen.keys = Controllers->Keys();
      for (const QString& key : seen.keys) {
        TDataSet* ds = nullptr;
        Controllers->TryGetValue(key, ds);
        seen.sets[key] = ds;
        seen.rows[key] = ds->RecordCount();
        seen.fields[key] = FieldNames(*ds);
      }
      TDataSet* order = seen.sets.at(QStringLiteral("dsOrdensServico"));
      seen.orderState = order->State();
      seen.orderRows = order->RecordCount();
      seen.orderId = order->FieldByName(QStringLiteral("id"))->IsNull()
                         ? 0
                         : order->FieldByName(QStringLiteral("id"))->AsInteger();
      TDataSet* items = seen.sets.at(QStringLiteral("dsitens_os"));
      for (items->First(); !items->Eof(); items->Next())
        seen.itemOrderIds << items->FieldByName(QStringLiteral("os_id"))->AsInteger();
      QTimer::singleShot(0, this, [this] { Close(); });
    };
  }
};

}  // namespace

QUORVEL_REGISTER_CLASS(TfOrdem)

namespace {

const QStringList kEditorKeys = {"dsOrdensServico", "dsusers", "dsuserentreg", "dsClientes", "dsitens_os"};

// The demonstration database: 8 orders, 4 users (admin/senha first), 8 clients.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen = EditorView();
    database_ = exe_.FilePath(QStringLiteral("quorvel.db"));
    admin::CreateDatabase(database_, QString(), true, false);
    admin::WriteServerConfig(exe_.Folder(), database_, QString(), false);
    app_.CreateForm(DM);
    ASSERT_TRUE(DM->ADO->Connected());
  }
  void TearDown() override { uitest::ProcessDeferredDeletes(); }

  int Count(const QString& sql) {
    TADODataSet ds;
    ds.SetConnection(DM->ADO);
    ds.SetCommandText(sql);
    ds.Open();
    return ds.Fields(0)->AsInteger();
  }

  testsupport::ScopedExeFolder exe_;
  QString database_;
  TApplication app_;
};

TEST_F(ControllerTest, AlterarHandsTheFiveDataSetsWithTheOrderInEdit) {
  TControllerOrdem controller(&app_);
  controller.Alterar(3);

  ASSERT_EQ(seen.shown, 1);
  EXPECT_EQ(seen.keys, kEditorKeys);
  for (const QString& key : kEditorKeys) EXPECT_EQ(seen.sets.at(key)->Name(), key);
  EXPECT_EQ(seen.orderState, dsEdit);
  EXPECT_EQ(seen.orderRows, 1);
  EXPECT_EQ(seen.orderId, 3);
  for (const char* users : {"dsusers", "dsuserentreg"}) {
    EXPECT_EQ(seen.rows.at(QString::fromLatin1(users)), 4) << users;
    EXPECT_EQ(seen.fields.at(QString::fromLatin1(users)), (QStringList{"id", "nome"})) << users;
  }
  EXPECT_NE(seen.sets.at("dsusers"), seen.sets.at("dsuserentreg"));
  EXPECT_EQ(seen.rows.at("dsClientes"), 8);
  EXPECT_EQ(seen.itemOrderIds, (QList<int>{3, 3}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM OrdensServico"), 8) << "Alterar writes nothing";
}

TEST_F(ControllerTest, AlterarOfAMissingOrderIsAnAssertionAndOpensNothing) {
  TControllerOrdem controller(&app_);
  try {
    controller.Alterar(999);
    ADD_FAILURE() << "no error";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(
        e.Message(),
        QStringLiteral("Código 999 não encontrado! (trunk\\fontes\\controler\\Controller.Ordem, line 105)"));
  }
  EXPECT_EQ(seen.shown, 0);
}

TEST_F(ControllerTest, IncluirHandsANewOrderInInsertWithNoItems) {
  TControllerOrdem controller(&app_);
  controller.Incluir();

  ASSERT_EQ(seen.shown, 1);
  EXPECT_EQ(seen.keys, kEditorKeys);
  EXPECT_EQ(seen.orderState, dsInsert);
  EXPECT_EQ(seen.orderRows, 1) << "only the new row";
  EXPECT_EQ(seen.orderId, 0) << "no number before it is stored";
  EXPECT_EQ(seen.fields.at("dsOrdensServico").size(), 10);
  EXPECT_EQ(seen.rows.at("dsusers"), 4);
  EXPECT_EQ(seen.rows.at("dsuserentreg"), 4);
  EXPECT_EQ(seen.rows.at("dsClientes"), 8);
  EXPECT_EQ(seen.rows.at("dsitens_os"), 0);
  EXPECT_EQ(seen.fields.at("dsitens_os").size(), 8);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM OrdensServico"), 8) << "nothing stored unless the editor saves";
}

TEST_F(ControllerTest, ExcluirDeletesAnExistingOrderAndLeavesItsItems) {
  {
    TControllerOrdem controller(&app_);
    EXPECT_TRUE(controller.Excluir(999)) << "a missing order is no failure";
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM OrdensServico"), 8);

  {
    TControllerOrdem controller(&app_);
    EXPECT_TRUE(controller.Excluir(2));
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM OrdensServico"), 7);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM OrdensServico WHERE id = 2"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM itens_os WHERE os_id = 2"), 1);
}

TEST_F(ControllerTest, ExcluirAnswersFalseWhenTheDeleteFails) {
  // Another program is writing: reading goes on, writing waits and gives up.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(database_.toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  DM->ADO->SetBusyTimeout(50);
  bool result = true;
  {
    TControllerOrdem controller(&app_);
    result = controller.Excluir(4);
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_FALSE(result);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM OrdensServico WHERE id = 4"), 1);
}

TEST_F(ControllerTest, LogarAdmitsOnlyTheExactPair) {
  const struct {
    const char* login;
    const char* senha;
    bool admitted;
  } cases[] = {
      {"admin", "senha", true},
      {"carla", "carla123", true},
      {"ADMIN", "senha", false},
      {"admin", "SENHA", false},
      {"admin ", "senha", false},
      {"admin", "", false},
      {"", "", false},
      {"", "senha", false},
      {"carla", "senha", false},
      {"ninguem", "senha", false},
      {"admin\" OR \"1\"=\"1", "x\" OR \"1\"=\"1", false},
      {"admin\"; DELETE FROM Users; --", "senha", false},
      {"' OR ''='", "' OR ''='", false},
  };
  for (const auto& c : cases) {
    TControllerUser controller(&app_);
    TADODataSet qry;
    controller.SetDataSet(&qry);
    EXPECT_EQ(controller.Logar(QString::fromUtf8(c.login), QString::fromUtf8(c.senha)), c.admitted)
        << c.login << " / " << c.senha;
    EXPECT_FALSE(qry.Active()) << "the handed data set is left alone";
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM Users"), 4) << "nothing typed reached the database";
}

TEST_F(ControllerTest, LogarCanBeAskedTwiceOnOneController) {
  TControllerUser controller(&app_);
  EXPECT_FALSE(controller.Logar(QStringLiteral("admin"), QStringLiteral("errada")));
  EXPECT_TRUE(controller.Logar(QStringLiteral("admin"), QStringLiteral("senha")));
}

}  // namespace
