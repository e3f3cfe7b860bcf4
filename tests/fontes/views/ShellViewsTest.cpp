#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QTest>

#include "fontes/dados/uDM.h"
#include "fontes/views/Login.h"
#include "fontes/views/Principal.h"
#include "platform/ui/Application.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

template <class W>
W* Find(QWidget* root, const char* name) {
  W* found = root->findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// The login window as start-up leaves it, on the demonstration database.
class ShellViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString database = exe_.FilePath(QStringLiteral("quorvel.db"));
    admin::CreateDatabase(database, QString(), true, false);
    admin::WriteServerConfig(exe_.Folder(), database, QString(), false);
    app_.SetTitle(QStringLiteral("Quorvel"));
    app_.CreateForm(DM);
    ASSERT_TRUE(DM->ADO->Connected());
    app_.CreateForm(fLogin);
    fLogin->Show();
  }
  void TearDown() override { uitest::ProcessDeferredDeletes(); }

  // Lets the posted quit request arrive, as the event loop would.
  bool TerminationRequested() {
    app_.ProcessMessages();
    return app_.Terminated();
  }

  void LogIn() {
    fLogin->_eLogin->setText(QStringLiteral("admin"));
    fLogin->_ePassword->setText(QStringLiteral("senha"));
    fLogin->_btnOK->click();
    ASSERT_NE(fPrincipal, nullptr);
  }

  testsupport::ScopedExeFolder exe_;
  TApplication app_;
};

TEST_F(ShellViewsTest, LoginDesign) {
  QWidget* w = fLogin;
  EXPECT_EQ(w->objectName(), QStringLiteral("fLogin"));
  EXPECT_EQ(fLogin->Caption(), QStringLiteral("Área restrita"));
  EXPECT_EQ(w->size(), QSize(352, 231));
  EXPECT_EQ(fLogin->Position(), poScreenCenter);
  EXPECT_EQ(fLogin->BorderStyle(), bsSizeable);
  EXPECT_EQ(Find<QWidget>(w, "GroupBox1")->geometry(), QRect(40, 33, 273, 161));
  EXPECT_EQ(Find<QLabel>(w, "Label1")->text(), QStringLiteral("Login"));
  EXPECT_EQ(Find<QLabel>(w, "Label1")->pos(), QPoint(41, 32));
  EXPECT_EQ(Find<QLabel>(w, "Label2")->text(), QStringLiteral("Senha"));
  EXPECT_EQ(Find<QLabel>(w, "Label2")->pos(), QPoint(41, 56));

  auto* login = Find<QLineEdit>(w, "_eLogin");
  EXPECT_EQ(login->geometry(), QRect(96, 29, 121, 21));
  EXPECT_EQ(login->text(), QStringLiteral("admin"));
  EXPECT_EQ(login->placeholderText(), QStringLiteral("Informe o usuário"));
  EXPECT_EQ(login->accessibleName(), QStringLiteral("Login"));
  auto* password = Find<QLineEdit>(w, "_ePassword");
  EXPECT_EQ(password->geometry(), QRect(96, 56, 121, 21));
  EXPECT_EQ(password->text(), QStringLiteral("senha"));
  EXPECT_EQ(password->placeholderText(), QStringLiteral("Informa senha"));
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), '*');
  EXPECT_EQ(password->accessibleName(), QStringLiteral("Senha"));

  auto* cancel = Find<TBitBtn>(w, "_btnCancelar");
  EXPECT_EQ(cancel->geometry(), QRect(41, 99, 75, 25));
  EXPECT_EQ(cancel->Caption(), QStringLiteral("Cancelar"));
  EXPECT_EQ(cancel->ModalResult(), mrCancel);
  EXPECT_FALSE(cancel->Glyph().isNull());
  EXPECT_EQ(fLogin->CancelButton(), cancel);
  auto* ok = Find<TBitBtn>(w, "_btnOK");
  EXPECT_EQ(ok->geometry(), QRect(142, 99, 75, 25));
  EXPECT_EQ(ok->Caption(), QStringLiteral("OK"));
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_FALSE(ok->Glyph().isNull());
  EXPECT_EQ(fLogin->DefaultButton(), ok);

  EXPECT_EQ(login->nextInFocusChain(), password);
  EXPECT_EQ(password->nextInFocusChain(), cancel);
  EXPECT_EQ(cancel->nextInFocusChain(), ok);
  EXPECT_EQ(fLogin->adsQry->Name(), QStringLiteral("adsQry"));
  EXPECT_FALSE(fLogin->adsQry->Active());
  for (QWidget* control : w->findChildren<QWidget*>()) {
    const QString name = control->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
    EXPECT_EQ(control->accessibleDescription(), name);
  }
}

