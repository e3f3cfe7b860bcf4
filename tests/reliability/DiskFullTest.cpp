// A disk that fills up while the operator saves: the save is refused with a clear message,
// the row on screen keeps its state and values, the file keeps what it had, and the same
// save succeeds once there is room again.
#include <cstdio>
#include <functional>

#include "fontes/dados/uDM.h"
#include "platform/rtl/DateTime.h"
#include "tests/reliability/FaultVfs.h"
#include "tests/reliability/ReliabilityFixture.h"

namespace {

using reliability::DatabaseErrorOf;
using reliability::FieldTexts;
using reliability::IntegrityCheck;
using reliability::RawDb;
using reliability::TableContents;

struct PostCase {
  const char* name;
  // Opens the data set, positions it and starts the insert or edit.
  std::function<TADODataSet*(TDM&)> start;
  std::function<void(TDataSet&)> fill;
  const char* table;
  const char* columns;
  const char* stored;  // those columns in the file once the post went through
};

void Set(TDataSet& ds, const char* field, const QVariant& value) {
  ds.FieldByName(QString::fromLatin1(field))->SetValue(value);
}

const TDateTime kEntrada = rtl::EncodeDate(2024, 7, 1) + rtl::EncodeTime(10, 0, 0, 0);

std::vector<PostCase> Cases() {
  return {
      {"new client",
       [](TDM& dm) {
         dm.adsClientes->Open();
         dm.adsClientes->Append();
         return dm.adsClientes;
       },
       [](TDataSet& ds) {
         Set(ds, "nome", QStringLiteral("Cliente do disco cheio"));
         Set(ds, "telefone", QStringLiteral("(11) 3333-4444"));
       },
       "Clientes", "nome, telefone", "Cliente do disco cheio|(11) 3333-4444"},
      {"client edited",
       [](TDM& dm) {
         dm.adsClientes->Open();
         dm.adsClientes->Locate(QStringLiteral("id"), 2);
         dm.adsClientes->Edit();
         return dm.adsClientes;
       },
       [](TDataSet& ds) { Set(ds, "telefone", QStringLiteral("(21) 90000-0000")); }, "Clientes",
       "nome, telefone", "João Carlos Pereira|(21) 90000-0000"},
      {"new order",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Append();
         return dm.adsOrdens;
       },
       [](TDataSet& ds) {
         Set(ds, "cliente_id", 3);
         Set(ds, "user_id", 2);
         Set(ds, "user_recept_id", 1);
         ds.FieldByName(QStringLiteral("dt_entrada"))->SetAsDateTime(kEntrada);
         Set(ds, "vlr_total", 432.1);
         Set(ds, "status", true);
       },
       "OrdensServico", "cliente_id, user_id, user_recept_id, dt_entrada, vlr_total, status",
       "3|2|1|2024-07-01 10:00:00|432.1|-1"},
      {"order edited",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Locate(QStringLiteral("id"), 3);
         dm.adsOrdens->Edit();
         return dm.adsOrdens;
       },
       [](TDataSet& ds) {
         Set(ds, "vlr_total", 999.99);
         Set(ds, "status", false);
       },
       "OrdensServico", "vlr_total, status", "999.99|0"},
      {"new item of order 3",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Locate(QStringLiteral("id"), 3);
         dm.adsItensOS->Open();
         dm.adsItensOS->Append();
         return dm.adsItensOS;
       },
       [](TDataSet& ds) {
         Set(ds, "servico_id", 2);
         Set(ds, "produto_descricao", QStringLiteral("Tela do disco cheio"));
         Set(ds, "item_vlr", 50.0);
         Set(ds, "item_qtde", 2.0);
         Set(ds, "item_desconto", 0.0);
         Set(ds, "item_subtotal", 100.0);
       },
       "itens_os", "os_id, servico_id, produto_descricao, item_vlr, item_qtde, item_subtotal",
       "3|2|Tela do disco cheio|50|2.0|100"},
  };
}

