#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "arquivos/Util/MkDirMul.h"
#include "arquivos/Util/Util.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::ScopedExeFolder;
using testsupport::WriteFile;

const QDateTime kToday(QDate(2024, 5, 10), QTime(14, 30, 0));
QDateTime FixedClock() {
  return kToday;
}

void SetModified(const QString& path, const QDateTime& when) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

const QByteArray kSeparator = QByteArray(103, '-') + "\r\n";

// Logs land in Logs/ beside prog.exe in a scratch folder; "today" is 10/05/2024 14:30.
class UtilLogTest : public ::testing::Test {
 protected:
  void SetUp() override { rtl::SetClockSource(&FixedClock); }
  void TearDown() override { rtl::SetClockSource(nullptr); }

  QString Log(const QString& name) const { return exe_.FilePath("Logs/" + name); }
  // Writes an existing log as left on an earlier day.
  void OldLog(const QString& name, const QByteArray& content, const QDateTime& when) const {
    WriteFile(Log(name), content);
    SetModified(Log(name), when);
  }

  ScopedExeFolder exe_{QStringLiteral("prog.exe")};
  rtl::ScopedFormatSettings brazil_{TFormatSettings::PtBR()};
};

TEST_F(UtilLogTest, GravaLogWritesTheBlockForEachAction) {
  const struct {
    int acao;
    QString msg;
    QByteArray block;
  } cases[] = {
      {0, "Início",
       kSeparator +
           "Data/Hora: 10/05/2024 14:30:00\r\nIn\xC3\xAD"
           "cio\r\n" +
           kSeparator},
      {1, "linha", "linha\r\n"},
      {1, "", "\r\n"},
      {1, "a\r\nb", "a\r\nb\r\n"},
      {2, "fim", kSeparator + "fim\r\nFim da execu\xC3\xA7\xC3\xA3o!\r\n" + kSeparator},
      {-1, "", kSeparator + "\r\nFim da execu\xC3\xA7\xC3\xA3o!\r\n" + kSeparator},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.acao);
    QFile::remove(Log("prog.log"));
    TUtil::GravaLog(c.msg, c.acao);
    EXPECT_EQ(ReadFile(Log("prog.log")), c.block);
  }
}

TEST_F(UtilLogTest, SameDayAppendsAndAnEarlierDayRotates) {
  EXPECT_FALSE(QFileInfo::exists(exe_.FilePath("Logs")));
  TUtil::GravaLog("um", 1);
  SetModified(Log("prog.log"), kToday.addSecs(-3600));
  TUtil::GravaLog("dois", 1);
  EXPECT_EQ(ReadFile(Log("prog.log")), QByteArray("um\r\ndois\r\n"));

  SetModified(Log("prog.log"), QDateTime(QDate(2024, 5, 9), QTime(23, 59, 59)));
  TUtil::GravaLog("tres", 1);
  EXPECT_EQ(ReadFile(Log("prog20240510.log")), QByteArray("um\r\ndois\r\n"));  // today's date
  EXPECT_EQ(ReadFile(Log("prog.log")), QByteArray("tres\r\n"));
}

TEST_F(UtilLogTest, ExistingArchiveKeepsTheOldLogInUse) {
  OldLog("prog.log", "velho\r\n", kToday.addDays(-3));
  WriteFile(Log("prog20240510.log"), "arquivo\r\n");
  TUtil::GravaLog("novo", 1);
  EXPECT_EQ(ReadFile(Log("prog20240510.log")), QByteArray("arquivo\r\n"));
  EXPECT_EQ(ReadFile(Log("prog.log")), QByteArray("velho\r\nnovo\r\n"));
}

TEST_F(UtilLogTest, LogStampedBefore1980StillRotates) {
  OldLog("prog.log", "antigo\r\n", QDateTime(QDate(1975, 1, 1), QTime(12, 0)));
  TUtil::GravaLog("novo", 1);
  EXPECT_EQ(ReadFile(Log("prog20240510.log")), QByteArray("antigo\r\n"));
  EXPECT_EQ(ReadFile(Log("prog.log")), QByteArray("novo\r\n"));
}

