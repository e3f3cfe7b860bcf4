#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFile.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

class IniFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name = QStringLiteral("test.ini")) const { return dir_.path() + "/" + name; }
  TIniFile Ini(const QByteArray& content) const {
    WriteFile(Path(), content);
    return TIniFile(Path());
  }
  QStringList Entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_;
};

struct ReadCase {
  const char* name;
  QByteArray content;
  const char* section;
  const char* key;
  QString expected;  // "<default>" when the default must come back
};

const QString kDefault = QStringLiteral("<default>");

TEST_F(IniFileTest, ReadsValuesWithPrivateProfileRules) {
  const ReadCase cases[] = {
      {"plain", "[Conexao]\r\nCaminhoBD=C:\\db.mdb\r\n", "Conexao", "CaminhoBD", "C:\\db.mdb"},
      {"missing section", "[Outra]\r\nCaminhoBD=x\r\n", "Conexao", "CaminhoBD", kDefault},
      {"missing key", "[Conexao]\r\nPswDB=x\r\n", "Conexao", "CaminhoBD", kDefault},
      {"empty value is not the default", "[Conexao]\r\nPswDB=\r\n", "Conexao", "PswDB", ""},
      {"blanks around", "[s]\r\nk=  \t a b \t \r\n", "s", "k", "a b"},
      {"double quotes", "[s]\r\nk= \" a b \" \r\n", "s", "k", " a b "},
      {"single quotes", "[s]\r\nk='x'\r\n", "s", "k", "x"},
      {"only one pair of quotes", "[s]\r\nk=\"\"x\"\"\r\n", "s", "k", "\"x\""},
      {"unmatched quotes stay", "[s]\r\nk=\"x'\r\n", "s", "k", "\"x'"},
      {"a lone quote stays", "[s]\r\nk=\"\r\n", "s", "k", "\""},
      {"case of names ignored", "[CoNeXaO]\r\ncaminhobd=v\r\n", "conexao", "CAMINHOBD", "v"},
      {"blanks around names", "  [ s ]  \r\n  k  = v\r\n", "s", "k", "v"},
      {"first equals sign splits", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
      {"first duplicate key wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
      {"first duplicate section wins", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k", kDefault},
      {"keys before any section belong to none", "k=1\r\n", "s", "k", kDefault},
      {"LF line ends", "[s]\nk=v\n[t]\nk=w\n", "t", "k", "w"},
      {"no final line break", "[s]\r\nk=v", "s", "k", "v"},
      {"lines without equals ignored", "[s]\r\nk\r\nk=v\r\n", "s", "k", "v"},
      {"section ends at next header", "[s]\r\n[t]\r\nk=v\r\n", "s", "k", kDefault},
      {"UTF-8", "[s]\r\nk=Jo\xC3\xA3o\r\n", "s", "k", QStringLiteral("João")},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\r\n", "s", "k", QStringLiteral("é")},
      {"Windows-1252", "[s]\r\nk=Jo\xE3o \x80\x93\r\n", "s", "k", QStringLiteral("João €“")},
      {"Windows-1252 undefined byte", "[s]\r\nk=a\x81\r\n", "s", "k", QStringLiteral("a") + QChar(0x81)},
      {"garbage", QByteArray("\x00\xFF[\x01\n=\n[[]]\r\r\n\xC3", 15), "s", "k", kDefault},
      {"empty file", "", "s", "k", kDefault},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Ini(c.content).ReadString(c.section, c.key, kDefault), c.expected);
  }
}

TEST_F(IniFileTest, MissingFileOrEmptyNamesGiveTheDefault) {
  EXPECT_EQ(TIniFile(Path("none.ini")).ReadString("s", "k", "d"), "d");
  EXPECT_EQ(TIniFile(dir_.path()).ReadString("s", "k", "d"), "d");  // a folder
  EXPECT_EQ(Ini("[s]\r\nk=v\r\n").ReadString("", "k", "d"), "d");
  EXPECT_EQ(Ini("[s]\r\nk=v\r\n").ReadString("s", "", "d"), "d");
  EXPECT_FALSE(TIniFile(Path("none.ini")).SectionExists("s"));
}

TEST_F(IniFileTest, LongValuesAreCutAt2047Characters) {
  const QByteArray longValue(5000, 'x');
  EXPECT_EQ(Ini("[s]\r\nk=" + longValue + "\r\n").ReadString("s", "k", ""), QString(2047, 'x'));
  // A character outside the basic plane is never split in half.
  const QByteArray emojiAtCut = QByteArray(2046, 'a') + "\xF0\x9F\x98\x80" + "b";
  EXPECT_EQ(Ini("[s]\r\nk=" + emojiAtCut + "\r\n").ReadString("s", "k", ""), QString(2046, 'a'));
}

TEST_F(IniFileTest, FindsAKeyAtTheEndOfATenMegabyteFile) {
  QByteArray content = "[big]\r\n";
  const QByteArray filler = "key=" + QByteArray(1000, 'v') + "\r\n";
  while (content.size() < 10 * 1024 * 1024) content += filler;
  content += QByteArray(200000, 'z') + "\r\n[s]\r\nk=end\r\n";
  TIniFile ini = Ini(content);
  EXPECT_EQ(ini.ReadString("s", "k", ""), "end");
  ini.WriteString("s", "k", "new");
  EXPECT_EQ(ini.ReadString("s", "k", ""), "new");
  EXPECT_EQ(ini.ReadString("big", "key", "").size(), 1000);
}

TEST_F(IniFileTest, ReadsIntegersAndBooleans) {
  struct Case {
    const char* stored;
    int32_t integer;  // with default 7
    bool boolean;     // with default true
  };
  const Case cases[] = {
      {"1", 1, true},     {"0", 0, false},          {"42", 42, true},    {"-5", -5, true},
      {"0x1F", 31, true}, {"$1F", 31, true},        {"abc", 7, true},    {"", 7, true},
      {"1.5", 7, true},   {"99999999999", 7, true}, {"\"0\"", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    TIniFile ini = Ini(QByteArray("[s]\r\nk=") + c.stored + "\r\n");
    EXPECT_EQ(ini.ReadInteger("s", "k", 7), c.integer);
    EXPECT_EQ(ini.ReadBool("s", "k", true), c.boolean);
  }
  TIniFile ini = Ini("[s]\r\nk=x\r\n");
  EXPECT_FALSE(ini.ReadBool("s", "missing", false));
  EXPECT_EQ(ini.ReadInteger("s", "missing", -1), -1);
}

TEST_F(IniFileTest, WritesCreateFileSectionAndKeyInUtf8WithCrLf) {
  TIniFile ini(Path());
  ini.WriteString("Conexao", "CaminhoBD", QStringLiteral("/dados/ação.mdb"));
  ini.WriteInteger("Conexao", "Porta", -12);
  ini.WriteBool("Outra", "Ativo", true);
  EXPECT_EQ(
      ReadFile(Path()),
      QByteArray(
          "[Conexao]\r\nCaminhoBD=/dados/a\xC3\xA7\xC3\xA3o.mdb\r\nPorta=-12\r\n[Outra]\r\nAtivo=1\r\n"));
}

TEST_F(IniFileTest, WriteReplacesTheFirstKeyAndKeepsTheRest) {
  TIniFile ini = Ini("; comment\n[a]\nx=1\n\n[B]\nK=old\nk=second\n\n[c]\ny=2\n");
  ini.WriteString("b", "k", "new");
  ini.WriteString("b", "z", "added");
  EXPECT_EQ(
      ReadFile(Path()),
      QByteArray("; comment\r\n[a]\r\nx=1\r\n\r\n[B]\r\nK=new\r\nk=second\r\nz=added\r\n\r\n[c]\r\ny=2\r\n"));
}

TEST_F(IniFileTest, WrittenValuesReadBackUnchanged) {
  TIniFile ini(Path());
  const QString values[] = {"",
                            " x ",
                            "\"q\"",
                            "'q'",
                            "\"",
                            "a=b",
                            QStringLiteral("João €"),
                            "[not a section]",
                            QString(2047, 'y')};
  for (const QString& value : values) {
    SCOPED_TRACE(value.toStdString());
    ini.WriteString("s", "k", value);
    EXPECT_EQ(ini.ReadString("s", "k", "<default>"), value);
  }
}

TEST_F(IniFileTest, Windows1252FileKeepsItsAccentsWhenUpdated) {
  TIniFile ini = Ini("[s]\r\nnome=Jos\xE9\r\n");
  ini.WriteString("s", "outro", QStringLiteral("ç"));
  EXPECT_EQ(ini.ReadString("s", "nome", ""), QStringLiteral("José"));
  EXPECT_EQ(ReadFile(Path()), QByteArray("[s]\r\nnome=Jos\xC3\xA9\r\noutro=\xC3\xA7\r\n"));
}

TEST_F(IniFileTest, RefusedWritesNameTheFileAndChangeNothing) {
  const QByteArray original = "[s]\r\nk=v\r\n";
  TIniFile readOnly = Ini(original);
  QFile::setPermissions(Path(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  const QString missingFolder = Path("missing/x.ini");
  const QString paths[] = {Path(), missingFolder, dir_.path()};
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    try {
      TIniFile(path).WriteString("s", "k", "changed");
      ADD_FAILURE() << "no error";
    } catch (const EInOutError&) {
      ADD_FAILURE() << "the error must be the ini layer's own";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to %1").arg(path));
    }
  }
  EXPECT_EQ(ReadFile(Path()), original);
  EXPECT_FALSE(QFileInfo::exists(dir_.path() + "/missing"));
  EXPECT_EQ(Entries(), QStringList{"test.ini"});  // no temporary file left behind
}

TEST_F(IniFileTest, RejectsNamesAndValuesThatWouldBreakTheFile) {
  const QByteArray original = "[s]\r\nk=v\r\n";
  TIniFile ini = Ini(original);
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"", "k", "v"},    {"a]b", "k", "v"}, {"a\nb", "k", "v"}, {"s", "", "v"},
      {"s", "a=b", "v"}, {"s", "[k", "v"},  {"s", "k\r", "v"},  {"s", "k", "line\r\n[x]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "|" + c.key + "|" + c.value);
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), Exception);
  }
  EXPECT_EQ(ReadFile(Path()), original);
}

TEST_F(IniFileTest, KeepsPermissionsAndFollowsLinks) {
  TIniFile ini = Ini("[s]\r\n");
  QFile::setPermissions(Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  ASSERT_TRUE(QFile::link(Path(), Path("link.ini")));
  TIniFile(Path("link.ini")).WriteString("s", "k", "v");
  EXPECT_TRUE(QFileInfo(Path("link.ini")).isSymLink());
  EXPECT_EQ(ini.ReadString("s", "k", ""), "v");
  EXPECT_EQ(QFile::permissions(Path()) & 0x7077, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(IniFileTest, NothingIsCachedBetweenCalls) {
  TIniFile ini = Ini("[s]\r\nk=1\r\n");
  EXPECT_EQ(ini.ReadString("s", "k", ""), "1");
  WriteFile(Path(), "[s]\r\nk=2\r\n");
  EXPECT_EQ(ini.ReadString("s", "k", ""), "2");
}

TEST_F(IniFileTest, SectionsAndValuesCanBeTested) {
  TIniFile ini = Ini("[s]\r\nk=\r\n");
  EXPECT_TRUE(ini.SectionExists("S"));
  EXPECT_FALSE(ini.SectionExists("t"));
  EXPECT_TRUE(ini.ValueExists("s", "K"));
  EXPECT_FALSE(ini.ValueExists("s", "x"));
  ini.CreateSection("t");
  ini.CreateSection("T");
  EXPECT_EQ(ReadFile(Path()), QByteArray("[s]\r\nk=\r\n[t]\r\n"));
}

TEST_F(IniFileTest, BinaryStreamsTravelAsUpperCaseHex) {
  TIniFile ini(Path());
  QByteArray source("\x00\x01\xABzz\xFF", 6);
  QBuffer in(&source);
  in.open(QIODevice::ReadOnly);
  in.seek(1);  // only from the current position on
  ini.WriteBinaryStream("s", "b", in);
  EXPECT_EQ(ini.ReadString("s", "b", ""), "01AB7A7AFF");

  QByteArray target("--");
  QBuffer out(&target);
  out.open(QIODevice::ReadWrite);
  out.seek(1);
  EXPECT_EQ(ini.ReadBinaryStream("s", "b", out), 5);
  EXPECT_EQ(target, QByteArray("-\x01\xABzz\xFF", 6));
  EXPECT_EQ(out.pos(), 6);

  EXPECT_EQ(ini.ReadBinaryStream("s", "missing", out), 0);
  const char* bad[] = {"ABC", "GG", "0x12", "12 34"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    ini.WriteString("s", "bad", text);
    EXPECT_THROW(ini.ReadBinaryStream("s", "bad", out), EConvertError);
  }
}

}  // namespace

namespace {

// Random files built from the characters that matter to the format: reading never
// fails, and a write always reads back, whatever the file held before.
TEST_F(IniFileTest, SurvivesRandomContent) {
  const char pieces[] = {'[', ']', '=',  '\r', '\n',   'a',    'k',   's',
                         ' ', '"', '\'', '\0', '\xFF', '\xC3', '\xA9'};
  std::mt19937 random(20240510);
  for (int round = 0; round < 300; ++round) {
    QByteArray content;
    const int size = static_cast<int>(random() % 200);
    for (int i = 0; i < size; ++i) content += pieces[random() % sizeof pieces];
    TIniFile ini = Ini(content);
    ini.ReadString("s", "k", "");
    ini.ReadString("a", "a", "");
    ini.WriteString("s", "k", QStringLiteral("valor é"));
    ASSERT_EQ(ini.ReadString("s", "k", ""), QStringLiteral("valor é")) << content.toHex().toStdString();
  }
}

}  // namespace