class DiskFullTest : public reliability::ShopTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    faultvfs::Install();
    ShopTest::SetUp();
  }
  void TearDown() override {
    faultvfs::Heal();
    ShopTest::TearDown();
  }

  // One save as the operator makes it: the row opened and typed, the file as it was.
  struct Attempt {
    QStringList before;
    TADODataSet* ds;
    TDataSetState state;
    QStringList typed;
  };
  Attempt Begin(const PostCase& c) {
    Attempt a{TableContents(db_), c.start(*DM), dsInactive, {}};
    a.state = a.ds->State();
    c.fill(*a.ds);
    a.typed = FieldTexts(*a.ds);
    return a;
  }
  // A refused save left the row as typed and the file as it was; once the disk is well
  // again the very same save goes through.
  void ExpectRefusedThenRetried(const Attempt& a, const QString& error) {
    EXPECT_EQ(a.ds->State(), a.state);
    EXPECT_EQ(FieldTexts(*a.ds), a.typed);
    EXPECT_EQ(TableContents(db_), a.before) << error.toStdString();
    ASSERT_EQ(DatabaseErrorOf([&] { a.ds->Post(); }), QString());
  }
  // The file holds the row exactly as saved; the row is closed for the next attempt.
  void ExpectStoredAndEnd(const PostCase& c, const Attempt& a) {
    const QString id = a.ds->FieldByName(QStringLiteral("id"))->AsString();
    EXPECT_EQ(RawDb(db_).Rows(QStringLiteral("SELECT %1 FROM %2 WHERE id = %3")
                                  .arg(QLatin1String(c.columns), QLatin1String(c.table), id)),
              QStringList{QString::fromUtf8(c.stored)});
    // Exactly one row more for an insert, none for an edit.
    EXPECT_EQ(TableContents(db_).size(), a.before.size() + (a.state == dsInsert ? 1 : 0));
    a.ds->Close();
    if (DM->adsOrdens->Active()) DM->adsOrdens->Close();
  }
};

INSTANTIATE_TEST_SUITE_P(Modes, DiskFullTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "UntilHealed" : "Once"; });

// Every write a save makes is made to fail in turn, the k-th for k = 1, 2, ... until a
// save needs fewer writes than k.
TEST_P(DiskFullTest, EveryWriteOfASaveCanFailWithoutLoss) {
  const bool staysFull = GetParam();
  ASSERT_TRUE(Connect()->ADO->Connected());
  int tried = 0;
  for (const PostCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    int refused = 0;
    bool covered = false;
    for (int k = 1; k <= 200 && !covered; ++k) {
      SCOPED_TRACE(k);
      ++tried;
      const Attempt a = Begin(c);
      TADODataSet* ds = a.ds;

      QString error;
      int writes = 0;
      {
        faultvfs::ScopedFault full(k, staysFull);
        error = DatabaseErrorOf([&] { ds->Post(); });
        writes = faultvfs::Writes();
      }
      covered = writes < k;
      if (!error.isEmpty()) {
        ++refused;
        EXPECT_TRUE(error.contains(QStringLiteral("Disco cheio"))) << error.toStdString();
        ExpectRefusedThenRetried(a, error);
      }
      EXPECT_EQ(ds->State(), dsBrowse);
      ExpectStoredAndEnd(c, a);
    }
    EXPECT_TRUE(covered);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(IntegrityCheck(db_), QStringLiteral("ok"));
  }
  RecordProperty("saves_tried", tried);
  std::printf("%d saves tried, each with another write failing\n", tried);
}

// A disk that fails a read while a save runs: the save either goes through or is refused
// with nothing of it in the file; a refusal of a save that did reach the file would make
// the operator's retry store the row twice.
TEST_P(DiskFullTest, EveryReadOfASaveCanFailWithoutLossOrDuplicates) {
  const bool staysFailing = GetParam();
  ASSERT_TRUE(Connect()->ADO->Connected());
  int tried = 0;
  for (const PostCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    bool covered = false;
    for (int k = 1; k <= 200 && !covered; ++k) {
      SCOPED_TRACE(k);
      ++tried;
      const Attempt a = Begin(c);
      TADODataSet* ds = a.ds;

      QString error;
      int reads = 0;
      {
        faultvfs::ScopedFault failing(k, staysFailing, faultvfs::ScopedFault::kRead);
        try {
          ds->Post();
        } catch (const EDatabaseError& e) {
          error = e.Message();
          if (error.isEmpty()) error = QStringLiteral("?");
        }
        reads = faultvfs::Writes();
      }
      covered = reads < k;
      if (!error.isEmpty()) ExpectRefusedThenRetried(a, error);
      ExpectStoredAndEnd(c, a);
    }
    EXPECT_TRUE(covered);
    EXPECT_EQ(IntegrityCheck(db_), QStringLiteral("ok"));
  }
  RecordProperty("saves_tried", tried);
  std::printf("%d saves tried, each with another read failing\n", tried);
}

}  // namespace
