#include <gtest/gtest.h>

#include "platform/remote/SqliteDialect.h"

namespace {

struct Case {
  const char* sent;
  const char* sqlite;
};

class SqliteDialectTest : public ::testing::TestWithParam<Case> {};

TEST_P(SqliteDialectTest, Translates) {
  EXPECT_EQ(remote::TranslateForSqlite(QString::fromUtf8(GetParam().sent)),
            QString::fromUtf8(GetParam().sqlite));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqliteDialectTest,
    ::testing::Values(
        Case{"SELECT * FROM base.dbo.tblProdutos AS p", "SELECT * FROM base.tblProdutos AS p"},
        Case{"UPDATE BASE.DBO.tblProdutos SET Qtd = 1", "UPDATE BASE.tblProdutos SET Qtd = 1"},
        Case{"a JOIN base.dbo.x ON base.dbo.x.k = 1", "a JOIN base.x ON base.x.k = 1"},
        // Only the whole catalog word is mapped.
        Case{"SELECT xbase.dbo.t, base_.dbo.t, base.dbox", "SELECT xbase.dbo.t, base_.dbo.t, base.dbox"},
        Case{"WHERE t = \"Clientes\";", "WHERE t = 'Clientes';"},
        Case{"WHERE t = \"a\"\"b\"", "WHERE t = 'a\"b'"}, Case{"WHERE t = \"it's\"", "WHERE t = 'it''s'"},
        Case{"WHERE t = \"\"", "WHERE t = ''"},
        Case{"WHERE t = \"x\"\") OR 1=1 --\"", "WHERE t = 'x\") OR 1=1 --'"},
        // Text and names already quoted are left as they are.
        Case{"WHERE t = 'base.dbo.x' AND u = 'a\"b'", "WHERE t = 'base.dbo.x' AND u = 'a\"b'"},
        Case{"WHERE t = \"base.dbo.x\"", "WHERE t = 'base.dbo.x'"},
        Case{"SELECT [base.dbo.x] FROM t", "SELECT [base.dbo.x] FROM t"},
        Case{"SELECT 1 -- base.dbo.x \"q\"\nFROM base.dbo.t", "SELECT 1 -- base.dbo.x \"q\"\nFROM base.t"},
        Case{"SELECT /* \"q\" base.dbo.x */ 1", "SELECT /* \"q\" base.dbo.x */ 1"},
        // An unterminated literal must stay unterminated so that the server refuses it.
        Case{"WHERE t = \"abc", "WHERE t = 'abc"}, Case{"", ""}));

}  // namespace
