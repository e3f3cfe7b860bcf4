// Another program changes or deletes a row between the moment the operator's list was
// opened and the moment the edit is saved.
#include <functional>

#include "fontes/dados/uDM.h"
#include "tests/reliability/ReliabilityFixture.h"

namespace {

using reliability::DatabaseErrorOf;
using reliability::IntegrityCheck;
using reliability::RawDb;

class ConcurrentChangeTest : public reliability::ShopTest {
 protected:
  TADODataSet* EditClient(int id) {
    TADODataSet* ds = Connect()->adsClientes;
    ds->Open();
    EXPECT_TRUE(ds->Locate(QStringLiteral("id"), id));
    ds->Edit();
    return ds;
  }
};

// The update would touch no row: refused, nothing re-created, the edit kept for the operator.
TEST_F(ConcurrentChangeTest, SavingARowAnotherProgramDeletedIsRefusedAndNotRecreated) {
  const struct {
    const char* name;
    const char* table;
    std::function<TADODataSet*(TDM&)> edit;
  } cases[] = {
      {"client", "Clientes",
       [](TDM& dm) {
         dm.adsClientes->Open();
         dm.adsClientes->Locate(QStringLiteral("id"), 3);
         dm.adsClientes->Edit();
         dm.adsClientes->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Novo nome"));
         return dm.adsClientes;
       }},
      {"order", "OrdensServico",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Locate(QStringLiteral("id"), 3);
         dm.adsOrdens->Edit();
         dm.adsOrdens->FieldByName(QStringLiteral("vlr_total"))->SetAsFloat(1.5);
         return dm.adsOrdens;
       }},
      {"item", "itens_os",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Locate(QStringLiteral("id"), 3);
         dm.adsItensOS->Open();
         dm.adsItensOS->Last();
         dm.adsItensOS->Edit();
         dm.adsItensOS->FieldByName(QStringLiteral("item_qtde"))->SetAsFloat(9);
         return dm.adsItensOS;
       }},
  };
  Connect();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TADODataSet* ds = c.edit(*DM);
    const QStringList typed = reliability::FieldTexts(*ds);
    const QString id = ds->FieldByName(QStringLiteral("id"))->AsString();
    RawDb(db_).Exec(QStringLiteral("DELETE FROM %1 WHERE id = %2").arg(QLatin1String(c.table), id));
    const QString count =
        RawDb(db_).Scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(c.table)));

    const QString error = DatabaseErrorOf([&] { ds->Post(); });
    EXPECT_TRUE(error.contains(QStringLiteral("excluído por outro usuário ou programa")))
        << error.toStdString();
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(reliability::FieldTexts(*ds), typed);
    EXPECT_EQ(RawDb(db_).Scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(c.table))),
              count);
    EXPECT_EQ(RawDb(db_).Scalar(
                  QStringLiteral("SELECT count(*) FROM %1 WHERE id = %2").arg(QLatin1String(c.table), id)),
              QStringLiteral("0"));
    ds->Cancel();
    ds->Close();
    DM->adsOrdens->Close();
  }
  EXPECT_EQ(IntegrityCheck(db_), QStringLiteral("ok"));
}

// Only the columns the operator changed are written: another program's change to the
// other columns of the row stays; on the same column the later save wins.
TEST_F(ConcurrentChangeTest, SavingARowAnotherProgramChangedKeepsItsOtherColumns) {
  TADODataSet* ds = EditClient(4);
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Francisco Oliveira"));
  RawDb(db_).Exec(QStringLiteral("UPDATE Clientes SET telefone = '(85) 3000-0000' WHERE id = 4"));
  ASSERT_EQ(DatabaseErrorOf([&] { ds->Post(); }), QString());
  EXPECT_EQ(RawDb(db_).Rows(QStringLiteral("SELECT nome, telefone FROM Clientes WHERE id = 4")),
            QStringList{QStringLiteral("Francisco Oliveira|(85) 3000-0000")});
  // What the data set shows is the row as stored, the other program's column included.
  EXPECT_EQ(ds->FieldByName(QStringLiteral("telefone"))->AsString(), QStringLiteral("(85) 3000-0000"));

  ds->Edit();
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Chico"));
  RawDb(db_).Exec(QStringLiteral("UPDATE Clientes SET nome = 'Outro' WHERE id = 4"));
  ASSERT_EQ(DatabaseErrorOf([&] { ds->Post(); }), QString());
  EXPECT_EQ(RawDb(db_).Scalar(QStringLiteral("SELECT nome FROM Clientes WHERE id = 4")),
            QStringLiteral("Chico"));
}

// A delete of a row already gone elsewhere removes it from the list and touches no other.
TEST_F(ConcurrentChangeTest, DeletingARowAnotherProgramDeletedTouchesNoOther) {
  Connect();
  TADODataSet* ds = DM->adsServicos;
  ds->Open();
  ASSERT_TRUE(ds->Locate(QStringLiteral("id"), 5));
  RawDb(db_).Exec(QStringLiteral("DELETE FROM Servicos WHERE id = 5"));
  const QStringList before = RawDb(db_).Rows(QStringLiteral("SELECT * FROM Servicos ORDER BY id"));
  const int listed = ds->RecordCount();
  ds->Delete();
  EXPECT_EQ(ds->RecordCount(), listed - 1);
  EXPECT_FALSE(ds->Locate(QStringLiteral("id"), 5));
  EXPECT_EQ(RawDb(db_).Rows(QStringLiteral("SELECT * FROM Servicos ORDER BY id")), before);
}

}  // namespace