TEST_F(ShellViewsTest, AWrongPairIsRefusedAndTheWindowStays) {
  uitest::BoxRecorder boxes;
  const int components = fLogin->ComponentCount();
  const struct {
    const char* login;
    const char* senha;
  } refused[] = {{"admin", "errada"}, {"ADMIN", "senha"}, {"", ""}};
  for (const auto& c : refused) {
    boxes.boxes.clear();
    fLogin->_eLogin->setText(QString::fromUtf8(c.login));
    fLogin->_ePassword->setText(QString::fromUtf8(c.senha));
    fLogin->_btnOK->click();
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.login;
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Usuário ou senha inválido!"));
    EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("LOGAR"));
    EXPECT_EQ(boxes.boxes[0].flags, 48);
    EXPECT_TRUE(fLogin->isVisible());
    EXPECT_EQ(fLogin->_eLogin->text(), QString::fromUtf8(c.login)) << "texts unchanged";
    EXPECT_EQ(fLogin->_ePassword->text(), QString::fromUtf8(c.senha));
    EXPECT_EQ(fPrincipal, nullptr);
    EXPECT_EQ(fLogin->ComponentCount(), components) << "the attempt's controller is gone";
  }
  EXPECT_FALSE(TerminationRequested());
}

TEST_F(ShellViewsTest, EnterWithTheRightPairOpensTheMainWindowAndHidesTheLogin) {
  uitest::BoxRecorder boxes;
  QTest::keyClick(fLogin->_ePassword, Qt::Key_Return);
  EXPECT_TRUE(boxes.boxes.empty());
  ASSERT_NE(fPrincipal, nullptr);
  EXPECT_TRUE(fPrincipal->isVisible());
  EXPECT_EQ(fPrincipal->WindowState(), wsMaximized);
  EXPECT_EQ(fPrincipal->Caption(), QStringLiteral("Quorvel"));
  EXPECT_EQ(fPrincipal->Owner(), &app_);
  EXPECT_EQ(app_.MainForm(), fLogin) << "the login window stays the main window";
  ASSERT_NE(fLogin, nullptr);
  EXPECT_FALSE(fLogin->isVisible()) << "hidden, not destroyed";
  EXPECT_FALSE(TerminationRequested());
}

TEST_F(ShellViewsTest, EscEndsTheProgram) {
  QTest::keyClick(fLogin->_eLogin, Qt::Key_Escape);
  EXPECT_TRUE(TerminationRequested());
  EXPECT_EQ(fPrincipal, nullptr);
}

TEST_F(ShellViewsTest, ClosingTheLoginWindowEndsTheProgram) {
  fLogin->close();
  EXPECT_TRUE(TerminationRequested());
}

