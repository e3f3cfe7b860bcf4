#include <QProcess>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/db/DbFixture.h"

namespace {

const char* const kOrderList =
    "SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
    "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = os.cliente_id) ON "
    "u.id = "
    "os.user_id;";

// The message of the EDatabaseError that call raises ("" when none).
template <typename F>
QString DatabaseErrorOf(F&& call) {
  try {
    call();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return {};
}

QStringList FieldNames(const TDataSet& ds) {
  QStringList names;
  for (int i = 0; i < ds.FieldCount(); ++i) names << ds.Fields(i)->FieldName();
  return names;
}

QString Sqlite3Cli(const QString& path, const QString& sql) {
  QProcess cli;
  cli.start(QStringLiteral("sqlite3"), {path, sql});
  if (!cli.waitForFinished(10000)) return QStringLiteral("<sqlite3 did not finish>");
  return QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
}

}  // namespace

class DataSetTest : public dbtest::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    SeedOrders();
  }
};

TEST_F(DataSetTest, OrderListIsNamedAndTypedAsJetDoes) {
  TADODataSet* ds = OpenQuery(QString::fromUtf8(kOrderList), QStringLiteral("adsOS"));
  EXPECT_EQ(FieldNames(*ds),
            QStringList({"id", "c.nome", "u.nome", "dt_entrada", "dt_saida", "vlr_total", "status"}));
  const TFieldType kinds[] = {ftAutoInc,  ftWideString, ftWideString, ftDateTime,
                              ftDateTime, ftBCD,        ftBoolean};
  for (int i = 0; i < ds->FieldCount(); ++i) EXPECT_EQ(ds->Fields(i)->DataType(), kinds[i]) << i;
  EXPECT_EQ(ds->FieldByName(QStringLiteral("C.NOME"))->Size(), 255);
  ASSERT_EQ(ds->RecordCount(), 3);
  ASSERT_TRUE(ds->Locate(QStringLiteral("id"), 1));  // no order was asked for
  EXPECT_EQ(ds->FieldByName(QStringLiteral("c.nome"))->AsString(), QStringLiteral("Ana"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("u.nome"))->AsString(), QStringLiteral("Davi"));
  ASSERT_TRUE(ds->Locate(QStringLiteral("id"), 3));
  EXPECT_TRUE(ds->FieldByName(QStringLiteral("c.nome"))->IsNull());  // an order without client still shows
  EXPECT_TRUE(ds->FieldByName(QStringLiteral("u.nome"))->IsNull());
  EXPECT_FALSE(ds->CanModify());
  EXPECT_TRUE(DatabaseErrorOf([&] { ds->Edit(); }).contains(QStringLiteral("somente leitura")));
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(DataSetTest, ColumnsOfTheTablesGetTheirKindsAndValues) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT * FROM ORDENSSERVICO WHERE ID = 2"));
  EXPECT_EQ(FieldNames(*ds), QStringList({"id", "cliente_id", "user_id", "dt_entrada", "vlr_total",
                                          "user_recept_id", "dt_saida", "dt_create", "dt_alt", "status"}));
  const TFieldType kinds[] = {ftAutoInc, ftInteger,  ftInteger,  ftDateTime, ftBCD,
                              ftInteger, ftDateTime, ftDateTime, ftDateTime, ftBoolean};
  for (int i = 0; i < ds->FieldCount(); ++i) EXPECT_EQ(ds->Fields(i)->DataType(), kinds[i]) << i;
  EXPECT_EQ(ds->RecordCount(), 1);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("VLR_TOTAL"))->AsCurrency(), Currency::FromRaw(12345678));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("dt_entrada"))->AsDateTime(),
            rtl::EncodeDate(2024, 4, 1) + rtl::EncodeTime(8, 0, 0, 0));
  EXPECT_FALSE(ds->FieldByName(QStringLiteral("status"))->AsBoolean());
  EXPECT_TRUE(ds->FieldByName(QStringLiteral("dt_saida"))->IsNull());
  EXPECT_EQ(ds->FindField(QStringLiteral("nada")), nullptr);
  EXPECT_EQ(DatabaseErrorOf([&] { ds->FieldByName(QStringLiteral("nada")); }),
            QStringLiteral("Field 'nada' not found"));

  TADODataSet* names = OpenQuery(QStringLiteral("SELECT ID ,NOME FROM CLIENTES WHERE NOME = \"ANA\""));
  EXPECT_EQ(FieldNames(*names), QStringList({"id", "nome"}));  // the column's own name, compared without case
  EXPECT_EQ(names->RecordCount(), 1);
  TADODataSet* aliases =
      OpenQuery(QStringLiteral("SELECT nome AS cliente, COUNT(*) AS n, 1.5 FROM Clientes"));
  EXPECT_EQ(FieldNames(*aliases).mid(0, 2), QStringList({"cliente", "n"}));
  EXPECT_EQ(aliases->Fields(1)->DataType(), ftInteger);
  EXPECT_EQ(aliases->Fields(2)->DataType(), ftFloat);
}

