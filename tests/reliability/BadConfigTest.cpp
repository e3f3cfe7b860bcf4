// ServerConfig.ini, PDV.ini and Config.ini with garbage, huge sizes, very long lines, no
// sections or repeated keys: the program reads what the private-profile rules say (the
// value, or the default when the rules find none) and never crashes.
#include <QRandomGenerator>
#include <functional>

#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "fontes/dados/uDM.h"
#include "platform/rtl/IniFile.h"
#include "tests/reliability/ReliabilityFixture.h"

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

QByteArray Garbage(qsizetype size, quint32 seed) {
  QRandomGenerator random(seed);
  QByteArray bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random.bounded(256));
  return bytes;
}

QByteArray Section(const QString& section, const Pairs& pairs) {
  QByteArray text = "[" + section.toUtf8() + "]\r\n";
  for (const auto& [key, value] : pairs) text += key.toUtf8() + "=" + value.toUtf8() + "\r\n";
  return text;
}

// Ten megabytes of other sections.
QByteArray Filler() {
  QByteArray text;
  text.reserve(10 * 1024 * 1024 + 64);
  for (int i = 0; text.size() < 10 * 1024 * 1024; ++i)
    text += "[Outra" + QByteArray::number(i) + "]\r\nchave=valor qualquer " + QByteArray::number(i) + "\r\n";
  return text;
}

struct Content {
  const char* name;
  std::function<QByteArray(const QString& section, const Pairs& pairs)> make;
  bool found;  // the rules find the pairs written
};

const Content kContents[] = {
    {"well formed", [](const QString& s, const Pairs& p) { return Section(s, p); }, true},
    {"binary garbage", [](const QString&, const Pairs&) { return Garbage(64 * 1024, 11); }, false},
    {"binary garbage around the section",
     [](const QString& s, const Pairs& p) {
       return Garbage(32 * 1024, 12) + "\r\n" + Section(s, p) + Garbage(32 * 1024, 13);
     },
     true},
    {"utf-16 with byte-order mark",
     [](const QString& s, const Pairs& p) {
       const QString text = QString::fromUtf8(Section(s, p));
       return QByteArray("\xFF\xFE") +
              QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
     },
     false},
    {"10 MB with the section at the end",
     [](const QString& s, const Pairs& p) { return Filler() + Section(s, p); }, true},
    {"10 MB without the section", [](const QString&, const Pairs&) { return Filler(); }, false},
    {"1 MB line before the section",
     [](const QString& s, const Pairs& p) { return QByteArray(1024 * 1024, 'x') + "\r\n" + Section(s, p); },
     true},
    {"keys without any section",
     [](const QString& s, const Pairs& p) {
       QByteArray text = Section(s, p);
       return text.mid(text.indexOf('\n') + 1);
     },
     false},
    {"keys repeated: the first counts",
     [](const QString& s, const Pairs& p) {
       Pairs later = p;
       for (auto& pair : later) pair.second = QStringLiteral("repetido");
       Pairs both = p;
       both.insert(both.end(), later.begin(), later.end());
       return Section(s, both);
     },
     true},
    {"section repeated: the first counts",
     [](const QString& s, const Pairs& p) {
       return Section(s, {{QStringLiteral("Outra"), QStringLiteral("1")}}) + Section(s, p);
     },
     false},
    {"section and keys in other letter case",
     [](const QString& s, const Pairs& p) {
       Pairs upper;
       for (const auto& [k, v] : p) upper.emplace_back(k.toUpper(), v);
       return Section(s.toLower(), upper);
     },
     true},
    {"NUL bytes and lone CRs before the section",
     [](const QString& s, const Pairs& p) { return QByteArray("\0\0\r\r[\0]\r\n=\r\n", 12) + Section(s, p); },
     true},
};

class BadConfigTest : public reliability::ShopTest {};

