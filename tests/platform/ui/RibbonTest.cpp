#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Ribbon.h"
#include "platform/ui/StatusBar.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

QIcon Swatch(const QColor& color) {
  QPixmap pixmap(TBarLargeButton::kPictureSize, TBarLargeButton::kPictureSize);
  pixmap.fill(color);
  return QIcon(pixmap);
}

// A window shaped like the main one: three tabs, one group each, one toolbar each.
class RibbonWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<QWidget>();
    window->setFont(QFont(QStringLiteral("Tahoma"), 8));
    auto* column = new QVBoxLayout(window.get());
    manager = new TBarManager(window.get());
    ribbon = new TRibbon(window.get());
    ribbon->setObjectName(QStringLiteral("dxRibbon1"));
    column->addWidget(ribbon);
    column->addStretch();
    status = new TStatusBar(window.get());
    status->setObjectName(QStringLiteral("dxStatusBar1"));
    column->addWidget(status);

    struct TabSpec {
      const char* tab;
      const char* caption;
      const char* bar;
      const char* barCaption;
      QStringList buttons;
    };
    const TabSpec specs[] = {
        {"tabCadastros", "Cadastros", "dxBarManager1Bar1", "Cadastros", {"Clientes", "Serviços", "Usuários"}},
        {"tabProcessos", "Processos", "dxBarManager1Bar2", "Processos", {"Lançar OS"}},
        {"tabRelatorios",
         "Relatórios",
         "dxBarManager1Bar3",
         "Relatorios",
         {"Entregas Semana", "Entregas Dia"}},
    };
    int number = 4;
    for (const TabSpec& spec : specs) {
      TRibbonTab* tab = ribbon->AddTab(QString::fromUtf8(spec.tab), QString::fromUtf8(spec.caption));
      TBar* bar = manager->AddBar(QString::fromUtf8(spec.bar), QString::fromUtf8(spec.barCaption));
      for (const QString& caption : spec.buttons)
        bar->AddLargeButton(QStringLiteral("dxBarLargeButton%1").arg(number++), caption,
                            Swatch(Qt::darkCyan));
      tab->AddGroup()->SetToolBar(bar);
    }
    menu = new TApplicationMenu(window.get());
    menu->setObjectName(QStringLiteral("dxBarApplicationMenu1"));
    menu->AddButton(QStringLiteral("dxBarButton2"), QStringLiteral("Sair"));
    ribbon->SetApplicationMenu(menu);
    window->resize(800, 300);
    window->show();
  }

  template <class T>
  T* Find(const char* name) {
    T* found = window->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  std::unique_ptr<QWidget> window;
  TBarManager* manager = nullptr;
  TRibbon* ribbon = nullptr;
  TStatusBar* status = nullptr;
  TApplicationMenu* menu = nullptr;
};

TEST_F(RibbonWindow, PartsAreFoundByNameAndDescribedByIt) {
  for (const char* name :
       {"tabCadastros", "tabProcessos", "tabRelatorios", "dxBarManager1Bar1", "dxBarManager1Bar3",
        "dxBarLargeButton4", "dxBarLargeButton7", "dxBarLargeButton9"}) {
    QWidget* part = Find<QWidget>(name);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->accessibleDescription(), QString::fromUtf8(name));
  }
  EXPECT_EQ(Find<TBarLargeButton>("dxBarLargeButton5")->Caption(), QStringLiteral("Serviços"));
  EXPECT_EQ(Find<TRibbonTab>("tabRelatorios")->Caption(), QStringLiteral("Relatórios"));
  EXPECT_NE(menu->findChild<TBarButton*>(QStringLiteral("dxBarButton2")), nullptr);
  EXPECT_FALSE(ribbon->ApplicationButton()->accessibleName().isEmpty());
}

TEST_F(RibbonWindow, KeepsItsHeightAndNeverTakesTheFocus) {
  EXPECT_EQ(ribbon->height(), TRibbon::kHeight);
  EXPECT_EQ(ribbon->focusPolicy(), Qt::NoFocus);
  for (QWidget* part : ribbon->findChildren<QWidget*>())
    EXPECT_EQ(part->focusPolicy(), Qt::NoFocus) << part->objectName().toStdString();
}

