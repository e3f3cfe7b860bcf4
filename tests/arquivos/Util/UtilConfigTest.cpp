#include <gtest/gtest.h>
#include <iconv.h>

#include <QBuffer>
#include <QDir>
#include <QSet>

#include "arquivos/Util/CipherAlphabets.h"
#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::ScopedExeFolder;
using testsupport::WriteFile;

// The executable's folder and the per-user registry store both point at scratch folders.
class UtilConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hadConfigHome_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    previousConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8());
  }
  void TearDown() override {
    if (hadConfigHome_)
      qputenv("XDG_CONFIG_HOME", previousConfigHome_);
    else
      qunsetenv("XDG_CONFIG_HOME");
  }

  ScopedExeFolder exe_{QStringLiteral("prog.exe")};
  QTemporaryDir configHome_;
  bool hadConfigHome_ = false;
  QByteArray previousConfigHome_;
};

TEST_F(UtilConfigTest, LocationsStartAtTheExecutablesFolder) {
  const QString folder = exe_.Folder();
  EXPECT_EQ(TUtil::CaminhoExe(), folder);
  EXPECT_TRUE(folder.endsWith('/'));
  EXPECT_EQ(TUtil::IniFile(), folder + "Config.ini");
  EXPECT_EQ(TUtil::IniVer(), folder + "tmp/ver.ini");
  EXPECT_EQ(TUtil::IniFileChq(), folder + "chq.ini");
  EXPECT_EQ(TUtil::IniFileOpenCart(), folder + "OpenCart.ini");
  EXPECT_EQ(TUtil::IniFilePDV(), folder + "PDV.ini");
  EXPECT_EQ(TUtil::IniFileServer(), folder + "ServerConfig.ini");
  EXPECT_EQ(TUtil::TxtFileLog(), folder + "prog.log");
  EXPECT_EQ(TUtil::TxtFileBD(), folder + "prog-BD.log");
  ScopedExeFolder noExtension(QStringLiteral("Quorvel"));
  EXPECT_EQ(TUtil::TxtFileLog(), noExtension.Folder() + "Quorvel.log");
  EXPECT_EQ(TUtil::TxtFileBD(), noExtension.Folder() + "Quorvel-BD.log");
}

TEST_F(UtilConfigTest, ReadsGiveTheDefaultForMissingFilesAndKeys) {
  const QString server = TUtil::IniFileServer();
  EXPECT_EQ(TUtil::ReadIni(server, INI_SESSAO_CONEXAO, INI_BD, "d1"), "d1");
  EXPECT_EQ(TUtil::ReadIni(server, INI_SESSAO_CONEXAO, INI_PSWDB, ""), "");
  EXPECT_EQ(TUtil::CaminhoTmp(), "");
  EXPECT_EQ(TUtil::ReadIniVer(TUtil::IniVer(), "Versao", "Atual"), "");
  EXPECT_EQ(TUtil::ReadIniInt(server, "s", "k", 9), 9);
  EXPECT_TRUE(TUtil::ReadIniBoo(server, "s", "k", true));

  WriteFile(TUtil::IniFile(),
            "[Config]\r\nPathTmp=  \"/tmp/quorvel \"  \r\n[N]\r\nhex=0x1F\r\nb=1\r\nz=0\r\nw=sim\r\n");
  EXPECT_EQ(TUtil::CaminhoTmp(), "/tmp/quorvel ");
  EXPECT_EQ(TUtil::ReadIniInt(TUtil::IniFile(), "n", "HEX", 0), 31);
  EXPECT_TRUE(TUtil::ReadIniBoo(TUtil::IniFile(), "N", "b", false));
  EXPECT_FALSE(TUtil::ReadIniBoo(TUtil::IniFile(), "N", "z", true));
  EXPECT_TRUE(TUtil::ReadIniBoo(TUtil::IniFile(), "N", "w", true));
  EXPECT_FALSE(TUtil::ReadIniBoo(TUtil::IniFile(), "N", "w", false));
}

TEST_F(UtilConfigTest, WritesStoreEveryKindAndReadBack) {
  const QString ini = TUtil::IniFileChq();
  TUtil::WriteIni(ini, "S", "Texto", QStringLiteral("Conexão"));
  TUtil::WriteIniInt(ini, "S", "Inteiro", -42);
  TUtil::WriteIniBoo(ini, "S", "Sim", true);
  TUtil::WriteIniBoo(ini, "S", "Nao", false);
  QByteArray bytes("\x00\x10\xFE", 3);
  QBuffer source(&bytes);
  source.open(QIODevice::ReadOnly);
  TUtil::WriteBinaryStream(ini, "S", "Bin", source);
  EXPECT_EQ(ReadFile(ini),
            QByteArray("[S]\r\nTexto=Conex\xC3\xA3o\r\nInteiro=-42\r\nSim=1\r\nNao=0\r\nBin=0010FE\r\n"));

  QByteArray target;
  QBuffer sink(&target);
  sink.open(QIODevice::WriteOnly);
  EXPECT_EQ(TUtil::ReadBinaryStream(ini, "S", "Bin", sink), 3);
  EXPECT_EQ(target, bytes);
  EXPECT_EQ(TUtil::ReadBinaryStream(ini, "S", "Nada", sink), 0);
  EXPECT_EQ(TUtil::ReadIniInt(ini, "S", "Inteiro", 0), -42);
}

