#include <gtest/gtest.h>

#include "platform/remote/RESTDWClientSQL.h"
#include "platform/remote/RESTDWDataBase.h"
#include "platform/rtl/Exceptions.h"
#include "tests/platform/remote/RemoteTestDatabase.h"

namespace {

using Kind = RecordingTransport::Kind;

class RESTDWClientSQLTest : public ::testing::Test {
 protected:
  RESTDWClientSQLTest() : database_(nullptr, db_.Recorder()) { query_.SetDataBase(&database_); }

  void SetSQL(std::initializer_list<const char*> lines) {
    query_.SQL().Clear();
    for (const char* line : lines) query_.SQL().Add(QString::fromUtf8(line));
  }

  RemoteTestDatabase db_;
  TRESTDWDataBase database_;
  TRESTDWClientSQL query_;
};

TEST_F(RESTDWClientSQLTest, StatementTextIsTheLinesEachWithALineBreak) {
  SetSQL({"SELECT 1", " FROM x"});
  EXPECT_EQ(query_.SQL().Text(), QStringLiteral("SELECT 1\r\n FROM x\r\n"));
  EXPECT_EQ(query_.SQL().Count(), 2);
  query_.SQL().Clear();
  EXPECT_EQ(query_.SQL().Text(), QString());
}

TEST_F(RESTDWClientSQLTest, OpenSendsTheTextAndMakesTheFirstRowCurrent) {
  db_.Run(
      "INSERT INTO base.dbo.tblPermissao (IdPermissao, IdUsuario, Tabela, Edit, Del, Sch)"
      " VALUES (1, 7, 'A', 0, 1, 'True'), (2, 7, 'B', 1, 0, 'False');");
  SetSQL({"SELECT p.IdPermissao, p.Edit, p.Del, p.Sch, p.Adicionar", "FROM base.dbo.tblPermissao AS p",
          "ORDER BY p.IdPermissao;"});
  query_.Open();

  ASSERT_EQ(db_.Sent().size(), 1u);
  EXPECT_EQ(db_.Sent()[0],
            (RecordingTransport::Sent{Kind::Query,
                                      "SELECT p.IdPermissao, p.Edit, p.Del, p.Sch, p.Adicionar\r\n"
                                      "FROM base.dbo.tblPermissao AS p\r\n"
                                      "ORDER BY p.IdPermissao;\r\n"}));
  EXPECT_TRUE(query_.Active());
  EXPECT_EQ(query_.RecordCount(), 2);
  EXPECT_DOUBLE_EQ(query_.FieldByName("IdPermissao").AsFloat(), 1.0);
  EXPECT_FALSE(query_.FieldByName("Edit").AsBoolean());
  EXPECT_TRUE(query_.FieldByName("del").AsBoolean());  // letter case ignored
  EXPECT_TRUE(query_.FieldByName("Sch").AsBoolean());
  EXPECT_FALSE(query_.FieldByName("Adicionar").AsBoolean());  // NULL
  EXPECT_DOUBLE_EQ(query_.FieldByName("Adicionar").AsFloat(), 0.0);

  query_.Open();  // already open: nothing is sent again
  EXPECT_EQ(db_.Sent().size(), 1u);
}

TEST_F(RESTDWClientSQLTest, NoRowReadsAsZeroAndFalse) {
  SetSQL({"SELECT p.Qtd, p.Preco FROM base.dbo.tblProdutos AS p WHERE p.IdProduto LIKE 99;"});
  query_.Open();
  EXPECT_EQ(query_.RecordCount(), 0);
  EXPECT_DOUBLE_EQ(query_.FieldByName("Qtd").AsFloat(), 0.0);
  EXPECT_FALSE(query_.FieldByName("Preco").AsBoolean());
}

TEST_F(RESTDWClientSQLTest, UnknownOrClosedFieldIsNotFound) {
  SetSQL({"SELECT p.Qtd FROM base.dbo.tblProdutos AS p;"});
  for (bool open : {true, false}) {
    if (open) query_.Open();
    try {
      query_.FieldByName(open ? "Preco" : "Qtd");
      FAIL() << "field found";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(),
                open ? QStringLiteral("Field 'Preco' not found") : QStringLiteral("Field 'Qtd' not found"));
    }
    query_.Close();
  }
}