TEST_F(RibbonWindow, ClickingALargeButtonRunsItsHandlerOnce) {
  int clicks = 0;
  auto* clientes = Find<TBarLargeButton>("dxBarLargeButton4");
  clientes->OnClick = [&] { ++clicks; };
  QTest::mouseClick(clientes, Qt::LeftButton, {}, clientes->rect().center());
  EXPECT_EQ(clicks, 1);
}

TEST_F(RibbonWindow, AButtonWithoutHandlerIsEnabledAndInert) {
  uitest::BoxRecorder boxes;
  ribbon->SetActiveTab(Find<TRibbonTab>("tabRelatorios"));
  auto* semana = Find<TBarLargeButton>("dxBarLargeButton8");
  EXPECT_TRUE(semana->isEnabled());
  EXPECT_TRUE(semana->isVisible());
  QTest::mouseClick(semana, Qt::LeftButton, {}, semana->rect().center());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RibbonWindow, ErrorsLeavingAHandlerAreReportedAndTheSilentAbortIsNot) {
  struct Case {
    std::function<void()> handler;
    size_t boxes;
  };
  const Case cases[] = {
      {[] { throw EDatabaseError(QStringLiteral("Falha")); }, 1},
      {[] { rtl::Abort(); }, 0},
  };
  auto* clientes = Find<TBarLargeButton>("dxBarLargeButton4");
  for (const Case& c : cases) {
    uitest::BoxRecorder boxes;
    clientes->OnClick = c.handler;
    clientes->click();
    EXPECT_EQ(boxes.boxes.size(), c.boxes);
  }
}