TEST_F(UtilConfigTest, VersionFileNeedsItsFolder) {
  const QString ver = TUtil::IniVer();
  try {
    TUtil::WriteIniVer(ver, "Versao", "Atual", "1.0");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + ver);
  }
  EXPECT_FALSE(QFileInfo::exists(exe_.FilePath("tmp")));
  QDir().mkpath(exe_.FilePath("tmp"));
  TUtil::WriteIniVer(ver, "Versao", "Atual", "1.0");
  EXPECT_EQ(TUtil::ReadIniVer(ver, "versao", "atual"), "1.0");
}

TEST_F(UtilConfigTest, MargemVazioStopsAtTheFirstEmptyMargin) {
  const struct {
    const char* name;
    QByteArray content;
    bool expected;
  } cases[] = {
      {"no file", {}, true},
      {"all four", "[Impressora]\nMargemEsqu=1\nMargemDire=a\nMargemSupe=0\nMargemInfe=x\n", false},
      {"top empty", "[Impressora]\nMargemEsqu=1\nMargemDire=1\nMargemSupe=\nMargemInfe=1\n", true},
      {"bottom missing", "[Impressora]\nMargemEsqu=1\nMargemDire=1\nMargemSupe=1\n", true},
      {"other section", "[Outra]\nMargemEsqu=1\nMargemDire=1\nMargemSupe=1\nMargemInfe=1\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(TUtil::IniFilePDV());
    if (!c.content.isNull()) WriteFile(TUtil::IniFilePDV(), c.content);
    EXPECT_EQ(TUtil::MargemVazio(), c.expected);
  }
}

TEST_F(UtilConfigTest, IniFileACBrNeedsAnExistingFileAtTheRegistryPath) {
  const QString expected =
      QStringLiteral("Arquivo acbr_dfe.ini não encontrado! (arquivos\\Util\\Util, line 181)");
  auto assertion = [] {
    try {
      TUtil::IniFileACBr();
    } catch (const EAssertionFailed& e) {
      return e.Message();
    }
    return QStringLiteral("no assertion");
  };
  EXPECT_EQ(assertion(), expected);  // value and key missing
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists(TUtil::PATH_REG));  // created by the call

  ASSERT_TRUE(reg.OpenKey(TUtil::PATH_REG, false));
  reg.WriteString("PathINI", exe_.FilePath("acbr_dfe.ini"));
  EXPECT_EQ(assertion(), expected);  // a path with no file
  reg.WriteString("PathINI", exe_.Folder());
  EXPECT_EQ(assertion(), expected);  // a folder is no file

  WriteFile(exe_.FilePath("acbr_dfe.ini"), "");
  reg.WriteString("PathINI", exe_.FilePath("acbr_dfe.ini"));
  EXPECT_EQ(TUtil::IniFileACBr(), exe_.FilePath("acbr_dfe.ini"));

  reg.WriteInteger("PathINI", 1);
  EXPECT_THROW(TUtil::IniFileACBr(), ERegistryException);
}

TEST_F(UtilConfigTest, SysSystemDirIsAnExistingFolderWithoutTrailingSeparator) {
  const QString dir = TUtil::SysSystemDir();
  EXPECT_FALSE(dir.isEmpty());
  EXPECT_FALSE(dir.endsWith('/'));
  EXPECT_TRUE(QFileInfo(dir).isDir());
}

// --- Cipher ----------------------------------------------------------------------------

// The byte of ch in Windows-1252, or -1 when the code page lacks it.
int Windows1252Byte(QChar ch) {
  iconv_t cd = iconv_open("WINDOWS-1252", "UTF-16LE");
  char16_t in = ch.unicode();
  char out = 0;
  char* inPtr = reinterpret_cast<char*>(&in);
  char* outPtr = &out;
  size_t inLeft = 2;
  size_t outLeft = 1;
  const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  return ok ? static_cast<unsigned char>(out) : -1;
}