TEST_F(BadConfigTest, ServerConfigGivesThePathOrTheConnectionError) {
  for (const Content& c : kContents) {
    SCOPED_TRACE(c.name);
    testsupport::WriteFile(
        TUtil::IniFileServer(),
        c.make(INI_SESSAO_CONEXAO, {{INI_BD, db_}, {INI_PSWDB, TUtil::Criptografar(QString())}}));
    boxes_.boxes.clear();
    Connect();
    EXPECT_EQ(DM->ADO->Connected(), c.found);
    EXPECT_EQ(DM->ADO->ConnectionString(),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Jet OLEDB:Database Password=")
                  .arg(c.found ? db_ : QString()));
    if (!c.found) {
      ASSERT_FALSE(boxes_.boxes.empty());
      EXPECT_TRUE(boxes_.boxes.back().text.startsWith(QStringLiteral("Erro de conexão com o banco\r\n")));
    }
    delete DM;
  }
}

TEST_F(BadConfigTest, PdvAndConfigGiveTheirValuesOrTheDefaults) {
  const Pairs margins = {{INI_PDV_CHAVE_MARGEMESQU, QStringLiteral("10")},
                         {INI_PDV_CHAVE_MARGEMDIRE, QStringLiteral("11")},
                         {INI_PDV_CHAVE_MARGEMSUPE, QStringLiteral("12")},
                         {INI_PDV_CHAVE_MARGEMINFE, QStringLiteral("13")}};
  const QString tmp = exe_.FilePath(QStringLiteral("tmp"));
  for (const Content& c : kContents) {
    SCOPED_TRACE(c.name);
    testsupport::WriteFile(TUtil::IniFilePDV(), c.make(INI_PDV_IMPRESSORA, margins));
    testsupport::WriteFile(TUtil::IniFile(),
                           c.make(QStringLiteral("Config"), {{QStringLiteral("PathTmp"), tmp}}));
    EXPECT_EQ(TUtil::MargemVazio(), !c.found);
    EXPECT_EQ(TUtil::ReadIniInt(TUtil::IniFilePDV(), INI_PDV_IMPRESSORA, INI_PDV_CHAVE_MARGEMINFE, -1),
              c.found ? 13 : -1);
    EXPECT_EQ(TUtil::ReadIniBoo(TUtil::IniFilePDV(), INI_PDV_IMPRESSORA, INI_PDV_CHAVE_MARGEMESQU, false),
              c.found);
    EXPECT_EQ(TUtil::CaminhoTmp(), c.found ? tmp : QString());
  }
}

// A value longer than the reader keeps is cut, whichever file holds it.
TEST_F(BadConfigTest, OverlongValuesAreCutNotFollowed) {
  const QString longPath = QStringLiteral("/") + QString(100000, QLatin1Char('p'));
  testsupport::WriteFile(TUtil::IniFileServer(), Section(INI_SESSAO_CONEXAO, {{INI_BD, longPath}}));
  testsupport::WriteFile(
      TUtil::IniFilePDV(),
      Section(INI_PDV_IMPRESSORA, {{INI_PDV_CHAVE_MARGEMESQU, QString(100000, QLatin1Char('9'))}}));
  testsupport::WriteFile(TUtil::IniFile(),
                         Section(QStringLiteral("Config"), {{QStringLiteral("PathTmp"), longPath}}));

  EXPECT_EQ(TUtil::CaminhoTmp(), longPath.left(TIniFile::MaxValueLength));
  EXPECT_EQ(TUtil::ReadIniInt(TUtil::IniFilePDV(), INI_PDV_IMPRESSORA, INI_PDV_CHAVE_MARGEMESQU, -1), -1);
  Connect();
  EXPECT_FALSE(DM->ADO->Connected());
  EXPECT_TRUE(
      DM->ADO->ConnectionString().contains(longPath.left(TIniFile::MaxValueLength) + QLatin1Char(';')));
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_TRUE(boxes_.boxes.back().text.contains(QStringLiteral("não encontrado")));
}

}  // namespace
