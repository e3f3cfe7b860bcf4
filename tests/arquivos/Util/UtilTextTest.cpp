#include <gtest/gtest.h>

#include "arquivos/Util/Util.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/Dialogs.h"

namespace {

template <typename F>
QString ConvertErrorOf(F&& f) {
  try {
    f();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return QStringLiteral("no error");
}

TEST(UtilTextTest, TrocaVirgPPtoSwapsBothSeparatorsAtOnce) {
  const std::pair<QString, QString> cases[] = {
      {"12,5", "12.5"}, {"12.5", "12,5"}, {"1.234,5", "1,234.5"}, {"abc", "abc"}, {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(TUtil::TrocaVirgPPto(in), out) << in.toStdString();
}

TEST(UtilTextTest, TrocaVirgulaPontoGivesBackItsArgumentForEveryMagnitude) {
  const Currency values[] = {
      Currency::FromRaw(123456),  // 12.3456
      Currency::FromRaw(5000),    // 0.5
      Currency(),
      Currency::FromRaw(-5000),
      Currency::FromRaw(9999999),  // 999.9999
      Currency::FromInt(1000),
      Currency::FromRaw(12345678900),  // 1234567.89
      Currency::FromInt(-1000),
      Currency::FromRaw(std::numeric_limits<int64_t>::max()),
      Currency::FromRaw(std::numeric_limits<int64_t>::min()),
  };
  for (const TFormatSettings& fs : {TFormatSettings::PtBR(), TFormatSettings::Invariant()}) {
    rtl::ScopedFormatSettings scoped(fs);
    for (const Currency value : values) {
      SCOPED_TRACE(value.Raw());
      EXPECT_EQ(TUtil::TrocaVirgulaPonto(value), value);
    }
  }
}

TEST(UtilTextTest, FormataTelefoneChoosesTheMaskByLength) {
  const std::pair<QString, QString> cases[] = {
      {"abcdefghij", "(ab) cdef-ghij"},
      {"abcdefghijk", "(ab) c defg-hijk"},
      {"abcdefghijkl", "(ab) c defg-hijkl"},
      {"123", "(12) 3   -    "},
      {"", "(  )     -    "},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(TUtil::FormataTelefone(in), out) << in.toStdString();
}

TEST(UtilTextTest, ComparaHoraAndComparaTexto) {
  rtl::ScopedFormatSettings brazil(TFormatSettings::PtBR());
  EXPECT_TRUE(TUtil::ComparaHora("10:00", "10:00:00"));
  EXPECT_FALSE(TUtil::ComparaHora("10:00", "10:00:01"));
  EXPECT_EQ(ConvertErrorOf([] { TUtil::ComparaHora("10:00", "dez"); }), "'dez' is not a valid time");
  EXPECT_TRUE(TUtil::ComparaTexto("Conexao", "CONEXAO"));
  EXPECT_TRUE(TUtil::ComparaTexto(QStringLiteral("ação"), QStringLiteral("AÇÃO")));
  EXPECT_FALSE(TUtil::ComparaTexto("a", "b"));
}

TEST(UtilTextTest, DigitsAndTruncation) {
  EXPECT_EQ(TUtil::EliminaPonto("1.234.567"), "1234567");
  EXPECT_EQ(TUtil::EliminaPonto(""), "");
  EXPECT_EQ(TUtil::SoNumero("(11) 3-45"), "11345");
  EXPECT_EQ(TUtil::SoNumero(QStringLiteral("x٣9")), "9");  // only the ten ASCII digits

  const std::pair<QString, bool> digits[] = {
      {" 12", true},         {"12 ", false},        {"-", false},         {"", false},
      {"+7", true},          {"$FF", true},         {"0x1f", true},       {"x10", true},
      {"0x", false},         {"$123456789", false}, {"2147483647", true}, {"2147483648", false},
      {"-2147483648", true}, {"1.5", false},        {"a", false},
  };
  for (const auto& [text, expected] : digits) EXPECT_EQ(TUtil::IsDigit(text), expected) << text.toStdString();

  EXPECT_EQ(TUtil::AbreviaTexto("abcde", 10), "abcde");
  EXPECT_EQ(TUtil::AbreviaTexto("abcde", 3), "abc");
  EXPECT_EQ(TUtil::AbreviaTexto("abcde", 0), "");
  EXPECT_EQ(TUtil::AbreviaTexto("abcde", -1), "");
}

TEST(UtilTextTest, CalcularNivelDependenteReadsEveryComponent) {
  const struct {
    const char* origem;
    const char* adiciona;
    QString expected;
  } cases[] = {
      {"1.2.3", "+", "1.2.4."},
      {"1.2.3", "=", "1.2.3.1."},
      {"1.2.3.", "+", "1.2.4."},
      {"1.2.3.", "=", "1.2.3.1."},
      {"7", "+", "8."},
      {"7", "=", "7.1."},
      {"1\r\n2", "+", "1.3."},  // line breaks separate components too
      {"1.-1", "+", "1.1."},    // an entry without value starts at 1
      {"1.2", "x", ""},
      {"1.2", "++", ""},
      {"1.2", "", ""},
      {"1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20.21", "+",
       "1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20.22."},
      {"1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20", "=",
       "1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20.1."},
      {"2147483647", "+", "2147483648."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.origem) + " " + c.adiciona);
    EXPECT_EQ(TUtil::calcularNivelDependente(c.origem, c.adiciona), c.expected);
  }
  // Fed back in, a produced code goes on from where it stopped.
  EXPECT_EQ(TUtil::calcularNivelDependente(TUtil::calcularNivelDependente("1.2", "="), "+"), "1.2.2.");
}

TEST(UtilTextTest, CalcularNivelDependenteRejectsBadCodes) {
  const QString tooLong = "1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17.18.19.20.21";
  const struct {
    QString origem;
    const char* adiciona;
    QString message;
  } cases[] = {
      {"", "+", "Código de nível sem componentes: ''"},
      {"1.a.3", "+", "'a' is not a valid integer value"},
      {"1..3", "=", "'' is not a valid integer value"},
      {" 1.2 ", "+", "'2 ' is not a valid integer value"},
      {tooLong, "=", "Código de nível com mais de 21 níveis: '" + tooLong + "'"},
      {tooLong + ".22", "+", "Código de nível com mais de 21 níveis: '" + tooLong + ".22'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.origem.toStdString());
    EXPECT_EQ(ConvertErrorOf([&] { TUtil::calcularNivelDependente(c.origem, c.adiciona); }), c.message);
  }
}

TEST(UtilTextTest, ConfirmaExclusaoAbortsUnlessConfirmed) {
  QString text, caption;
  int flags = 0;
  int answer = id::YES;
  const MessageBoxHandler previous = SetMessageBoxHandler([&](const QString& t, const QString& c, int f) {
    text = t;
    caption = c;
    flags = f;
    return answer;
  });
  EXPECT_NO_THROW(TUtil::ConfirmaExclusao());
  EXPECT_EQ(text, "Deseja realmente excluir este registro?");
  EXPECT_EQ(caption, "Confirme");
  EXPECT_EQ(flags, 292);
  answer = id::NO;
  EXPECT_THROW(TUtil::ConfirmaExclusao(), EAbort);
  SetMessageBoxHandler(previous);
}

}  // namespace