TEST_F(DataSetTest, NavigatesLocatesAndReadsRowsWithoutMovingTheCursor) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes ORDER BY id"));
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(ds->RecNo(), 1);
  ds->Next();
  EXPECT_EQ(ds->RecNo(), 2);
  ds->Next();
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 2);
  ds->Prior();
  ds->Prior();
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(ds->MoveBy(5), 1);
  ds->SetRecNo(1);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("nome"))->AsString(), QStringLiteral("Ana"));

  EXPECT_EQ(ds->ValueAt(1, 1).toString(), QStringLiteral("Bruno"));
  EXPECT_EQ(ds->DisplayTextAt(1, 0), QStringLiteral("2"));
  EXPECT_FALSE(ds->ValueAt(9, 0).isValid());
  EXPECT_EQ(ds->RecNo(), 1);

  EXPECT_TRUE(ds->Locate(QStringLiteral("id"), 2));
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_FALSE(ds->Locate(QStringLiteral("id"), 99));
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_FALSE(ds->Locate(QStringLiteral("nome"), QStringLiteral("ana")));
  EXPECT_TRUE(ds->Locate(QStringLiteral("nome"), QStringLiteral("ana"), loCaseInsensitive));
  EXPECT_TRUE(ds->Locate(QStringLiteral("nome"), QStringLiteral("Bru"), loPartialKey));
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_TRUE(ds->Locate(QStringLiteral("id;nome"), QVariantList{1, QStringLiteral("Ana")}));
  EXPECT_EQ(ds->RecNo(), 1);
}

TEST_F(DataSetTest, EditsAndInsertsRoundTripThroughTheFile) {
  TADODataSet* ds = OpenQuery(QStringLiteral("select * from OrdensServico"));
  ds->Append();
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->RecordCount(), 4);
  const TDateTime entrada = rtl::EncodeDate(2024, 12, 31) + rtl::EncodeTime(23, 59, 58, 250);
  ds->FieldByName(QStringLiteral("cliente_id"))->SetAsInteger(2);
  ds->FieldByName(QStringLiteral("dt_entrada"))->SetAsDateTime(entrada);
  ds->FieldByName(QStringLiteral("vlr_total"))->SetAsCurrency(Currency::FromRaw(98765432));  // 9876.5432
  ds->FieldByName(QStringLiteral("status"))->SetAsBoolean(true);
  ds->Post();
  EXPECT_EQ(ds->State(), dsBrowse);
  const int id = ds->FieldByName(QStringLiteral("id"))->AsInteger();
  EXPECT_EQ(id, 4);  // the database's auto-number, read back

  ASSERT_TRUE(ds->Locate(QStringLiteral("id"), 1));
  ds->Edit();
  ds->FieldByName(QStringLiteral("vlr_total"))->SetAsString(QStringLiteral("10.1"));
  ds->FieldByName(QStringLiteral("dt_saida"))->Clear();
  ds->Post();

  TADODataSet* again = OpenQuery(QStringLiteral("SELECT * FROM ORDENSSERVICO WHERE ID = %1").arg(id));
  EXPECT_EQ(again->FieldByName(QStringLiteral("dt_entrada"))->AsDateTime(), entrada);
  EXPECT_EQ(again->FieldByName(QStringLiteral("vlr_total"))->AsCurrency(), Currency::FromRaw(98765432));
  EXPECT_TRUE(again->FieldByName(QStringLiteral("status"))->AsBoolean());
  EXPECT_TRUE(again->FieldByName(QStringLiteral("user_id"))->IsNull());

  // What another tool sees: readable dates, plain amounts, yes/no as -1 and 0.
  EXPECT_EQ(Sqlite3Cli(path_, QStringLiteral(
                                  "SELECT dt_entrada, vlr_total, status FROM OrdensServico WHERE id = 4")),
            QStringLiteral("2024-12-31 23:59:58.250|9876.5432|-1"));
  EXPECT_EQ(
      Sqlite3Cli(path_, QStringLiteral("SELECT vlr_total, quote(dt_saida) FROM OrdensServico WHERE id = 1")),
      QStringLiteral("10.1|NULL"));
}

