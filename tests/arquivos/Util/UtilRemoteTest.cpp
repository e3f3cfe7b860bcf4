#include <gtest/gtest.h>

#include "arquivos/Util/Util.h"
#include "platform/remote/RESTDWDataBase.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/platform/remote/RemoteTestDatabase.h"

namespace {

using Kind = RecordingTransport::Kind;
using Sent = RecordingTransport::Sent;

const QString kSelectProduto15 = QStringLiteral(
    "SELECT p.IdProduto, p.Qtd, p.Preco, p.PrecoCusto\r\n"
    " FROM base.dbo.tblProdutos AS p\r\n"
    " WHERE p.IdProduto LIKE 15;\r\n");

QString PermissaoSelect(const QString& idUsuario, const QString& tabelaAsSent) {
  return QStringLiteral(
             "SELECT p.IdPermissao, p.IdUsuario, p.Tabela, p.Adicionar, p.Edit, p.Sch, p.Del\r\n"
             "FROM base.dbo.tblUsuarios AS u LEFT JOIN base.dbo.tblPermissao AS p ON u.IdUsuario = "
             "p.IdUsuario\r\n"
             "WHERE (((p.IdUsuario)=%1) AND ((p.Tabela)=\"%2\"));\r\n")
      .arg(idUsuario, tabelaAsSent);
}

// The message of what f raises, with the class it was raised as.
template <typename F>
std::pair<QString, QString> Raised(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return {e.ClassName(), e.Message()};
  }
  return {};
}

const std::pair<QString, QString> kEstoqueError = {"Exception", "Erro ao tentar atualizar Estoque!"};
const std::pair<QString, QString> kNotPermitted = {"Exception", "Erro: 99\r\nOperação não permitida!"};

class UtilRemoteTest : public ::testing::Test {
 protected:
  UtilRemoteTest() : connection_(nullptr, db_.Recorder()) {
    db_.Run(
        "INSERT INTO base.dbo.tblProdutos (IdProduto, Qtd, Preco, PrecoCusto) VALUES (15, 10, 5, 3);"
        "INSERT INTO base.dbo.tblUsuarios (IdUsuario) VALUES (7), (8);"
        "INSERT INTO base.dbo.tblPermissao (IdPermissao, IdUsuario, Tabela, Adicionar, Edit, Sch, Del)"
        " VALUES (1, 7, 'Clientes', 1, 0, NULL, 1);");
  }

  QVariant Produto15(const char* column) {
    const RemoteResult r =
        db_.Rows(QStringLiteral("SELECT %1 FROM base.dbo.tblProdutos WHERE IdProduto = 15;").arg(column));
    return r.Rows.at(0).at(0);
  }

  RemoteTestDatabase db_;
  TRESTDWDataBase connection_;
};

// Stock updates run under Brazilian and invariant settings alike: the statement always
// carries "." as decimal point.
class EstoqueTest : public UtilRemoteTest, public ::testing::WithParamInterface<bool> {
 protected:
  EstoqueTest() : settings_(GetParam() ? TFormatSettings::PtBR() : TFormatSettings::Invariant()) {}
  rtl::ScopedFormatSettings settings_;
};

INSTANTIATE_TEST_SUITE_P(Locales, EstoqueTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "PtBR" : "Invariant"; });

TEST_P(EstoqueTest, AddsToTheStockWithTheKeyUnquoted) {
  EXPECT_DOUBLE_EQ(TUtil::Estoque(1, "15", 2.5, Currency(), Currency(), &connection_), 12.5);
  EXPECT_EQ(db_.Sent(),
            (std::vector<Sent>{
                {Kind::Query, kSelectProduto15},
                {Kind::Execute, "UPDATE base.dbo.tblProdutos SET Qtd = 12.5 WHERE IdProduto = 15;\r\n"}}));
  EXPECT_DOUBLE_EQ(Produto15("Qtd").toDouble(), 12.5);
}

