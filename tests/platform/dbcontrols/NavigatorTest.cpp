#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include "platform/db/Field.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/ControlPictures.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/Localizer.h"
#include "tests/platform/dbcontrols/ControlsFixture.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

using ctltest::ControlsTest;

class NavigatorTest : public ControlsTest {
 protected:
  TDBNavigator* NavigatorOn(TDataSet* dataSet) {
    auto* navigator = new TDBNavigator(nullptr, Host());
    navigator->SetName(QStringLiteral("DBNavigator1"));
    navigator->setGeometry(0, 276, 734, 25);
    navigator->SetDataSource(SourceOf(dataSet));
    return navigator;
  }

  // The enabled buttons, in button order, as one text ("first prior ...").
  static QString Enabled(const TDBNavigator* navigator) {
    QStringList names;
    for (int i = 0; i < kNavigateButtonCount; ++i)
      if (navigator->Button(static_cast<TNavigateBtn>(i))->isEnabled())
        names << TDBNavigator::ButtonName(static_cast<TNavigateBtn>(i)).mid(2).toLower();
    return names.join(QLatin1Char(' '));
  }

  static void Press(TDBNavigator* navigator, TNavigateBtn button) {
    QTest::mouseClick(navigator->Button(button), Qt::LeftButton);
  }
};

TEST_F(NavigatorTest, ButtonsFollowTheDataSetState) {
  TADODataSet* services = Open(QStringLiteral("select id, descricao from Servicos"));
  TDBNavigator* navigator = NavigatorOn(services);
  const struct {
    const char* step;
    std::function<void()> action;
    const char* enabled;
  } steps[] = {
      {"first row", [] {}, "next last insert delete edit refresh"},
      {"middle row", [&] { services->Next(); }, "first prior next last insert delete edit refresh"},
      {"last row", [&] { services->Last(); }, "first prior insert delete edit refresh"},
      {"editing", [&] { services->Edit(); }, "first prior post cancel"},
      {"inserting",
       [&] {
         services->Cancel();
         services->Append();
       },
       "first prior post cancel"},
      {"back to browse", [&] { services->Cancel(); }, "first prior insert delete edit refresh"},
      {"closed", [&] { services->Close(); }, ""},
  };
  for (const auto& step : steps) {
    step.action();
    EXPECT_EQ(Enabled(navigator), QString::fromLatin1(step.enabled)) << step.step;
  }
}

TEST_F(NavigatorTest, EmptyAndReadOnlyDataSetsOfferLess) {
  Exec(QStringLiteral("DELETE FROM Servicos"));
  TDBNavigator* empty = NavigatorOn(Open(QStringLiteral("select id, descricao from Servicos")));
  EXPECT_EQ(Enabled(empty), QStringLiteral("insert edit refresh"));
  TDBNavigator* joined = NavigatorOn(Open(QStringLiteral(
      "SELECT os.id, c.nome FROM Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = os.cliente_id;")));
  EXPECT_EQ(Enabled(joined), QStringLiteral("next last refresh"));
}

TEST_F(NavigatorTest, PressingButtonsMovesAndEdits) {
  TADODataSet* services = Open(QStringLiteral("select id, descricao from Servicos"));
  TDBNavigator* navigator = NavigatorOn(services);
  Press(navigator, nbLast);
  EXPECT_EQ(services->RecNo(), 3);
  Press(navigator, nbPrior);
  EXPECT_EQ(services->RecNo(), 2);
  Press(navigator, nbEdit);
  services->FieldByName(QStringLiteral("descricao"))->SetAsString(QStringLiteral("Lavagem"));
  Press(navigator, nbPost);
  EXPECT_EQ(services->State(), dsBrowse);
  EXPECT_EQ(Scalar(QStringLiteral("select descricao from Servicos where id = 2")), QStringLiteral("Lavagem"));
  Press(navigator, nbInsert);
  EXPECT_EQ(services->State(), dsInsert);
  Press(navigator, nbCancel);
  EXPECT_EQ(services->RecordCount(), 3);
  Press(navigator, nbFirst);
  EXPECT_EQ(services->RecNo(), 1);
}

