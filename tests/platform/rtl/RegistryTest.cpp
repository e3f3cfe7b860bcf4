#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "platform/rtl/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

// Points the per-user configuration folder at a scratch folder while it lives.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = qgetenv("XDG_CONFIG_HOME");
    hadPrevious_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
  }
  void TearDown() override {
    if (hadPrevious_)
      qputenv("XDG_CONFIG_HOME", previous_);
    else
      qunsetenv("XDG_CONFIG_HOME");
  }
  QString Store() const { return dir_.path() + "/Quorvel/registry.ini"; }

  QTemporaryDir dir_;
  QByteArray previous_;
  bool hadPrevious_ = false;
};

QString MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return "no error";
}

TEST_F(RegistryTest, StoreLivesInTheUserConfigurationFolder) {
  EXPECT_EQ(TRegistry::StoreFileName(), Store());
  qputenv("XDG_CONFIG_HOME", "relative/ignored");
  EXPECT_EQ(TRegistry::StoreFileName(), QDir::homePath() + "/.config/Quorvel/registry.ini");
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(TRegistry::StoreFileName(), QDir::homePath() + "/.config/Quorvel/registry.ini");
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("Software\\Kelvaro", false));
  EXPECT_FALSE(QFileInfo::exists(Store()));
  EXPECT_TRUE(reg.OpenKey("Software\\Kelvaro", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Kelvaro");
  EXPECT_TRUE(reg.KeyExists("\\SOFTWARE"));
  EXPECT_TRUE(reg.KeyExists("\\software\\kelvaro\\"));
  EXPECT_EQ(ReadFile(Store()), QByteArray("[Software]\r\n[Software\\Kelvaro]\r\n"));
  // Relative to the open key, and case-insensitive.
  EXPECT_TRUE(reg.OpenKey("Sub", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Kelvaro\\Sub");
  TRegistry other;
  EXPECT_TRUE(other.OpenKey("software\\KELVARO", false));
}

TEST_F(RegistryTest, ValuesKeepTheirKind) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Kelvaro", true));
  EXPECT_EQ(reg.ReadString("PathINI"), "");  // missing reads empty
  reg.WriteString("PathINI", QStringLiteral(" /opt/ação/acbr_dfe.ini "));
  reg.WriteInteger("Versao", -2);
  EXPECT_EQ(reg.ReadString("pathini"), QStringLiteral(" /opt/ação/acbr_dfe.ini "));
  EXPECT_EQ(reg.ReadInteger("Versao"), -2);
  EXPECT_TRUE(reg.ValueExists("VERSAO"));
  EXPECT_EQ(MessageOf([&] { reg.ReadString("Versao"); }), "Invalid data type for 'Versao'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("PathINI"); }), "Invalid data type for 'PathINI'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("none"); }), "Failed to get data for 'none'");
}

TEST_F(RegistryTest, HandEditedStoreIsReadWithTheSameRules) {
  WriteFile(Store(), "[Software\\Kelvaro]\nPathINI=dword:00000001\nOutro=sem tipo\nTexto=sz:/a b\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Kelvaro", false));
  EXPECT_EQ(reg.ReadString("Texto"), "/a b");
  EXPECT_EQ(MessageOf([&] { reg.ReadString("PathINI"); }), "Invalid data type for 'PathINI'");
  EXPECT_EQ(MessageOf([&] { reg.ReadString("Outro"); }), "Invalid data type for 'Outro'");
}

TEST_F(RegistryTest, WritingNeedsAnOpenKey) {
  TRegistry reg;
  EXPECT_EQ(reg.ReadString("x"), "");
  EXPECT_EQ(MessageOf([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'");
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_EQ(MessageOf([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'");
}

}  // namespace