TEST_P(EstoqueTest, UpdatesQuantityAndThePricesGreaterThanZero) {
  struct Case {
    int32_t acao;
    double qtdNew;
    Currency custo, preco;
    QString update;
    double qtd, storedCusto, storedPreco;
  };
  const Case cases[] = {
      {2, 2.5, Currency::FromInt(9), Currency::FromInt(9),
       "UPDATE base.dbo.tblProdutos SET Qtd = 7.5 WHERE IdProduto = 15;\r\n", 7.5, 3, 5},
      {3, 1, Currency(), Currency(),
       "UPDATE base.dbo.tblProdutos\r\n SET Qtd = 11\r\n WHERE IdProduto = 15;\r\n", 11, 3, 5},
      {3, 0.25, Currency(), Currency::FromRaw(75000),
       "UPDATE base.dbo.tblProdutos\r\n SET Qtd = 10.25\r\n ,Preco = 7.5000\r\n WHERE IdProduto = 15;\r\n",
       10.25, 3, 7.5},
      {3, 0, Currency::FromRaw(12345), Currency::FromInt(-1),
       "UPDATE base.dbo.tblProdutos\r\n SET Qtd = 10\r\n ,PrecoCusto = 1.2345\r\n WHERE IdProduto = 15;\r\n",
       10, 1.2345, 5},
      {4, 12.5, Currency::FromRaw(12500), Currency::FromInt(1234),
       "UPDATE base.dbo.tblProdutos\r\n SET Qtd = -2.5\r\n ,PrecoCusto = 1.2500\r\n ,Preco = 1234.0000\r\n"
       " WHERE IdProduto = 15;\r\n",
       -2.5, 1.25, 1234},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.update.toStdString());
    db_.Run("UPDATE base.dbo.tblProdutos SET Qtd = 10, Preco = 5, PrecoCusto = 3;");
    db_.Sent().clear();
    EXPECT_DOUBLE_EQ(TUtil::Estoque(c.acao, "15", c.qtdNew, c.custo, c.preco, &connection_), c.qtd);
    EXPECT_EQ(db_.Sent(), (std::vector<Sent>{{Kind::Query, kSelectProduto15}, {Kind::Execute, c.update}}));
    EXPECT_DOUBLE_EQ(Produto15("Qtd").toDouble(), c.qtd);
    EXPECT_DOUBLE_EQ(Produto15("PrecoCusto").toDouble(), c.storedCusto);
    EXPECT_DOUBLE_EQ(Produto15("Preco").toDouble(), c.storedPreco);
  }
}

TEST_P(EstoqueTest, OtherActionsOnlyReadAndAnswerTheStock) {
  for (int32_t acao : {0, 5, -1}) {
    db_.Sent().clear();
    EXPECT_DOUBLE_EQ(
        TUtil::Estoque(acao, "15", 2.5, Currency::FromInt(1), Currency::FromInt(1), &connection_), 10);
    EXPECT_EQ(db_.Sent(), (std::vector<Sent>{{Kind::Query, kSelectProduto15}}));
  }
  EXPECT_DOUBLE_EQ(Produto15("Qtd").toDouble(), 10);
}

TEST_P(EstoqueTest, MissingProductReadsZeroAndChangesNothing) {
  EXPECT_DOUBLE_EQ(TUtil::Estoque(1, "99", 2.5, Currency(), Currency(), &connection_), 2.5);
  ASSERT_EQ(db_.Sent().size(), 2u);
  EXPECT_EQ(db_.Sent()[1].sql, "UPDATE base.dbo.tblProdutos SET Qtd = 2.5 WHERE IdProduto = 99;\r\n");
  EXPECT_EQ(db_.Rows("SELECT COUNT(*) FROM base.dbo.tblProdutos;").Rows[0][0].toInt(), 1);
  EXPECT_DOUBLE_EQ(Produto15("Qtd").toDouble(), 10);
}

TEST_F(UtilRemoteTest, EstoqueFailuresBecomeOneMessage) {
  db_.Run(
      "CREATE TRIGGER base.recusa BEFORE UPDATE ON tblProdutos BEGIN SELECT RAISE(ABORT, 'recusado'); END;");
  EXPECT_EQ(Raised([&] { TUtil::Estoque(1, "15", 1, Currency(), Currency(), &connection_); }), kEstoqueError);
  EXPECT_EQ(db_.Sent().size(), 2u);  // the update reached the server and was refused

  db_.Run("ALTER TABLE base.dbo.tblProdutos RENAME TO tblOutros;");
  EXPECT_EQ(Raised([&] { TUtil::Estoque(1, "15", 1, Currency(), Currency(), &connection_); }), kEstoqueError);
  EXPECT_EQ(Raised([&] { TUtil::Estoque(0, "15", 1, Currency(), Currency(), nullptr); }), kEstoqueError);
}