TEST_F(NavigatorTest, DeleteAsksFirstUnlessToldNot) {
  const struct {
    const char* name;
    bool confirm;
    int answer;
    size_t boxes;
    const char* left;
  } cases[] = {
      {"cancelled", true, id::CANCEL, 1, "3"},
      {"confirmed", true, id::OK, 1, "2"},
      {"no question", false, id::OK, 0, "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Exec(QStringLiteral("INSERT OR IGNORE INTO Servicos (id, descricao) VALUES (1, 'Conserto')"));
    TADODataSet* services = Open(QStringLiteral("select id, descricao from Servicos"));
    TDBNavigator* navigator = NavigatorOn(services);
    navigator->SetConfirmDelete(c.confirm);
    uitest::BoxRecorder boxes(c.answer);
    Press(navigator, nbDelete);
    ASSERT_EQ(boxes.boxes.size(), c.boxes);
    if (c.boxes > 0) {
      EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Delete record?"));
      EXPECT_EQ(boxes.boxes[0].flags, mb::OKCANCEL | mb::ICONQUESTION);
    }
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Servicos")), QString::fromLatin1(c.left));
    delete navigator;
  }
}

TEST_F(NavigatorTest, TheDataSetsOwnQuestionStillComes) {
  TADODataSet* clients = Open(QStringLiteral("SELECT id, nome, telefone FROM Clientes;"));
  clients->BeforeDelete = [](TDataSet&) {
    if (MessageBox(QStringLiteral("Deseja realmente excluir o registro?"), QStringLiteral("CONFIRME"), 292) ==
        id::NO)
      rtl::Abort();
  };
  TDBNavigator* navigator = NavigatorOn(clients);
  std::vector<int> answers = {id::OK, id::NO};
  std::vector<int> flags;
  const MessageBoxHandler previous =
      SetMessageBoxHandler([&](const QString&, const QString&, int shownFlags) {
        flags.push_back(shownFlags);
        const int answer = answers.empty() ? id::OK : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return answer;
      });
  Press(navigator, nbDelete);
  SetMessageBoxHandler(previous);
  EXPECT_EQ(flags, (std::vector<int>{33, 292}));  // nothing more after the No
  EXPECT_EQ(clients->RecordCount(), 3);
  EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Clientes")), QStringLiteral("3"));
}

TEST_F(NavigatorTest, RefreshRereadsAndKeepsTheRow) {
  TADODataSet* services = Open(QStringLiteral("select id, descricao from Servicos"));
  TDBNavigator* navigator = NavigatorOn(services);
  services->Locate(QStringLiteral("id"), 3);
  Exec(
      QStringLiteral("INSERT INTO Servicos (id, descricao) VALUES (0, 'Antes'); "
                     "UPDATE Servicos SET descricao = 'Ajuste fino' WHERE id = 3"));
  Press(navigator, nbRefresh);
  EXPECT_EQ(services->RecordCount(), 4);
  EXPECT_EQ(services->FieldByName(QStringLiteral("id"))->AsInteger(), 3);
  EXPECT_EQ(services->FieldByName(QStringLiteral("descricao"))->AsString(), QStringLiteral("Ajuste fino"));
}

TEST_F(NavigatorTest, TakesNoFocusAndHidesWhatTheWindowHides) {
  TDBNavigator* navigator = NavigatorOn(Open(QStringLiteral("select id, descricao from Servicos")));
  navigator->SetVisibleButtons(
      kAllNavButtons & ~(NavButton(nbInsert) | NavButton(nbDelete) | NavButton(nbEdit) | NavButton(nbPost)));
  ShowHost();
  EXPECT_EQ(navigator->focusPolicy(), Qt::NoFocus);
  QStringList shown;
  for (int i = 0; i < kNavigateButtonCount; ++i) {
    QToolButton* button = navigator->Button(static_cast<TNavigateBtn>(i));
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(button->accessibleDescription(), button->objectName());
    EXPECT_FALSE(button->icon().isNull());
    if (button->isVisible()) shown << button->objectName();
  }
  EXPECT_EQ(shown.join(QLatin1Char(' ')), QStringLiteral("nbFirst nbPrior nbNext nbLast nbCancel nbRefresh"));
  EXPECT_EQ(navigator->findChild<QToolButton*>(QStringLiteral("nbNext")), navigator->Button(nbNext));
}

TEST_F(NavigatorTest, HintsComeFromTheActiveTranslation) {
  TDBNavigator* navigator = NavigatorOn(Open(QStringLiteral("select id, descricao from Servicos")));
  EXPECT_EQ(navigator->Button(nbFirst)->toolTip(), QStringLiteral("First record"));
  const QString file = dir_.filePath(QStringLiteral("Idioma.ini"));
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(QStringLiteral("[1046]\nNavigatorFirst=Primeiro\nNavigatorNext=Próximo\n").toUtf8());
  out.close();
  TLocalizer localizer(nullptr);
  localizer.LoadFromFile(file);
  localizer.SetLanguageIndex(1);
  localizer.SetActive(true);
  EXPECT_EQ(navigator->Button(nbFirst)->toolTip(), QStringLiteral("Primeiro"));
  EXPECT_EQ(navigator->Button(nbNext)->toolTip(), QStringLiteral("Próximo"));
  EXPECT_EQ(navigator->Button(nbNext)->accessibleName(), QStringLiteral("Próximo"));
  EXPECT_EQ(navigator->Button(nbLast)->toolTip(), QStringLiteral("Last record"));
  localizer.SetActive(false);
}

TEST(ControlPictures, TheProgramsPicturesWinOverTheDrawnOnes) {
  QPixmap red(16, 16);
  red.fill(Qt::red);
  std::vector<QString> asked;
  ui::PictureProvider previous = ui::SetPictureProvider([&](const QString& name) {
    asked.push_back(name);
    return name == QLatin1String("nav-first") ? QIcon(red) : QIcon();
  });
  TDBNavigator navigator(nullptr);
  ui::SetPictureProvider(previous);
  EXPECT_EQ(navigator.Button(nbFirst)->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
  // Names it does not know fall back to a drawn glyph: no button is blank.
  const QImage next = navigator.Button(nbNext)->icon().pixmap(16, 16).toImage();
  EXPECT_GT(next.pixelColor(8, 8).alpha(), 0);
  EXPECT_EQ(asked.size(), static_cast<size_t>(kNavigateButtonCount));
  EXPECT_EQ(asked[nbRefresh], QStringLiteral("nav-refresh"));
}

}  // namespace
