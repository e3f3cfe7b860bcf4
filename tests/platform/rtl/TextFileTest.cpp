#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TextFile.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

class TextFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.path() + "/" + name; }
  QTemporaryDir dir_;
};

int ErrorCodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return 0;
}

TEST_F(TextFileTest, AppendsLinesInUtf8WithCrLf) {
  const QString path = Path("a.txt");
  rtl::AppendLine(path, QStringLiteral("primeira ação"));
  rtl::AppendLines(path, {"", "multi\nline"});
  EXPECT_EQ(ReadFile(path), QByteArray("primeira a\xC3\xA7\xC3\xA3o\r\n\r\nmulti\nline\r\n"));
}

TEST_F(TextFileTest, FailuresCarryErrnoAndCreateNothing) {
  WriteFile(Path("ro.txt"), "keep");
  QFile::setPermissions(Path("ro.txt"), QFileDevice::ReadOwner);
  const struct {
    const char* name;
    QString path;
    int errorCode;
  } cases[] = {
      {"missing folder", Path("missing/a.txt"), ENOENT},
      {"a folder", dir_.path(), EISDIR},
      {"read-only file", Path("ro.txt"), EACCES},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorCodeOf([&] { rtl::AppendLine(c.path, "x"); }), c.errorCode);
    EXPECT_EQ(ErrorCodeOf([&] { rtl::ReplaceFileContent(c.path, "x"); }), c.errorCode);
  }
  EXPECT_FALSE(QFileInfo::exists(Path("missing")));
  EXPECT_EQ(ReadFile(Path("ro.txt")), QByteArray("keep"));
}

TEST_F(TextFileTest, ReplacesContentWithoutLeavingTemporaryFiles) {
  const QString path = Path("r.txt");
  rtl::ReplaceFileContent(path, "one");
  rtl::ReplaceFileContent(path, "two");
  EXPECT_EQ(ReadFile(path), QByteArray("two"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"r.txt"});
}

TEST_F(TextFileTest, LastWriteTimeIsLocalTime) {
  const QString path = Path("t.txt");
  WriteFile(path, "x");
  const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 7, 800));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
  file.close();
  EXPECT_EQ(rtl::FileLastWriteTime(path), when);
  EXPECT_EQ(rtl::FileLastWriteTime(path).timeSpec(), Qt::LocalTime);
  EXPECT_EQ(ErrorCodeOf([&] { rtl::FileLastWriteTime(Path("none")); }), ENOENT);
  EXPECT_EQ(ErrorCodeOf([&] { rtl::FileLastWriteTime(dir_.path()); }), EISDIR);
}

TEST_F(TextFileTest, FoldersAndRenames) {
  EXPECT_TRUE(rtl::DirectoryExists(dir_.path()));
  EXPECT_FALSE(rtl::FileExists(dir_.path()));
  EXPECT_FALSE(rtl::DirectoryExists(""));
  EXPECT_TRUE(rtl::CreateDir(Path("d")));
  EXPECT_FALSE(rtl::CreateDir(Path("d")));    // exists already
  EXPECT_FALSE(rtl::CreateDir(Path("x/y")));  // one level only
  EXPECT_TRUE(rtl::DirectoryExists(Path("d")));

  WriteFile(Path("a"), "a");
  WriteFile(Path("b"), "b");
  EXPECT_FALSE(rtl::RenameFile(Path("a"), Path("b")));  // never replaces
  EXPECT_EQ(ReadFile(Path("b")), QByteArray("b"));
  EXPECT_TRUE(rtl::RenameFile(Path("a"), Path("c")));
  EXPECT_FALSE(rtl::FileExists(Path("a")));
  EXPECT_EQ(ReadFile(Path("c")), QByteArray("a"));
  EXPECT_FALSE(rtl::RenameFile(Path("none"), Path("e")));
}

}  // namespace
