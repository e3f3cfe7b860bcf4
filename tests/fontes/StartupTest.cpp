#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <map>

#include "fontes/Startup.h"
#include "fontes/dados/uDM.h"
#include "fontes/views/Login.h"
#include "fontes/views/Splash.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

// What could be seen once a step was done.
struct Moment {
  QString step;
  bool splashVisible = false;
  QString splashName;
  QString title;
  bool dmConnected = false;
  bool loginExists = false;
  bool loginVisible = false;
  bool loginIsMain = false;
};

QList<QWidget*> VisibleWindows() {
  QList<QWidget*> visible;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) visible << w;
  return visible;
}

class StartupTest : public ::testing::Test {
 protected:
  // An executable named "quorvel": its derived title differs from the one set later.
  StartupTest() : exe_(QStringLiteral("quorvel")) {}

  void MakeDemoSetup() {
    const QString database = exe_.FilePath(QStringLiteral("quorvel.db"));
    admin::CreateDatabase(database, QStringLiteral("segredo"), true, false);
    admin::WriteServerConfig(exe_.Folder(), database, QStringLiteral("segredo"), false);
  }

  startup::StepObserver Recorder() {
    return [this](const QString& step) {
      Moment m;
      m.step = step;
      m.splashVisible = fSplash != nullptr && fSplash->isVisible();
      m.splashName = fSplash != nullptr ? fSplash->_lNome->text() : QString();
      m.title = app_.Title();
      m.dmConnected = DM != nullptr && DM->ADO->Connected();
      m.loginExists = fLogin != nullptr;
      m.loginVisible = fLogin != nullptr && fLogin->isVisible();
      m.loginIsMain = fLogin != nullptr && app_.MainForm() == fLogin;
      moments_.push_back(m);
    };
  }

  const Moment& At(const char* step) {
    for (const Moment& m : moments_)
      if (m.step == QLatin1String(step)) return m;
    static const Moment none;
    ADD_FAILURE() << "step never reported: " << step;
    return none;
  }

  // Ends a loop that did not end by itself, so that no test hangs.
  void Watchdog() {
    QTimer::singleShot(5000, &timers_, [this] {
      timedOut_ = true;
      app_.Terminate();
    });
  }

  testsupport::ScopedExeFolder exe_;
  TApplication app_;
  std::vector<Moment> moments_;
  bool timedOut_ = false;
  QObject timers_;  // their pending timers go with the test
};

TEST_F(StartupTest, StepsRunInOrderAndLeaveOnlyTheLoginWindow) {
  MakeDemoSetup();
  startup::Prepare(app_, Recorder());

  QStringList steps;
  for (const Moment& m : moments_) steps << m.step;
  EXPECT_EQ(steps, (QStringList{"Initialize", "CreateSplash", "CreateLabel", "MostrarForm", "Refresh",
                                "Title", "CreateDM", "CreateLogin", "CloseSplash", "ShowLogin"}));

  EXPECT_FALSE(At("CreateSplash").splashVisible);
  EXPECT_TRUE(At("MostrarForm").splashVisible);
  EXPECT_EQ(At("MostrarForm").splashName, QStringLiteral("quorvel")) << "the title before it is set";
  EXPECT_EQ(At("Refresh").title, QStringLiteral("quorvel"));
  EXPECT_EQ(At("Title").title, QStringLiteral("Quorvel"));
  EXPECT_TRUE(At("CreateDM").splashVisible) << "on screen while the database opens";
  EXPECT_TRUE(At("CreateDM").dmConnected);
  EXPECT_FALSE(At("CreateDM").loginExists);
  EXPECT_TRUE(At("CreateLogin").loginIsMain);
  EXPECT_FALSE(At("CreateLogin").loginVisible);
  EXPECT_TRUE(At("CreateLogin").splashVisible);
  EXPECT_FALSE(At("CloseSplash").splashVisible);
  EXPECT_TRUE(At("ShowLogin").loginVisible);

  // The splash is kept, hidden, with its label; its caption stays the early title.
  ASSERT_NE(fSplash, nullptr);
  EXPECT_EQ(fSplash->Owner(), &app_);
  EXPECT_NE(app_.MainForm(), fSplash);
  EXPECT_EQ(fSplash->_lNome->text(), QStringLiteral("quorvel"));
  ASSERT_NE(lLabelApp, nullptr);
  EXPECT_EQ(lLabelApp->parentWidget(), fSplash);
  EXPECT_TRUE(lLabelApp->text().isEmpty());
  EXPECT_FALSE(lLabelApp->isVisibleTo(fSplash));
  EXPECT_EQ(VisibleWindows(), (QList<QWidget*>{fLogin}));
}