TEST_F(DataSetTest, RefusedPostKeepsEverythingTypedAndCanBeRetried) {
  Exec(
      QStringLiteral("CREATE TRIGGER recusa BEFORE INSERT ON Clientes WHEN NEW.nome = 'proibido' "
                     "BEGIN SELECT RAISE(ABORT, 'nome proibido'); END;"));
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome, telefone FROM Clientes;"));
  ds->Append();
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("proibido"));
  ds->FieldByName(QStringLiteral("telefone"))->SetAsString(QStringLiteral("5555"));
  EXPECT_TRUE(DatabaseErrorOf([&] { ds->Post(); }).contains(QStringLiteral("recusou")));
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("telefone"))->AsString(), QStringLiteral("5555"));
  EXPECT_EQ(ds->RecordCount(), 3);
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("permitido"));
  ds->Post();
  EXPECT_EQ(Scalar(QStringLiteral("SELECT telefone FROM Clientes WHERE nome = 'permitido'")),
            QStringLiteral("5555"));
}

TEST_F(DataSetTest, UpdateOfARowAnotherProgramDeletedIsRefused) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes"));
  ds->Edit();
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Ana Maria"));
  Exec(QStringLiteral("DELETE FROM Clientes WHERE id = 1"));
  EXPECT_TRUE(DatabaseErrorOf([&] { ds->Post(); }).contains(QStringLiteral("excluído")));
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("nome"))->AsString(), QStringLiteral("Ana Maria"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM Clientes")),
            QStringLiteral("1"));  // nothing re-created
}

TEST_F(DataSetTest, WriteBlockedByAnotherProgramWaitsThenFailsWithoutLoss) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes"));
  dbtest::RawDb other(path_);
  other.Exec(QStringLiteral("BEGIN EXCLUSIVE"));
  ds->Edit();
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Ana Paula"));
  EXPECT_TRUE(DatabaseErrorOf([&] { ds->Post(); }).contains(QStringLiteral("bloqueado")));
  EXPECT_EQ(ds->State(), dsEdit);
  other.Exec(QStringLiteral("COMMIT"));
  ds->Post();
  EXPECT_EQ(Scalar(QStringLiteral("SELECT nome FROM Clientes WHERE id = 1")), QStringLiteral("Ana Paula"));
}

TEST_F(DataSetTest, FullDiskRefusesThePostAndKeepsTheRow) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes"));
  const int pages = Scalar(QStringLiteral("PRAGMA page_count")).toInt();
  connection_->Execute(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
  ds->Append();
  const QString big(200, QLatin1Char('x'));
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(big);
  int posted = 0;
  QString error;
  for (; posted < 200 && error.isEmpty(); ++posted) {
    error = DatabaseErrorOf([&] { ds->Post(); });
    if (error.isEmpty()) {
      ds->Append();
      ds->FieldByName(QStringLiteral("nome"))->SetAsString(big);
    }
  }
  EXPECT_TRUE(error.contains(QStringLiteral("Disco cheio"))) << error.toStdString();
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("nome"))->AsString(), big);
}

