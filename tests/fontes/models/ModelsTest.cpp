#include <gtest/gtest.h>

#include <memory>

#include "fontes/dados/uDM.h"
#include "fontes/models/Model.Cliente.h"
#include "fontes/models/Model.ItensOS.h"
#include "fontes/models/Model.Ordem.h"
#include "fontes/models/Model.User.h"
#include "platform/db/ADODataSet.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

class ModelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString database = exe_.FilePath(QStringLiteral("demo.db"));
    admin::CreateDatabase(database, QString(), true, false);
    admin::WriteServerConfig(exe_.Folder(), database, QString(), false);
    DM = new TDM(nullptr);
    DM->AfterConstruction();
    ASSERT_TRUE(DM->ADO->Connected());
  }
  void TearDown() override { delete DM; }

  testsupport::ScopedExeFolder exe_;
};

TEST_F(ModelsTest, EachModelNamesItsTable) {
  const struct {
    std::shared_ptr<TModelBase> model;
    const char* table;
    const char* className;
  } cases[] = {
      {std::make_shared<TModelOrdem>(nullptr), "OrdensServico", "TModelOrdem"},
      {std::make_shared<TModelCliente>(nullptr), "Clientes", "TModelCliente"},
      {std::make_shared<TModelUser>(nullptr), "users", "TModelUser"},
      {std::make_shared<TModelItensOS>(nullptr), "itens_os", "TModelItensOS"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.model->TableName(), QString::fromUtf8(c.table));
    EXPECT_EQ(c.model->ClassName(), QString::fromUtf8(c.className));
    EXPECT_EQ(c.model->PrimaryKey(), QStringLiteral("id"));
    EXPECT_EQ(c.model->DataSet(), nullptr);
  }
}

TEST_F(ModelsTest, DataSetIsAReferenceTheControllerSets) {
  TComponent owner;
  auto* users = new TModelUser(&owner);
  TADODataSet* ds = users->Select({QStringLiteral("id"), QStringLiteral("nome")}).get();
  users->SetDataSet(ds);
  EXPECT_EQ(users->DataSet(), ds);

  // Renamed as the order controller does for its second users list, then reopened.
  ds->Close();
  ds->SetName(QStringLiteral("dsuserentreg"));
  users->OpenDataSet();
  EXPECT_TRUE(ds->Active());
  EXPECT_EQ(ds->RecordCount(), 4);
  users->OpenDataSet();  // already open: nothing happens
  EXPECT_TRUE(ds->Active());

  auto* other = new TModelUser(&owner);
  other->Assign(ds);
  EXPECT_EQ(other->DataSet(), ds);
  // The reference owns nothing: the data set stays the first model's.
  EXPECT_EQ(ds->Owner(), users);
  delete other;
  EXPECT_TRUE(ds->Active());
}

TEST_F(ModelsTest, OpenDataSetWithoutDataSetDoesNothing) {
  TModelCliente model(nullptr);
  EXPECT_NO_THROW(model.OpenDataSet());
  model.SetsSQL(QStringLiteral("kept only"));
  EXPECT_EQ(model.sSQL(), QStringLiteral("kept only"));
}

TEST_F(ModelsTest, DestroyingAModelDestroysItsDataSets) {
  const int before = DM->ADO->DataSetCount();
  auto* items = new TModelItensOS(nullptr);
  items->SetDataSet(items->Where(QStringLiteral("os_id"), 1).get());
  EXPECT_EQ(items->DataSet()->RecordCount(), 2);
  EXPECT_EQ(DM->ADO->DataSetCount(), before + 1);
  delete items;
  EXPECT_EQ(DM->ADO->DataSetCount(), before);
}

}  // namespace