TEST_F(StartupTest, RunEndsWhenTheLoginWindowIsCancelled) {
  MakeDemoSetup();
  Watchdog();
  const startup::StepObserver record = Recorder();
  const auto observer = [&](const QString& step) {
    record(step);
    // Pressed from the event loop, once the window is up.
    if (step == QLatin1String("ShowLogin"))
      QTimer::singleShot(0, &timers_, [] { fLogin->_btnCancelar->click(); });
  };
  EXPECT_EQ(startup::Run(app_, observer), 0);
  EXPECT_FALSE(timedOut_);
  EXPECT_EQ(moments_.back().step, QStringLiteral("Run"));
}

TEST_F(StartupTest, MissingDatabaseShowsErroAndEndsWithoutLogin) {
  // No ServerConfig.ini at all.
  uitest::BoxRecorder boxes;
  Watchdog();
  EXPECT_EQ(startup::Run(app_, Recorder()), 0);
  EXPECT_FALSE(timedOut_) << "the loop ended on the pending termination";
  ASSERT_FALSE(boxes.boxes.empty());
  const uitest::ShownBox& last = boxes.boxes.back();
  EXPECT_EQ(last.caption, QStringLiteral("ERRO"));
  EXPECT_TRUE(last.text.startsWith(QStringLiteral("Erro de conexão com o banco\r\n")))
      << last.text.toStdString();
  EXPECT_EQ(last.flags, mb::OK | mb::ICONERROR);
  EXPECT_EQ(moments_.back().step, QStringLiteral("Run"));
  EXPECT_TRUE(app_.Terminated());
}

TEST(SplashTest, ShowsTheTitleDerivedFromTheExecutableWithAFixedRightEdge) {
  const struct {
    const char* exe;
    const char* shown;
  } cases[] = {
      {"QUORVEL.EXE", "Quorvel"},
      {"quorvel.exe", "quorvel"},
      {"Quorvel.beta.exe", "Quorvel"},
      {"Q", "Q"},
      {"OFICINADOBAIRROCOMNOMELONGO", "Oficinadobairrocomnomelongo"},
  };
  for (const auto& c : cases) {
    testsupport::ScopedExeFolder exe(QString::fromLatin1(c.exe));
    TApplication app;
    auto* splash = CreateForm<TfSplash>(&app);
    splash->MostrarForm(nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->_lNome->text(), QString::fromLatin1(c.shown)) << c.exe;
    const QRect label = splash->_lNome->geometry();
    EXPECT_EQ(label.x() + label.width(), TfSplash::kNomeRight) << c.exe;
    EXPECT_EQ(label.y(), TfSplash::kNomeTop) << c.exe;
    EXPECT_GE(label.width(), splash->_lNome->fontMetrics().horizontalAdvance(splash->_lNome->text()))
        << c.exe;
  }
}

TEST(SplashTest, Design) {
  TApplication app;
  auto* splash = CreateForm<TfSplash>(&app);
  EXPECT_EQ(splash->objectName(), QStringLiteral("fSplash"));
  EXPECT_EQ(splash->BorderStyle(), bsNone);
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(splash->Position(), poScreenCenter);
  EXPECT_EQ(splash->size(), QSize(930, 329));
  EXPECT_EQ(splash->Image1->geometry(), QRect(0, 0, 930, 329));
  EXPECT_FALSE(splash->Image1->pixmap().isNull());
  EXPECT_EQ(splash->_lNome->text(), QStringLiteral("{%ApplicationName%}"));
  EXPECT_EQ(splash->_lNome->font().pixelSize(), 40);
  EXPECT_EQ(splash->_lNome->font().family(), QStringLiteral("Calibri"));
  EXPECT_EQ(splash->_lNome->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_FALSE(splash->_lNome->autoFillBackground());
  EXPECT_TRUE(splash->_lNome->alignment() & Qt::AlignRight);
}

TEST(DisplayTest, NeedsADisplayOrAChosenPlatform) {
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  std::map<std::string, std::string> saved;
  for (const char* n : names)
    if (const char* v = std::getenv(n)) saved[n] = v;
  for (const char* n : names) unsetenv(n);
  EXPECT_FALSE(startup::HasDisplay());
  EXPECT_TRUE(startup::NoDisplayMessage().contains(QStringLiteral("DISPLAY")));
  for (const char* n : names) {
    setenv(n, ":99", 1);
    EXPECT_TRUE(startup::HasDisplay()) << n;
    unsetenv(n);
  }
  setenv("DISPLAY", "", 1);
  EXPECT_FALSE(startup::HasDisplay()) << "an empty value names no display";
  unsetenv("DISPLAY");
  for (const auto& [n, v] : saved) setenv(n.c_str(), v.c_str(), 1);
}

}  // namespace