TEST_F(RibbonWindow, TheApplicationButtonOpensTheMenuWhoseItemRuns) {
  int exits = 0;
  auto* sair = menu->findChild<TBarButton*>(QStringLiteral("dxBarButton2"));
  ASSERT_NE(sair, nullptr);
  sair->OnClick = [&] { ++exits; };
  QTest::mouseClick(ribbon->ApplicationButton(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
  EXPECT_EQ(menu->actions().size(), 1);
  sair->trigger();
  EXPECT_EQ(exits, 1);
  menu->close();
}

TEST_F(RibbonWindow, TheSelectedTabIsSettableAndFollowsAHeaderClick) {
  auto* processos = Find<TRibbonTab>("tabProcessos");
  ribbon->SetActiveTab(processos);
  EXPECT_EQ(ribbon->ActiveTab(), processos);
  EXPECT_TRUE(processos->isVisible());
  EXPECT_FALSE(Find<TRibbonTab>("tabCadastros")->isVisible());

  auto* headers = ribbon->findChild<QTabBar*>();
  ASSERT_NE(headers, nullptr);
  QTest::mouseClick(headers, Qt::LeftButton, {}, headers->tabRect(2).center());
  EXPECT_EQ(ribbon->ActiveTab(), Find<TRibbonTab>("tabRelatorios"));

  TRibbon other;
  TRibbonTab* stranger = other.AddTab(QStringLiteral("tabOutra"), QStringLiteral("Outra"));
  EXPECT_THROW(ribbon->SetActiveTab(stranger), EComponentError);
}

TEST_F(RibbonWindow, GroupCaptionComesFromTheToolbarUnlessSet) {
  TRibbonGroup* group = ribbon->Tab(2)->Groups().at(0);
  EXPECT_EQ(group->Caption(), QStringLiteral("Relatorios"));
  group->SetCaption(QStringLiteral("Relatórios"));
  EXPECT_EQ(group->Caption(), QStringLiteral("Relatórios"));

  // A second toolbar replaces the first, which leaves the screen.
  TRibbonGroup* processos = ribbon->Tab(1)->Groups().at(0);
  TBar* previous = processos->ToolBar();
  ribbon->SetActiveTab(ribbon->Tab(1));
  processos->SetToolBar(manager->AddBar(QStringLiteral("dxBarManager1Bar4"), QStringLiteral("Outros")));
  EXPECT_EQ(processos->Caption(), QStringLiteral("Outros"));
  EXPECT_FALSE(previous->isVisible());
}

TEST_F(RibbonWindow, HintFollowsTheCaptionUntilSetApart) {
  auto* servicos = Find<TBarLargeButton>("dxBarLargeButton5");
  EXPECT_EQ(servicos->Hint(), QStringLiteral("Serviços"));
  servicos->SetCaption(QStringLiteral("Serviços prestados"));
  EXPECT_EQ(servicos->Hint(), QStringLiteral("Serviços prestados"));
  servicos->SetHint(QStringLiteral("Abre os serviços"));
  servicos->SetCaption(QStringLiteral("Serviços"));
  EXPECT_EQ(servicos->Hint(), QStringLiteral("Abre os serviços"));
}

TEST_F(RibbonWindow, ItemsDrawInTheSystemFontWhateverTheWindowUses) {
  const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  EXPECT_EQ(Find<TBarLargeButton>("dxBarLargeButton4")->font().family(), system.family());
  EXPECT_EQ(menu->font().family(), system.family());
}

TEST_F(RibbonWindow, StatusBarIsTwentyPixelsWithNoPanelsOrText) {
  EXPECT_EQ(status->height(), TStatusBar::kHeight);
  EXPECT_TRUE(status->currentMessage().isEmpty());
  EXPECT_TRUE(status->findChildren<QLabel*>().isEmpty());
}

TEST_F(RibbonWindow, AnUnknownColourSchemeIsRefusedAndTheOldOneKept) {
  EXPECT_EQ(ribbon->ColorSchemeName(), QStringLiteral("Blue"));
  EXPECT_THROW(ribbon->SetColorSchemeName(QStringLiteral("Lilac")), EComponentError);
  EXPECT_THROW(status->SetColorSchemeName(QStringLiteral("Lilac")), EComponentError);
  EXPECT_EQ(ribbon->ColorSchemeName(), QStringLiteral("Blue"));
  EXPECT_EQ(status->ColorSchemeName(), QStringLiteral("Blue"));
}

TEST(BarLargeButton, LongCaptionsOfSeveralWordsTakeTwoLines) {
  struct Case {
    QString caption;
    int lines;
  };
  const Case cases[] = {
      {QStringLiteral("Clientes"), 1},
      {QStringLiteral("Entregas Semana"), 2},
      {QStringLiteral("Valor Por Operador"), 2},
      {QStringLiteral("OS"), 1},
  };
  for (const Case& c : cases) {
    TBarLargeButton button;
    button.SetCaption(c.caption);
    const QStringList lines = button.CaptionLines();
    EXPECT_EQ(lines.size(), c.lines) << c.caption.toStdString();
    EXPECT_EQ(lines.join(QLatin1Char(' ')), c.caption);
    EXPECT_GE(button.sizeHint().width(), TBarLargeButton::kPictureSize);
  }
}

TEST(BarManager, RefusesADuplicateNameAndFreesOnlyBarsNeverPlaced) {
  auto manager = std::make_unique<TBarManager>();
  QPointer<TBar> loose = manager->AddBar(QStringLiteral("dxBarManager1Bar1"), QStringLiteral("Cadastros"));
  QPointer<TBar> placed = manager->AddBar(QStringLiteral("dxBarManager1Bar2"), QStringLiteral("Processos"));
  EXPECT_THROW(manager->AddBar(QStringLiteral("dxBarManager1Bar1"), QStringLiteral("Outra")),
               EComponentError);
  EXPECT_EQ(manager->Bar(QStringLiteral("dxBarManager1Bar2")), placed.data());
  EXPECT_EQ(manager->Bar(QStringLiteral("nenhuma")), nullptr);

  TRibbon ribbon;
  ribbon.AddTab(QStringLiteral("tabProcessos"), QStringLiteral("Processos"))->AddGroup()->SetToolBar(placed);
  manager.reset();
  EXPECT_TRUE(loose.isNull());
  EXPECT_FALSE(placed.isNull());
}

}  // namespace