TEST(UtilCipherTest, AlphabetsHaveTheRequiredForm) {
  const QString* alphabets[] = {&cipher::Primeiro, &cipher::Segundo, &cipher::Terceiro, &cipher::Quarto};
  const int lengths[] = {38, 38, 36, 36};
  QSet<QChar> all;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(alphabets[i]->size(), lengths[i]);
    for (const QChar c : *alphabets[i]) {
      EXPECT_FALSE(all.contains(c)) << "repeated: " << QString(c).toStdString();
      all.insert(c);
      EXPECT_GE(Windows1252Byte(c), 0) << QString(c).toStdString();
    }
  }
  auto countIf = [](const QString& s, auto predicate) {
    return std::count_if(s.begin(), s.end(), predicate);
  };
  auto upperHalf = [](QChar c) { return Windows1252Byte(c) >= 0x80; };
  auto asciiSign = [](QChar c) { return c.unicode() < 0x80 && (c.isPunct() || c.isSymbol()); };
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_TRUE(cipher::Primeiro.contains(QLatin1Char(c)));
  EXPECT_TRUE(cipher::Primeiro.contains(' '));
  EXPECT_EQ(countIf(cipher::Primeiro, [&](QChar c) { return asciiSign(c); }), 11);
  EXPECT_EQ(countIf(cipher::Segundo, upperHalf), 38);
  for (char c : QByteArray("abcdefghijklmnopqrstuvwxyz0123456789"))
    EXPECT_TRUE(cipher::Terceiro.contains(QLatin1Char(c)));
  EXPECT_EQ(countIf(cipher::Quarto, upperHalf), 34);
  EXPECT_EQ(countIf(cipher::Quarto, [&](QChar c) { return asciiSign(c); }), 2);
}

TEST(UtilCipherTest, ScramblesAndUnscramblesWithTheSameRoutine) {
  const struct {
    QString plain;
    QString scrambled;
  } cases[] = {
      {"", ""},
      {" \t ", ""},
      {"Senha Forte 2024!", QStringLiteral("ËäíçàÛÍîñóäÛýûýÿŠ")},
      {"  ab  ", QStringLiteral("àá")},  // end blanks go
      {QStringLiteral("a\tbж(c)"),
       QStringLiteral("àáâ")},  // tab, Cyrillic and brackets belong to no alphabet
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.plain.toStdString());
    EXPECT_EQ(TUtil::Criptografar(c.plain), c.scrambled);
  }
  const QString roundTrips[] = {"Senha Forte 2024!", "A B  C", QStringLiteral("ÀÉ àé+?"), "x.y,z-_!@#$%&*"};
  for (const QString& text : roundTrips) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(TUtil::Criptografar(TUtil::Criptografar(text)), text);
    EXPECT_EQ(TUtil::Decriptografar(text), TUtil::Criptografar(text));
  }
  EXPECT_EQ(TUtil::Criptografar(TUtil::Criptografar("  padded  ")), "padded");
}

// Passwords already stored must keep unscrambling: the fixture is a ServerConfig.ini
// written on Windows in its 8-bit code page, holding every alphabet character.
TEST_F(UtilConfigTest, Windows1252ServerConfigUnscrambles) {
  WriteFile(
      TUtil::IniFileServer(),
      "[Conexao]\r\n"
      "CaminhoBD=C:\\Dados\\Ordens.mdb\r\n"
      "PswDB=\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8"
      "\xD9\xDA\xDB\xDC\xDD\xDE\xDF\x8A\x8C\x8E\x9F\x86\x87\x95\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA"
      "\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF\x9A\x9C\x9E+?\r\n"
      "Outra=\xCB\xE4\xED\xE7\xE0\xDB\xCD\xEE\xF1\xF3\xE4\xDB\xFD\xFB\xFD\xFF\x8A\r\n");
  const QString server = TUtil::IniFileServer();
  EXPECT_EQ(TUtil::ReadIni(server, INI_SESSAO_CONEXAO, INI_BD, ""), "C:\\Dados\\Ordens.mdb");
  EXPECT_EQ(TUtil::Criptografar(TUtil::ReadIni(server, INI_SESSAO_CONEXAO, INI_PSWDB, "")),
            "QWERTYUIOPASDFGHJKLZXCVBNM .,-_!@#$%&*abcdefghijklmnopqrstuvwxyz0123456789");
  EXPECT_EQ(TUtil::Decriptografar(TUtil::ReadIni(server, "conexao", "outra", "")), "Senha Forte 2024!");
}

TEST(UtilCipherTest, EnDeCriptaIsItsOwnInverseForEveryKey) {
  const uint16_t keys[] = {0, 1, 0x41, 0x7FFF, 0xFFFF};
  const QString texts[] = {"", "abc", QStringLiteral("ação €"),
                           QString(QChar(0)) + QChar(0xFFFF) + QChar(0xD83D)};
  for (const uint16_t key : keys)
    for (const QString& text : texts) {
      SCOPED_TRACE(key);
      const QString coded = TUtil::EnDeCripta(text, key);
      EXPECT_EQ(coded.size(), text.size());
      EXPECT_EQ(TUtil::EnDeCripta(coded, key), text);
    }
  EXPECT_EQ(TUtil::EnDeCripta("A", 0x42), QString(QChar(0)));  // Chave - 1 becomes NUL and stays
  EXPECT_EQ(TUtil::EnDeCripta("a", 0), QString(QChar(0xFF9E)));
}

}  // namespace