TEST_F(UtilLogTest, WriteTxtBDRotatesTheDatabaseLogWhereverItWrites) {
  TUtil::WriteTxtBD("", "sql 1");
  EXPECT_EQ(ReadFile(Log("prog-BD.log")), QByteArray("sql 1\r\n"));

  SetModified(Log("prog-BD.log"), kToday.addDays(-1));
  const QString other = exe_.FilePath("outro.txt");
  TUtil::WriteTxtBD(other, "sql 2");
  EXPECT_EQ(ReadFile(other), QByteArray("sql 2\r\n"));
  EXPECT_EQ(ReadFile(Log("prog20240510-BD.log")), QByteArray("sql 1\r\n"));
  EXPECT_FALSE(QFileInfo::exists(Log("prog-BD.log")));
  EXPECT_FALSE(QFileInfo::exists(Log("prog.log")));  // the general log is not touched
}

TEST_F(UtilLogTest, WriteFailuresRaiseIOErrors) {
  auto errorCode = [](const std::function<void()>& action) {
    try {
      action();
    } catch (const EInOutError& e) {
      return e.ErrorCode();
    }
    return 0;
  };
  EXPECT_EQ(errorCode([&] { TUtil::WriteTxt(exe_.FilePath("none/a.txt"), "x"); }), ENOENT);
  EXPECT_EQ(errorCode([&] { TUtil::WriteTxtSys(exe_.FilePath("none/a.txt"), "x"); }), ENOENT);
  EXPECT_FALSE(QFileInfo::exists(exe_.FilePath("none")));

  TUtil::WriteTxt(exe_.FilePath("a.txt"), QStringLiteral("ação"));
  TUtil::WriteTxtSys(exe_.FilePath("a.txt"), "b");
  EXPECT_EQ(ReadFile(exe_.FilePath("a.txt")), QByteArray("a\xC3\xA7\xC3\xA3o\r\nb\r\n"));

  WriteFile(exe_.FilePath("Logs"), "a file where the folder should be");
  EXPECT_EQ(errorCode([] { TUtil::GravaLog("x", 1); }), ENOTDIR);
  EXPECT_EQ(errorCode([] { TUtil::WriteTxtBD("", "x"); }), ENOTDIR);
}

TEST_F(UtilLogTest, GetFileDateHasTwoSecondResolutionFrom1980) {
  const QString path = exe_.FilePath("f.txt");
  WriteFile(path, "x");
  const struct {
    QDateTime written;
    QDateTime read;
  } cases[] = {
      {QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7, 800)), QDateTime(QDate(2021, 3, 4), QTime(5, 6, 6))},
      {QDateTime(QDate(2021, 3, 4), QTime(23, 59, 59)), QDateTime(QDate(2021, 3, 4), QTime(23, 59, 58))},
      {QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0)), QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written.toString().toStdString());
    SetModified(path, c.written);
    EXPECT_DOUBLE_EQ(TUtil::GetFileDate(path), rtl::ToDateTime(c.read));
  }
  auto message = [](const QString& file) {
    try {
      TUtil::GetFileDate(file);
    } catch (const EConvertError& e) {
      return e.Message();
    }
    return QStringLiteral("no error");
  };
  SetModified(path, QDateTime(QDate(1979, 12, 31), QTime(23, 59, 59)));
  EXPECT_EQ(message(path), "Invalid argument to date encode");
  EXPECT_EQ(message(exe_.FilePath("missing.txt")), "Invalid argument to date encode");
}

TEST(MkSubDirTest, CreatesEveryMissingLevel) {
  ScopedExeFolder scratch;
  const QString base = scratch.Folder();
  const struct {
    QString path;
    QString created;
  } cases[] = {
      {base + "a/b/c/", base + "a/b/c"}, {base + "d\\", base + "d"},
      {base + "e\\/", base + "e\\"},  // "\\" is tested before "/"
      {base + "f/\\", base + "f"},       {base + "g" + QChar(0), base + "g"},
      {base + "a", base + "a"},  // exists already
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    EXPECT_TRUE(MkSubDir(c.path));
    EXPECT_TRUE(QFileInfo(c.created).isDir());
  }
  // Only "/" separates levels: the backslash stays part of a name.
  EXPECT_TRUE(MkSubDir(base + "h\\i"));
  EXPECT_TRUE(QFileInfo(base + "h\\i").isDir());

  WriteFile(base + "file", "x");
  EXPECT_FALSE(MkSubDir(base + "file/sub"));
  EXPECT_FALSE(MkSubDir(""));
  EXPECT_FALSE(MkSubDir("\\"));
  EXPECT_FALSE(MkSubDir("/"));  // nothing left once the separator goes
}

}  // namespace
