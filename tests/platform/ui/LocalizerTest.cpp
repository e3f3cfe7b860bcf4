#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Localizer.h"
#include "tests/support/TestSupport.h"

namespace {

class LocalizerTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& bytes) {
    const QString path = folder.FilePath(QStringLiteral("IdiomaBrasil.ini"));
    testsupport::WriteFile(path, bytes);
    return path;
  }
  testsupport::ScopedExeFolder folder;
  TComponent owner;
};

TEST_F(LocalizerTest, ActiveLanguageAnswersTextsWithFallbackForTheRest) {
  const QString path = Write(
      "; translation\n[1046]\nNavigatorFirst = Primeiro registro\nGridGroupByBoxHint=\"  Arraste aqui \"\n"
      "Linhas=um\\ndois\n[1033]\nNavigatorFirst=First\n");
  auto* localizer = new TLocalizer(&owner);
  localizer->LoadFromFile(path);
  EXPECT_EQ(localizer->FileName(), path);
  EXPECT_EQ(localizer->Languages(), (QStringList{QStringLiteral("1046"), QStringLiteral("1033")}));
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, QStringLiteral("First record")),
            QStringLiteral("First record"))
      << "inactive";

  QSignalSpy changed(Localizer::Notifier::Instance(), &Localizer::Notifier::Changed);
  localizer->SetLanguageIndex(1);
  localizer->SetActive(true);
  EXPECT_GE(changed.count(), 1);
  EXPECT_EQ(Localizer::Text(QStringLiteral("navigatorfirst"), {}), QStringLiteral("Primeiro registro"));
  EXPECT_EQ(Localizer::Text(loc::GridGroupByBoxHint, {}), QStringLiteral("  Arraste aqui "));
  EXPECT_EQ(Localizer::Text(QStringLiteral("Linhas"), {}), QStringLiteral("um\ndois"));
  EXPECT_EQ(Localizer::Text(loc::NavigatorLast, QStringLiteral("Last record")),
            QStringLiteral("Last record"));

  localizer->SetLanguageIndex(2);
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, {}), QStringLiteral("First"));
  localizer->SetLanguageIndex(0);
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, QStringLiteral("built-in")), QStringLiteral("built-in"));
  localizer->SetLanguageIndex(9);
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, QStringLiteral("built-in")), QStringLiteral("built-in"));

  localizer->SetLanguageIndex(1);
  delete localizer;
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, QStringLiteral("First record")),
            QStringLiteral("First record"))
      << "a destroyed localizer answers no more";
}

TEST_F(LocalizerTest, ActivatingLoadsTheNamedFile) {
  auto* localizer = new TLocalizer(&owner);
  localizer->SetFileName(Write("[1046]\nNavigatorPost=Gravar\n"));
  localizer->SetLanguageIndex(1);
  localizer->SetActive(true);
  EXPECT_TRUE(localizer->Active());
  EXPECT_EQ(Localizer::Text(loc::NavigatorPost, {}), QStringLiteral("Gravar"));
  localizer->SetActive(false);
  EXPECT_EQ(Localizer::Text(loc::NavigatorPost, QStringLiteral("Post")), QStringLiteral("Post"));
}

TEST_F(LocalizerTest, WindowsCodePageFileIsRead) {
  auto* localizer = new TLocalizer(&owner);
  localizer->LoadFromFile(Write("[1046]\nNavigatorPrior=Anterior \xe0 esquerda\n"));
  localizer->SetLanguageIndex(1);
  localizer->SetActive(true);
  EXPECT_EQ(Localizer::Text(loc::NavigatorPrior, {}), QStringLiteral("Anterior à esquerda"));
}

TEST_F(LocalizerTest, MissingFileRaisesInOutError) {
  TLocalizer localizer(&owner);
  EXPECT_THROW(localizer.LoadFromFile(folder.FilePath(QStringLiteral("nao.ini"))), EInOutError);
  EXPECT_TRUE(localizer.Languages().isEmpty());
}

TEST_F(LocalizerTest, ShippedTranslationIsBrazilianPortuguese) {
  TLocalizer localizer(&owner);
  localizer.LoadFromFile(QStringLiteral(QUORVEL_RESOURCES_DIR "/IdiomaBrasil.ini"));
  localizer.SetLanguageIndex(1);
  localizer.SetActive(true);
  for (const QString& key :
       {loc::GridGroupByBoxHint, loc::GridNoDataInfoText, loc::FilterPopupAll, loc::FilterPopupCustom,
        loc::FilterPopupBlanks, loc::FilterPopupNonBlanks, loc::NavigatorFirst, loc::NavigatorPrior,
        loc::NavigatorNext, loc::NavigatorLast, loc::NavigatorInsert, loc::NavigatorDelete,
        loc::NavigatorEdit, loc::NavigatorPost, loc::NavigatorCancel, loc::NavigatorRefresh})
    EXPECT_FALSE(Localizer::Text(key, {}).isEmpty()) << key.toStdString();
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, {}), QStringLiteral("Primeiro registro"));
  // The navigator's delete question keeps the system's own text.
  EXPECT_EQ(Localizer::Text(loc::DeleteRecordQuestion, QStringLiteral("Delete record?")),
            QStringLiteral("Delete record?"));
}

}  // namespace