TEST_F(UtilRemoteTest, PermissaoReadsTheNamedFlagOfTheFirstRow) {
  EXPECT_TRUE(TUtil::Permissao("7", "Clientes", "Del", &connection_));
  EXPECT_EQ(db_.Sent(), (std::vector<Sent>{{Kind::Query, PermissaoSelect("7", "Clientes")}}));
  EXPECT_TRUE(TUtil::Permissao("7", "Clientes", "adicionar", &connection_));

  struct Refused {
    const char* user;
    const char* tabela;
    const char* acao;
  };
  const Refused refused[] = {{"7", "Clientes", "Edit"},   // false
                             {"7", "Clientes", "Sch"},    // NULL
                             {"7", "Servicos", "Del"},    // no row for the table
                             {"8", "Clientes", "Del"},    // user without permissions
                             {"-3", "Clientes", "Del"}};  // unknown user
  for (const Refused& r : refused)
    EXPECT_EQ(Raised([&] { TUtil::Permissao(r.user, r.tabela, r.acao, &connection_); }), kNotPermitted)
        << r.user << " " << r.tabela << " " << r.acao;
}

TEST_F(UtilRemoteTest, PermissaoPassesDataSetErrorsUnchanged) {
  EXPECT_EQ(Raised([&] { TUtil::Permissao("7", "Clientes", "Nada", &connection_); }),
            std::make_pair(QStringLiteral("EDatabaseError"), QStringLiteral("Field 'Nada' not found")));
  db_.Run("DROP TABLE base.dbo.tblPermissao;");
  EXPECT_EQ(
      Raised([&] { TUtil::Permissao("7", "Clientes", "Del", &connection_); }),
      std::make_pair(QStringLiteral("EDatabaseError"), QStringLiteral("no such table: base.tblPermissao")));
}

TEST_F(UtilRemoteTest, TabelaCannotLeaveItsLiteral) {
  const QString attacks[] = {"Clientes\")) OR ((1=1", "x\")); DELETE FROM base.dbo.tblPermissao; --",
                             "Clientes\"\""};
  for (const QString& tabela : attacks) {
    db_.Sent().clear();
    EXPECT_EQ(Raised([&] { TUtil::Permissao("7", tabela, "Del", &connection_); }), kNotPermitted)
        << tabela.toStdString();
    ASSERT_EQ(db_.Sent().size(), 1u);
    EXPECT_EQ(db_.Sent()[0].sql, PermissaoSelect("7", QString(tabela).replace("\"", "\"\"")));
  }
  EXPECT_EQ(db_.Rows("SELECT COUNT(*) FROM base.dbo.tblPermissao;").Rows[0][0].toInt(), 1);
}

TEST_F(UtilRemoteTest, KeysMustBeWholeNumbersAndNothingIsSentOtherwise) {
  const QString bad[] = {"",
                         " 15",
                         "15 ",
                         "15 OR 1=1",
                         "15;",
                         "1.5",
                         "abc",
                         "+",
                         "0x0F",
                         "$F",
                         QString::fromUtf8("１５"),
                         "15\n",
                         "15; DELETE FROM base.dbo.tblProdutos"};
  for (const QString& id : bad) {
    SCOPED_TRACE(id.toStdString());
    const auto estoque = Raised([&] { TUtil::Estoque(1, id, 1, Currency(), Currency(), &connection_); });
    EXPECT_EQ(estoque, std::make_pair(QStringLiteral("EConvertError"),
                                      QStringLiteral("Código de produto inválido: '%1'").arg(id)));
    const auto permissao = Raised([&] { TUtil::Permissao(id, "Clientes", "Del", &connection_); });
    EXPECT_EQ(permissao, std::make_pair(QStringLiteral("EConvertError"),
                                        QStringLiteral("Código de usuário inválido: '%1'").arg(id)));
  }
  EXPECT_TRUE(db_.Sent().empty());
  EXPECT_DOUBLE_EQ(Produto15("Qtd").toDouble(), 10);

  EXPECT_DOUBLE_EQ(TUtil::Estoque(0, "+15", 0, Currency(), Currency(), &connection_), 10);
  EXPECT_EQ(db_.Sent().back().sql, QString(kSelectProduto15).replace("LIKE 15", "LIKE +15"));
}

}  // namespace