TEST_F(ShellViewsTest, MainWindowRibbon) {
  LogIn();
  QWidget* w = fPrincipal;
  EXPECT_EQ(w->objectName(), QStringLiteral("fPrincipal"));
  auto* ribbon = Find<TRibbon>(w, "dxRibbon1");
  EXPECT_EQ(ribbon->height(), TRibbon::kHeight);
  EXPECT_EQ(ribbon->ColorSchemeName(), QStringLiteral("Blue"));
  EXPECT_EQ(ribbon->focusPolicy(), Qt::NoFocus);
  ASSERT_EQ(ribbon->TabCount(), 3);
  EXPECT_EQ(ribbon->ActiveTab(), fPrincipal->tabCadastros);

  const struct {
    TRibbonTab* tab;
    const char* name;
    const char* caption;
    const char* group;
    const char* bar;
    const char* barCaption;
    QStringList buttons;
  } tabs[] = {
      {fPrincipal->tabCadastros,
       "tabCadastros",
       "Cadastros",
       "Cadastros",
       "dxBarManager1Bar1",
       "Cadastros",
       {"Clientes", "Serviços", "Usuários"}},
      {fPrincipal->tabProcessos,
       "tabProcessos",
       "Processos",
       "Processos",
       "dxBarManager1Bar2",
       "Processos",
       {"Lançar OS"}},
      {fPrincipal->tabRelatorios,
       "tabRelatorios",
       "Relatórios",
       "Relatórios",
       "dxBarManager1Bar3",
       "Relatorios",
       {"Entregas Semana", "Entregas Dia", "Valor Por Operador"}},
  };
  int number = 4;
  for (int i = 0; i < 3; ++i) {
    const auto& t = tabs[i];
    EXPECT_EQ(ribbon->Tab(i), t.tab);
    EXPECT_EQ(t.tab->objectName(), QString::fromUtf8(t.name));
    EXPECT_EQ(t.tab->Caption(), QString::fromUtf8(t.caption));
    ASSERT_EQ(t.tab->Groups().size(), 1);
    EXPECT_EQ(t.tab->Groups()[0]->Caption(), QString::fromUtf8(t.group));
    TBar* bar = t.tab->Groups()[0]->ToolBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->objectName(), QString::fromUtf8(t.bar));
    EXPECT_EQ(bar->Caption(), QString::fromUtf8(t.barCaption));
    ASSERT_EQ(bar->LargeButtons().size(), t.buttons.size());
    for (int b = 0; b < t.buttons.size(); ++b) {
      TBarLargeButton* button = bar->LargeButtons()[b];
      EXPECT_EQ(button->objectName(), QStringLiteral("dxBarLargeButton%1").arg(number++));
      EXPECT_EQ(button->Caption(), t.buttons[b]);
      EXPECT_EQ(button->Hint(), t.buttons[b]);
      EXPECT_FALSE(button->icon().isNull());
      EXPECT_TRUE(button->isEnabled());
    }
  }

  auto* menu = Find<TApplicationMenu>(w, "dxBarApplicationMenu1");
  EXPECT_EQ(ribbon->ApplicationMenu(), menu);
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions()[0], fPrincipal->dxBarButton2);
  EXPECT_EQ(fPrincipal->dxBarButton2->objectName(), QStringLiteral("dxBarButton2"));
  EXPECT_EQ(fPrincipal->dxBarButton2->Caption(), QStringLiteral("Sair"));
  EXPECT_EQ(fPrincipal->dxBarButton2->Hint(), QStringLiteral("Sair"));

  auto* status = Find<TStatusBar>(w, "dxStatusBar1");
  EXPECT_EQ(status->height(), TStatusBar::kHeight);
  EXPECT_TRUE(status->currentMessage().isEmpty());
  EXPECT_EQ(status->geometry().bottom(), w->rect().bottom()) << "along the bottom edge";
}

TEST_F(ShellViewsTest, SairEndsTheProgram) {
  LogIn();
  fPrincipal->dxBarButton2->trigger();
  EXPECT_TRUE(TerminationRequested());
}

TEST_F(ShellViewsTest, ClosingTheMainWindowEndsTheProgramAndOnlyHidesIt) {
  LogIn();
  fPrincipal->close();
  EXPECT_TRUE(TerminationRequested());
  uitest::ProcessDeferredDeletes();
  ASSERT_NE(fPrincipal, nullptr) << "hidden, not freed";
  EXPECT_FALSE(fPrincipal->isVisible());
}

TEST_F(ShellViewsTest, ReportButtonsChangeNothing) {
  LogIn();
  uitest::BoxRecorder boxes;
  const int components = app_.ComponentCount();
  const int owned = fPrincipal->ComponentCount();
  const QList<QWidget*> windows = QApplication::topLevelWidgets();
  fPrincipal->dxRibbon1->SetActiveTab(fPrincipal->tabRelatorios);
  for (TBarLargeButton* button :
       {fPrincipal->dxBarLargeButton8, fPrincipal->dxBarLargeButton9, fPrincipal->dxBarLargeButton10})
    QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(app_.ComponentCount(), components);
  EXPECT_EQ(fPrincipal->ComponentCount(), owned);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows.size());
  EXPECT_TRUE(fPrincipal->isVisible());
  EXPECT_FALSE(TerminationRequested());
}

}  // namespace