TEST_F(DataSetTest, FieldSettersCheckStateKindAndSize) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT * FROM itens_os"));
  TField* qtde = ds->FieldByName(QStringLiteral("item_qtde"));
  EXPECT_EQ(DatabaseErrorOf([&] { qtde->SetAsFloat(2); }),
            QStringLiteral("Dataset not in edit or insert mode"));
  ds->Edit();
  EXPECT_EQ(DatabaseErrorOf([&] { ds->FieldByName(QStringLiteral("id"))->SetAsInteger(7); }),
            QStringLiteral("Field 'id' cannot be modified"));
  ds->FieldByName(QStringLiteral("servico_id"))->SetReadOnly(true);
  ds->FieldByName(QStringLiteral("servico_id"))->SetDisplayLabel(QStringLiteral("Serviço"));
  EXPECT_EQ(DatabaseErrorOf([&] { ds->FieldByName(QStringLiteral("servico_id"))->SetAsInteger(7); }),
            QStringLiteral("Field 'Serviço' cannot be modified"));
  const struct {
    const char* field;
    const char* text;
    const char* error;
  } conversions[] = {
      {"os_id", "abc", "'abc' is not a valid integer value"},
      {"item_qtde", "1x", "'1x' is not a valid floating point value"},
  };
  for (const auto& c : conversions) {
    try {
      ds->FieldByName(QString::fromUtf8(c.field))->SetAsString(QString::fromUtf8(c.text));
      ADD_FAILURE() << c.field;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), QString::fromUtf8(c.error));
    }
  }
  TField* descricao = ds->FieldByName(QStringLiteral("produto_descricao"));
  EXPECT_TRUE(DatabaseErrorOf([&] {
                descricao->SetAsString(QString(256, QLatin1Char('a')));
              }).contains(QStringLiteral("no máximo 255")));
  descricao->SetAsString(QString(255, QLatin1Char('a')));
  qtde->SetAsString(QString());
  EXPECT_TRUE(qtde->IsNull());
  EXPECT_EQ(qtde->OldValue().toDouble(), 1.0);
  ds->Cancel();
  EXPECT_EQ(qtde->AsFloat(), 1.0);
}

TEST_F(DataSetTest, RequiredFieldIsCheckedAtPost) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT * FROM itens_os WHERE OS_ID = 7"));
  ds->FieldByName(QStringLiteral("os_id"))->SetRequired(true);
  ds->Append();
  EXPECT_EQ(DatabaseErrorOf([&] { ds->Post(); }), QStringLiteral("Field 'os_id' must have a value"));
  EXPECT_EQ(ds->State(), dsInsert);
  ds->FieldByName(QStringLiteral("os_id"))->SetAsInteger(7);
  ds->Post();
  EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM itens_os WHERE os_id = 7")), QStringLiteral("1"));
}

TEST_F(DataSetTest, SortOrdersTheSnapshotOnTheClient) {
  Exec(QStringLiteral("INSERT INTO Clientes (id, nome) VALUES (3, 'ana'), (4, NULL), (5, 'carla')"));
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes"));
  auto ids = [&] {
    QStringList out;
    for (int r = 0; r < ds->RecordCount(); ++r) out << ds->ValueAt(r, 0).toString();
    return out.join(QLatin1Char(','));
  };
  ds->SetSort(QStringLiteral("nome DESC, id"));
  EXPECT_EQ(ids(), QStringLiteral("5,2,1,3,4"));
  ds->SetSort(QStringLiteral("nome, id DESC"));
  EXPECT_EQ(ids(), QStringLiteral("4,3,1,2,5"));  // nulls first, case ignored
  ds->SetSort(QString());
  EXPECT_EQ(ids(), QStringLiteral("1,2,3,4,5"));
  EXPECT_EQ(DatabaseErrorOf([&] { ds->SetSort(QStringLiteral("nada")); }),
            QStringLiteral("Field 'nada' not found"));

  ds->SetSort(QStringLiteral("nome"));
  ASSERT_TRUE(ds->Locate(QStringLiteral("id"), 5));
  ds->Edit();
  ds->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Aaron"));
  ds->Post();
  EXPECT_EQ(ids(), QStringLiteral("4,5,1,3,2"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("id"))->AsInteger(), 5);  // the cursor moved with the row
}

