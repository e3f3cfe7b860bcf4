#include <gtest/gtest.h>

#include "platform/db/JetDialect.h"
#include "platform/rtl/Exceptions.h"

namespace jet = db::jet;

TEST(JetDialect, TranslatesDoubleQuotedLiteralsAndLeavesTheRest) {
  const struct {
    const char* jet;
    const char* sqlite;
  } cases[] = {
      {R"(SELECT * FROM CLIENTES WHERE NOME = "ANA")", "SELECT * FROM CLIENTES WHERE NOME = 'ANA'"},
      {R"(SELECT * FROM CLIENTES WHERE NOME = "NOME")", "SELECT * FROM CLIENTES WHERE NOME = 'NOME'"},
      {R"(WHERE NOME  LIKE  "%%")", "WHERE NOME  LIKE  '%%'"},
      {R"(WHERE NOME = "D'ÁVILA")", "WHERE NOME = 'D''ÁVILA'"},
      {R"(WHERE NOME = "diz ""oi""")", "WHERE NOME = 'diz \"oi\"'"},
      {R"(WHERE NOME = "")", "WHERE NOME = ''"},
      {"WHERE NOME = 'já ''aspas'' \"x\"'", "WHERE NOME = 'já ''aspas'' \"x\"'"},
      {R"(SELECT [nome "x"], `a"b` FROM t)", R"(SELECT [nome "x"], `a"b` FROM t)"},
      {"WHERE STATUS = TRUE OR ativo = false", "WHERE STATUS = -1 OR ativo = 0"},
      {"SELECT t.true, TRUENESS FROM t", "SELECT t.true, TRUENESS FROM t"},
      {"WHERE ID = 5--3", "WHERE ID = 5- -3"},
      {"WHERE VLR = 1E5 /*x*/", "WHERE VLR = 1E5 / *x*/"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(jet::ToSqlite(QString::fromUtf8(c.jet)).toStdString(), std::string(c.sqlite)) << c.jet;
}

TEST(JetDialect, InjectionAttemptStaysOneLiteral) {
  // The value ANA" OR "1"="1 as a careful writer doubles its quotes.
  const QString sql =
      jet::ToSqlite(QStringLiteral(R"(SELECT * FROM USERS WHERE LOGIN = "ANA"" OR ""1""=""1")"));
  EXPECT_EQ(sql, QStringLiteral(R"(SELECT * FROM USERS WHERE LOGIN = 'ANA" OR "1"="1')"));
  // A single quote inside can never end the SQLite literal either.
  EXPECT_EQ(jet::ToSqlite(QStringLiteral(R"(WHERE LOGIN = "x' OR '1'='1")")),
            QStringLiteral("WHERE LOGIN = 'x'' OR ''1''=''1'"));
}

TEST(JetDialect, RightJoinsBecomeLeftJoinsWithTheSameRows) {
  const struct {
    const char* jet;
    const char* sqlite;
  } cases[] = {
      {"SELECT os.id, c.nome FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON "
       "c.id = "
       "os.cliente_id) ON u.id = os.user_id;",
       "SELECT os.id, c.nome FROM OrdensServico AS os LEFT JOIN Clientes AS c ON c.id = os.cliente_id LEFT "
       "JOIN "
       "Users AS u ON u.id = os.user_id;"},
      {"SELECT a.x FROM a LEFT JOIN b ON a.id = b.id RIGHT OUTER JOIN c ON c.id = b.c ORDER BY 1",
       "SELECT a.x FROM c LEFT JOIN (a LEFT JOIN b ON a.id = b.id) ON c.id = b.c ORDER BY 1"},
      {"SELECT a.x FROM a RIGHT JOIN (SELECT id FROM b) t ON a.id = t.id",
       "SELECT a.x FROM (SELECT id FROM b) t LEFT JOIN a ON a.id = t.id"},
      // Left alone: a bare * (its column order follows FROM) and joins without ON.
      {"SELECT * FROM a RIGHT JOIN b ON a.id = b.id", "SELECT * FROM a RIGHT JOIN b ON a.id = b.id"},
      {"SELECT a.x FROM a RIGHT JOIN b USING (id)", "SELECT a.x FROM a RIGHT JOIN b USING (id)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(jet::ToSqlite(QString::fromUtf8(c.jet)).toStdString(), std::string(c.sqlite)) << c.jet;
}

TEST(JetDialect, UnterminatedLiteralIsRefused) {
  for (const char* sql : {R"(WHERE NOME = "ANA)", "WHERE NOME = 'ANA", "SELECT [nome FROM t"})
    EXPECT_THROW(jet::ToSqlite(QString::fromUtf8(sql)), EDatabaseError) << sql;
}

TEST(JetDialect, ParsesSelectListQualifiersAndAliases) {
  const auto items = jet::ParseSelectList(QStringLiteral(
      "SELECT os.id, c.nome, u.nome AS recebeu, COUNT(*) total, [x].[y z], dt_entrada\r\nFROM Users AS u"));
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].qualifier, QStringLiteral("os"));
  EXPECT_EQ(items[0].column, QStringLiteral("id"));
  EXPECT_EQ(items[1].qualifier, QStringLiteral("c"));
  EXPECT_EQ(items[2].alias, QStringLiteral("recebeu"));
  EXPECT_EQ(items[2].qualifier, QStringLiteral("u"));
  EXPECT_EQ(items[3].alias, QStringLiteral("total"));
  EXPECT_TRUE(items[3].column.isEmpty());
  EXPECT_EQ(items[4].qualifier, QStringLiteral("x"));
  EXPECT_EQ(items[4].column, QStringLiteral("y z"));
  EXPECT_EQ(items[5].column, QStringLiteral("dt_entrada"));

  const auto stars = jet::ParseSelectList(QStringLiteral("SELECT *, c.* FROM Clientes c"));
  ASSERT_EQ(stars.size(), 2u);
  EXPECT_TRUE(stars[0].star);
  EXPECT_TRUE(stars[1].star);
  EXPECT_EQ(stars[1].qualifier, QStringLiteral("c"));
}

TEST(JetDialect, TellsSingleTableSelectsFromOthers) {
  const struct {
    const char* sql;
    bool single;
    bool grouped;
    const char* table;
  } cases[] = {
      {"SELECT * FROM ORDENSSERVICO WHERE ID = 5", true, false, "ORDENSSERVICO"},
      {"SELECT id, nome FROM Clientes;", true, false, "Clientes"},
      {"SELECT c.id FROM Clientes AS c ORDER BY c.id", true, false, "Clientes"},
      {"SELECT c.id FROM [Clientes] c", true, false, "Clientes"},
      {"SELECT * FROM ORDENSSERVICO INNER JOIN Clientes ON ORDENSSERVICO.cliente_id = Clientes.id", false,
       false, ""},
      {"SELECT os.id FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = "
       "os.cliente_id) ON u.id = os.user_id;",
       false, false, ""},
      {"SELECT a.id FROM Clientes a, Users b", false, false, ""},
      {"SELECT DISTINCT nome FROM Clientes", true, true, "Clientes"},
      {"SELECT os_id, SUM(item_subtotal) FROM itens_os GROUP BY os_id", true, true, "itens_os"},
      {"SELECT id FROM (SELECT id FROM Clientes)", false, false, ""},
  };
  for (const auto& c : cases) {
    const jet::SourceInfo info = jet::ParseSource(QString::fromUtf8(c.sql));
    EXPECT_TRUE(info.isSelect) << c.sql;
    EXPECT_EQ(info.singleTable, c.single) << c.sql;
    EXPECT_EQ(info.grouped, c.grouped) << c.sql;
    if (c.single) {
      EXPECT_EQ(info.table, QString::fromUtf8(c.table)) << c.sql;
    }
  }
  EXPECT_FALSE(jet::ParseSource(QStringLiteral("UPDATE Clientes SET nome = 'x'")).isSelect);
}
