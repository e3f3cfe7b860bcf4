#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/remote/SqliteRemoteTransport.h"
#include "platform/rtl/Exceptions.h"
#include "tests/platform/remote/RemoteTestDatabase.h"

namespace {

TEST(SqliteRemoteTransportTest, RunsServerStatementsOnTheAttachedFile) {
  RemoteTestDatabase db;
  db.Run(
      "INSERT INTO base.dbo.tblPermissao (IdPermissao, IdUsuario, Tabela, Edit, Del)"
      " VALUES (1, 7, \"Cli\"\"entes\", 0, NULL);\r\n");
  const RemoteResult result = db.Rows(
      "SELECT p.IdPermissao, p.Tabela, p.Edit, p.Del FROM base.dbo.tblPermissao AS p\r\n"
      "WHERE (((p.Tabela)=\"Cli\"\"entes\"));\r\n");

  EXPECT_EQ(result.Columns, QStringList({"IdPermissao", "Tabela", "Edit", "Del"}));
  ASSERT_EQ(result.Rows.size(), 1u);
  EXPECT_EQ(result.Rows[0][0], QVariant::fromValue<qint64>(1));
  EXPECT_EQ(result.Rows[0][1], QVariant(QStringLiteral("Cli\"entes")));
  EXPECT_EQ(result.Rows[0][2], QVariant::fromValue<qint64>(0));
  EXPECT_TRUE(result.Rows[0][3].isNull());
}

TEST(SqliteRemoteTransportTest, ColumnsAreKnownEvenWithoutRows) {
  RemoteTestDatabase db;
  const RemoteResult result =
      db.Rows("SELECT p.Qtd FROM base.dbo.tblProdutos AS p WHERE p.IdProduto LIKE 1;");
  EXPECT_EQ(result.Columns, QStringList({"Qtd"}));
  EXPECT_TRUE(result.Rows.empty());
}

TEST(SqliteRemoteTransportTest, WritesLandInTheFile) {
  RemoteTestDatabase db;
  db.Run("INSERT INTO base.dbo.tblProdutos (IdProduto, Qtd) VALUES (15, 10);");
  db.Run("UPDATE base.dbo.tblProdutos SET Qtd = 12.5 WHERE IdProduto = 15;\r\n");

  SqliteRemoteTransport reopened(db.FilePath());
  const RemoteResult result = reopened.Query("SELECT Qtd FROM base.dbo.tblProdutos;");
  ASSERT_EQ(result.Rows.size(), 1u);
  EXPECT_DOUBLE_EQ(result.Rows[0][0].toDouble(), 12.5);
}

TEST(SqliteRemoteTransportTest, ServerFailuresRaise) {
  RemoteTestDatabase db;
  const char* bad[] = {"SELECT nada FROM base.dbo.tblProdutos;", "UPDATE base.dbo.tblNada SET x = 1;",
                       "SELECT * FROM base.dbo.tblProdutos WHERE Tabela = \"abc;", "SELEC 1;"};
  for (const char* sql : bad) {
    EXPECT_THROW(db.Rows(sql), EDatabaseError) << sql;
    EXPECT_THROW(db.Run(sql), EDatabaseError) << sql;
  }
  try {
    db.Run("UPDATE base.dbo.tblNada SET x = 1;");
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("no such table: base.tblNada"));
  }
}

TEST(SqliteRemoteTransportTest, MissingFileIsRefusedUnlessAskedToCreate) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("nao-existe.db"));
  try {
    SqliteRemoteTransport transport(path);
    FAIL() << "opened a missing file";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Banco de dados remoto não encontrado: ") + path);
  }
  EXPECT_NO_THROW(SqliteRemoteTransport(path, SqliteRemoteTransport::OpenMode::CreateIfMissing));
  EXPECT_NO_THROW(SqliteRemoteTransport{path});
}

TEST(SqliteRemoteTransportTest, RunsEveryStatementOfAText) {
  RemoteTestDatabase db;
  db.Run("INSERT INTO base.dbo.tblUsuarios VALUES (1);\r\nINSERT INTO base.dbo.tblUsuarios VALUES (2);\r\n");
  const RemoteResult result =
      db.Rows("SELECT COUNT(*) AS n FROM base.dbo.tblUsuarios; SELECT 99;");  // the first result counts
  ASSERT_EQ(result.Rows.size(), 1u);
  EXPECT_EQ(result.Rows[0][0].toInt(), 2);
}

}  // namespace