TEST_F(DataSetTest, PersistentFieldsBindByNameAndAreTheOnlyFields) {
  TADODataSet* ds =
      NewQuery(QStringLiteral("SELECT id, nome, telefone FROM Clientes;"), QStringLiteral("adsClientes"));
  auto* id = new TAutoIncField(&owner_);
  id->SetName(QStringLiteral("adsClientesid"));
  id->SetFieldName(QStringLiteral("id"));
  id->SetDisplayLabel(QStringLiteral("Código"));
  id->SetDisplayFormat(QStringLiteral("00000"));
  id->SetDataSet(ds);
  auto* nome = new TWideStringField(&owner_);
  nome->SetName(QStringLiteral("adsClientesnome"));
  nome->SetFieldName(QStringLiteral("NOME"));
  nome->SetDataSet(ds);
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 2);
  EXPECT_EQ(ds->Fields(1), nome);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("nome")), nome);
  EXPECT_EQ(ds->FindField(QStringLiteral("telefone")), nullptr);
  EXPECT_EQ(id->DisplayText(), QStringLiteral("00001"));
  EXPECT_EQ(nome->Size(), 255);
  EXPECT_EQ(owner_.FindComponent(QStringLiteral("adsClientesnome")), nome);
  EXPECT_THROW(nome->SetDataSet(nullptr), EDatabaseError);  // not while open
  ds->Close();
  EXPECT_EQ(ds->FieldCount(), 2);  // persistent fields outlive Close

  auto* wrong = new TDateTimeField(&owner_);
  wrong->SetFieldName(QStringLiteral("telefone"));
  wrong->SetDataSet(ds);
  EXPECT_EQ(DatabaseErrorOf([&] { ds->Open(); }),
            QStringLiteral("Type mismatch for field 'telefone', expecting: DateTime actual: WideString"));
  EXPECT_FALSE(ds->Active());
  wrong->SetFieldName(QStringLiteral("fax"));
  EXPECT_EQ(DatabaseErrorOf([&] { ds->Open(); }), QStringLiteral("Field 'fax' not found"));
  delete wrong;
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 2);
}

TEST_F(DataSetTest, DeleteRemovesTheRowAndAnAbortInBeforeDeleteKeepsIt) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes"));
  bool confirm = false;
  ds->BeforeDelete = [&](TDataSet&) {
    if (!confirm) rtl::Abort();
  };
  EXPECT_THROW(ds->Delete(), EAbort);
  EXPECT_EQ(ds->RecordCount(), 2);
  confirm = true;
  ds->Delete();
  EXPECT_EQ(ds->RecordCount(), 1);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("nome"))->AsString(), QStringLiteral("Bruno"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT group_concat(id) FROM Clientes")), QStringLiteral("2"));
  Exec(QStringLiteral("DELETE FROM Clientes"));
  ds->Delete();  // already gone elsewhere: it leaves the list all the same
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->Eof() && ds->Bof());
  EXPECT_THROW(ds->Delete(), EDatabaseError);
}

TEST_F(DataSetTest, RefreshRereadsAndKeepsTheCurrentRow) {
  TADODataSet* ds = OpenQuery(QStringLiteral("SELECT id, nome FROM Clientes"));
  TField* nome = ds->FieldByName(QStringLiteral("nome"));
  ds->Last();
  Exec(QStringLiteral(
      "INSERT INTO Clientes (id, nome) VALUES (0, 'Zero'); UPDATE Clientes SET nome = 'Beto' WHERE id = 2"));
  ds->Refresh();
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("nome")), nome);  // the same field objects
  EXPECT_EQ(nome->AsString(), QStringLiteral("Beto"));
}
