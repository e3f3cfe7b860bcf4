#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/AppTitle.h"
#include "platform/ui/Application.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/EventGuard.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// Fails the test instead of hanging it when a loop does not end by itself.
class Watchdog {
 public:
  explicit Watchdog(TApplication& app) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this, &app] {
      fired = true;
      app.Terminate();
    });
    timer_.start(3000);
  }
  bool fired = false;

 private:
  QTimer timer_;
};

struct TitleCase {
  QString executable;
  QString title;
};

class TitleRuleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleRuleTest, DerivedFromTheExecutableName) {
  EXPECT_EQ(ui::TitleFromExecutable(GetParam().executable), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Names, TitleRuleTest,
                         ::testing::Values(TitleCase{"C:/Programas/QUORVEL.EXE", "Quorvel"},
                                           TitleCase{"/opt/quorvel.exe", "quorvel"},
                                           TitleCase{"/opt/Quorvel.beta.exe", "Quorvel"},
                                           TitleCase{"/opt/QUORVEL", "Quorvel"}, TitleCase{"/opt/x.exe", "x"},
                                           TitleCase{"/opt/ÁREA.EXE", "Área"},
                                           TitleCase{"/opt/qUORVEL", "quorvel"}));

class ApplicationTest : public ::testing::Test {
 protected:
  uitest::BoxRecorder boxes;
  TApplication app;
};

TEST_F(ApplicationTest, TitleIsDerivedUntilSet) {
  testsupport::ScopedExeFolder exe(QStringLiteral("Quorvel.beta.exe"));
  EXPECT_EQ(app.Title(), QStringLiteral("Quorvel"));
  app.SetTitle(QStringLiteral("Ordens"));
  EXPECT_EQ(app.Title(), QStringLiteral("Ordens"));
  EXPECT_EQ(ui::ApplicationTitle(), QStringLiteral("Ordens"));
  EXPECT_EQ(::Application, &app);
}

class TDmTeste;
class TfPrimeira;
TDmTeste* dmTeste = nullptr;
TfPrimeira* fPrimeira = nullptr;

class TDmTeste : public TDataModule {
 public:
  explicit TDmTeste(TComponent* owner) : TDataModule(owner) {
    OnCreate = [this] {
      referenceSetBeforeCreate = dmTeste == this;
      throw EDatabaseError(QStringLiteral("Sem conexão"));
    };
  }
  bool referenceSetBeforeCreate = false;
};

class TfPrimeira : public TForm {
 public:
  explicit TfPrimeira(TComponent* owner) : TForm(owner) {
    OnCreate = [this] { referenceSetBeforeCreate = fPrimeira == this; };
  }
  bool referenceSetBeforeCreate = false;
};

TEST_F(ApplicationTest, CreateFormSetsReferenceFirstAndTheFirstWindowBecomesMain) {
  app.CreateForm(dmTeste);
  ASSERT_NE(dmTeste, nullptr);
  EXPECT_TRUE(dmTeste->referenceSetBeforeCreate);
  EXPECT_EQ(app.MainForm(), nullptr) << "a data module is no main window";
  // The error escaping the creation handler was reported, and creation completed.
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Sem conexão."));
  EXPECT_EQ(dmTeste->Owner(), &app);

  app.CreateForm(fPrimeira);
  EXPECT_TRUE(fPrimeira->referenceSetBeforeCreate);
  EXPECT_EQ(app.MainForm(), fPrimeira);
  EXPECT_FALSE(fPrimeira->isVisible());

  TfPrimeira* second = nullptr;
  app.CreateForm(second);
  EXPECT_EQ(app.MainForm(), fPrimeira);
  EXPECT_EQ(app.ComponentCount(), 3);
}

TEST_F(ApplicationTest, FinalizeDestroysEveryOwnedComponent) {
  QPointer<TForm> form = CreateForm<TForm>(&app);
  auto* dm = new TDataModule(&app);
  (void)dm;
  app.Finalize();
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(app.ComponentCount(), 0);
}

TEST_F(ApplicationTest, DestructorDestroysOwnedWindows) {
  QPointer<TForm> form;
  {
    TApplication local;
    form = CreateForm<TForm>(&local);
  }
  EXPECT_TRUE(form.isNull());
}

TEST_F(ApplicationTest, TerminateBeforeRunEndsTheLoopAfterWaitingMessages) {
  bool waitingHandled = false;
  QTimer::singleShot(0, [&] { waitingHandled = true; });
  app.Terminate();
  Watchdog watchdog(app);
  app.Run();
  EXPECT_FALSE(watchdog.fired);
  EXPECT_TRUE(waitingHandled);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(ApplicationTest, TerminateFetchedByANestedLoopStillEndsRun) {
  app.Terminate();
  app.ProcessMessages();
  EXPECT_TRUE(app.Terminated());
  Watchdog watchdog(app);
  app.Run();
  EXPECT_FALSE(watchdog.fired);
}

TEST_F(ApplicationTest, ClosingTheMainFormTerminates) {
  TForm* main = nullptr;
  app.CreateForm(main);
  int closes = 0;
  main->OnClose = [&](TCloseAction&) { ++closes; };
  QTimer::singleShot(0, [&] { main->close(); });
  Watchdog watchdog(app);
  app.Run();
  EXPECT_FALSE(watchdog.fired);
  EXPECT_EQ(closes, 1);
  // The main window lives on until the application ends.
  EXPECT_EQ(app.ComponentCount(), 1);
}

TEST_F(ApplicationTest, RunShowsTheMainForm) {
  TForm* main = nullptr;
  app.CreateForm(main);
  bool visibleInLoop = false;
  QTimer::singleShot(0, [&] {
    visibleInLoop = main->isVisible();
    app.Terminate();
  });
  app.Run();
  EXPECT_TRUE(visibleInLoop);
}

TEST_F(ApplicationTest, ClosingAnotherWindowOnlyHidesIt) {
  TForm* main = nullptr;
  app.CreateForm(main);
  TForm* other = CreateForm<TForm>(&app);
  other->Show();
  other->Close();
  EXPECT_FALSE(other->isVisible());
  app.ProcessMessages();
  EXPECT_FALSE(app.Terminated());
}

TEST_F(ApplicationTest, TerminateEndsModalRunsWithCancel) {
  TForm* form = CreateForm<TForm>(&app);
  QTimer::singleShot(0, [&] { app.Terminate(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(ApplicationTest, GuardedHandlersReportErrorsButNotTheSilentAbort) {
  ui::Guarded([] { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); })();
  ui::Guarded([] { rtl::Abort(); })();
  int seen = 0;
  ui::Guarded([&](int v) { seen = v; })(7);
  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked, &button,
                   ui::Guarded([] { throw EDatabaseError(QStringLiteral("Falha")); }));
  button.click();
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("'x' is not a valid integer value."));
  EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("Falha."));
  EXPECT_EQ(boxes.boxes[0].flags, mb::OK | mb::ICONERROR);
  EXPECT_EQ(seen, 7);
}

}  // namespace