TEST_F(RESTDWClientSQLTest, ExecSQLSendsTheTextAndRaisesServerFailures) {
  db_.Run("INSERT INTO base.dbo.tblProdutos (IdProduto, Qtd) VALUES (15, 10);");
  SetSQL({"UPDATE base.dbo.tblProdutos SET Qtd = 3 WHERE IdProduto = 15;"});
  query_.ExecSQL();
  EXPECT_EQ(db_.Sent().back(),
            (RecordingTransport::Sent{Kind::Execute,
                                      "UPDATE base.dbo.tblProdutos SET Qtd = 3 WHERE IdProduto = 15;\r\n"}));
  EXPECT_FALSE(query_.Active());
  EXPECT_EQ(db_.Rows("SELECT Qtd FROM base.dbo.tblProdutos;").Rows[0][0].toDouble(), 3.0);

  SetSQL({"UPDATE base.dbo.tblProdutos SET Nada = 3;"});
  EXPECT_THROW(query_.ExecSQL(), EDatabaseError);
  SetSQL({"SELECT Nada FROM base.dbo.tblProdutos;"});
  EXPECT_THROW(query_.Open(), EDatabaseError);
  EXPECT_FALSE(query_.Active());
}

TEST_F(RESTDWClientSQLTest, WithoutConnectionNothingRuns) {
  TRESTDWClientSQL orphan;
  orphan.SQL().Add("SELECT 1;");
  EXPECT_THROW(orphan.Open(), EDatabaseError);
  EXPECT_THROW(orphan.ExecSQL(), EDatabaseError);
  TRESTDWDataBase noTransport;
  orphan.SetDataBase(&noTransport);
  EXPECT_THROW(orphan.Open(), EDatabaseError);
  EXPECT_TRUE(db_.Sent().empty());
}

TEST(RemoteFieldTest, ConvertsTextAndNumbers) {
  EXPECT_DOUBLE_EQ(TRemoteField("f", QStringLiteral(" 12.5 ")).AsFloat(), 12.5);
  EXPECT_DOUBLE_EQ(TRemoteField("f", QVariant::fromValue<qint64>(-3)).AsFloat(), -3.0);
  EXPECT_THROW(TRemoteField("f", QStringLiteral("12,5")).AsFloat(), EConvertError);
  const std::pair<QVariant, bool> booleans[] = {{QVariant::fromValue<qint64>(1), true},
                                                {QVariant::fromValue<qint64>(-1), true},
                                                {0.0, false},
                                                {QStringLiteral("TRUE"), true},
                                                {QStringLiteral("false"), false},
                                                {QStringLiteral("1"), true},
                                                {QStringLiteral(""), false},
                                                {QVariant(), false}};
  for (const auto& [value, expected] : booleans)
    EXPECT_EQ(TRemoteField("f", value).AsBoolean(), expected) << value.toString().toStdString();
  EXPECT_THROW(TRemoteField("f", QStringLiteral("talvez")).AsBoolean(), EConvertError);
}

TEST(RESTDWComponentsTest, OwnerFreesWhatItOwns) {
  TComponent owner;
  auto* database = new TRESTDWDataBase(&owner);
  auto* query = new TRESTDWClientSQL(&owner);
  query->SetDataBase(database);
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(query->ClassName(), QStringLiteral("TRESTDWClientSQL"));
  EXPECT_EQ(database->ClassName(), QStringLiteral("TRESTDWDataBase"));
  owner.DestroyComponents();
  EXPECT_EQ(owner.ComponentCount(), 0);
}

}  // namespace
