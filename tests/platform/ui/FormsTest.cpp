#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

// A window with an edit box, an OK (default) and a Cancelar (cancel) button.
class TfTeste : public TForm {
 public:
  explicit TfTeste(TComponent* owner) : TForm(owner) {
    SetName(QStringLiteral("fTeste"));
    SetClientSize(300, 120);
    _eTexto = new QLineEdit(this);
    _eTexto->setObjectName(QStringLiteral("_eTexto"));
    _btnOK = new TBitBtn(this);
    _btnOK->SetName(QStringLiteral("_btnOK"));
    _btnOK->SetCaption(QStringLiteral("OK"));
    _btnOK->SetModalResult(mrOk);
    _btnOK->SetBounds(10, 40, 75, 25);
    _btnOK->OnClick = [this] { ++okClicks; };
    _btnCancelar = new TBitBtn(this);
    _btnCancelar->SetName(QStringLiteral("_btnCancelar"));
    _btnCancelar->SetCaption(QStringLiteral("Cancelar"));
    _btnCancelar->SetModalResult(mrCancel);
    _btnCancelar->SetBounds(100, 40, 75, 25);
    _btnCancelar->OnClick = [this] { ++cancelClicks; };
    SetDefaultButton(_btnOK);
    SetCancelButton(_btnCancelar);
  }

  QLineEdit* _eTexto;
  TBitBtn* _btnOK;
  TBitBtn* _btnCancelar;
  int okClicks = 0;
  int cancelClicks = 0;
};

class FormsTest : public ::testing::Test {
 protected:
  uitest::BoxRecorder boxes;
  TApplication app;
};

TEST_F(FormsTest, NameIsMirroredForFindingWidgets) {
  TfTeste* form = CreateForm<TfTeste>(&app);
  EXPECT_EQ(form->objectName(), QStringLiteral("fTeste"));
  EXPECT_EQ(form->findChild<QPushButton*>(QStringLiteral("_btnOK")), form->_btnOK);
  EXPECT_EQ(form->_btnOK->accessibleDescription(), QStringLiteral("_btnOK"));
  EXPECT_EQ(form->FindComponent(QStringLiteral("_BTNOK")), form->_btnOK);
  EXPECT_EQ(form->font().pixelSize(), 11);
  EXPECT_EQ(form->font().family(), QStringLiteral("Tahoma"));
}

TEST_F(FormsTest, ShowModalReturnsCancelWhenClosedByItsCloseBox) {
  TfTeste* form = CreateForm<TfTeste>(&app);
  std::vector<TCloseAction> actions;
  form->OnClose = [&](TCloseAction& action) { actions.push_back(action); };
  bool blocksOthers = false;
  uitest::WhenShown<TfTeste>([&](TfTeste* shown) {
    blocksOthers = QApplication::activeModalWidget() == shown;
    shown->close();
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(blocksOthers);
  EXPECT_EQ(actions, std::vector<TCloseAction>{caHide});
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->IsModal());
  EXPECT_EQ(form->windowModality(), Qt::NonModal);
}

TEST_F(FormsTest, ButtonModalResultEndsTheModalRun) {
  TfTeste* form = CreateForm<TfTeste>(&app);
  uitest::WhenShown<TfTeste>([](TfTeste* shown) { QTest::mouseClick(shown->_btnOK, Qt::LeftButton); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(form->okClicks, 1);
  // A second run starts afresh.
  uitest::WhenShown<TfTeste>([](TfTeste* shown) { shown->SetModalResult(mrYes); });
  EXPECT_EQ(form->ShowModal(), mrYes);
}

TEST_F(FormsTest, ModalRunsNest) {
  TfTeste* outer = CreateForm<TfTeste>(&app);
  TForm* inner = CreateForm<TForm>(outer);
  int innerResult = -1;
  bool innerOnTop = false;
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(0, [&] {
      innerOnTop = QApplication::activeModalWidget() == inner;
      inner->close();
    });
    innerResult = inner->ShowModal();
    EXPECT_TRUE(outer->IsModal());
    outer->SetModalResult(mrNo);
  });
  EXPECT_EQ(outer->ShowModal(), mrNo);
  EXPECT_EQ(innerResult, mrCancel);
  EXPECT_TRUE(innerOnTop);
}

TEST_F(FormsTest, ShowHandlerErrorLeavesShowModal) {
  TfTeste* form = CreateForm<TfTeste>(&app);
  form->OnShow = [] { rtl::AssertFailed(QStringLiteral("DataSet x não definido!"), QStringLiteral("u"), 1); };
  EXPECT_THROW(form->ShowModal(), EAssertionFailed);
  EXPECT_TRUE(boxes.boxes.empty()) << "the caller decides how to report it";
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->IsModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_THROW(form->Show(), EAssertionFailed);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(FormsTest, VisibleWindowCannotRunModally) {
  TForm* form = CreateForm<TForm>(&app);
  form->Show();
  EXPECT_THROW(form->ShowModal(), Exception);
}

TEST_F(FormsTest, CloseActionFreeDestroysTheWindowLater) {
  TForm* owner = CreateForm<TForm>(&app);
  QPointer<TForm> form = CreateForm<TForm>(owner);
  form->OnClose = [](TCloseAction& action) { action = caFree; };
  form->Show();
  form->Close();
  ASSERT_FALSE(form.isNull()) << "destroyed only once the close completes";
  EXPECT_FALSE(form->isVisible());
  uitest::ProcessDeferredDeletes();
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST_F(FormsTest, CloseActionFreeInAModalRunOutlivesShowModal) {
  QPointer<TForm> form = CreateForm<TForm>(&app);
  form->OnClose = [](TCloseAction& action) { action = caFree; };
  uitest::WhenShown<TForm>([](TForm* shown) { shown->close(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  ASSERT_FALSE(form.isNull());
  uitest::ProcessDeferredDeletes();
  EXPECT_TRUE(form.isNull());
}

TEST_F(FormsTest, CloseActionNoneKeepsTheWindow) {
  TForm* form = CreateForm<TForm>(&app);
  int asked = 0;
  form->OnClose = [&](TCloseAction& action) {
    if (++asked == 1) action = caNone;
  };
  form->Show();
  form->Close();
  EXPECT_TRUE(form->isVisible());
  form->Hide();
  // In a modal run, the refusal keeps it running until the next close.
  uitest::WhenShown<TForm>([](TForm* shown) {
    shown->close();
    QTimer::singleShot(0, shown, [shown] { shown->close(); });
  });
  asked = 0;
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

TEST_F(FormsTest, HidingAModalWindowEndsItsRun) {
  TForm* form = CreateForm<TForm>(&app);
  uitest::WhenShown<TForm>([](TForm* shown) { shown->Hide(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(FormsTest, OwnerDestroysOwnedSeparateWindow) {
  auto* owner = CreateForm<TForm>(&app);
  QPointer<TForm> owned = CreateForm<TfTeste>(owner);
  EXPECT_TRUE(owned->isWindow());
  EXPECT_EQ(owned->parentWidget(), nullptr);
  delete owner;
  EXPECT_TRUE(owned.isNull());
  EXPECT_EQ(app.ComponentCount(), 0);
}

TEST_F(FormsTest, EnterAndEscPressDefaultAndCancelButtonsInAModelessWindow) {
  TfTeste* form = CreateForm<TfTeste>(&app);
  form->Show();
  form->_eTexto->setFocus();
  QTest::keyClick(form->_eTexto, Qt::Key_Return);
  QTest::keyClick(form->_eTexto, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(form->okClicks, 2);
  QTest::keyClick(form->_eTexto, Qt::Key_Escape);
  EXPECT_EQ(form->cancelClicks, 1);
  // A focused button takes Enter itself.
  form->_btnCancelar->setFocus();
  QTest::keyClick(form->_btnCancelar, Qt::Key_Return);
  EXPECT_EQ(form->cancelClicks, 2);
  EXPECT_EQ(form->okClicks, 2);
  // Modal results do nothing outside a modal run.
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST_F(FormsTest, ButtonHandlerErrorIsReportedAndAbortIsSilent) {
  TfTeste* form = CreateForm<TfTeste>(&app);
  form->_btnOK->OnClick = [] { throw EDatabaseError(QStringLiteral("Falha ao gravar")); };
  form->_btnCancelar->OnClick = [] { rtl::Abort(); };
  form->Show();
  form->_btnOK->click();
  form->_btnCancelar->click();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Falha ao gravar."));
}

TEST_F(FormsTest, CloseHandlerErrorFromTheCloseBoxIsReportedAndTheWindowStays) {
  TForm* form = CreateForm<TForm>(&app);
  form->OnClose = [](TCloseAction&) { throw EDatabaseError(QStringLiteral("Registro pendente")); };
  form->Show();
  form->close();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Registro pendente."));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(FormsTest, CreateHandlerErrorIsReportedAndCreationCompletes) {
  struct TfFalha : TForm {
    explicit TfFalha(TComponent* owner) : TForm(owner) {
      OnCreate = [] { throw EConvertError(QStringLiteral("Erro na criação")); };
    }
  };
  TfFalha* form = CreateForm<TfFalha>(&app);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Erro na criação."));
  form->Show();
  EXPECT_EQ(boxes.boxes.size(), 1u) << "the creation handler runs once";
}

TEST_F(FormsTest, ShowRunsOnShowBeforeTheWindowAppears) {
  TForm* form = CreateForm<TForm>(&app);
  bool visibleDuringShow = true;
  int shows = 0;
  int hides = 0;
  form->OnShow = [&] {
    ++shows;
    visibleDuringShow = form->isVisible();
  };
  form->OnHide = [&] { ++hides; };
  form->Show();
  form->show();  // already visible: nothing more
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(visibleDuringShow);
  form->Hide();
  EXPECT_EQ(hides, 1);
}

TEST_F(FormsTest, RefreshPaintsBeforeTheLoopRuns) {
  struct TfPinta : TForm {
    using TForm::TForm;
    int paints = 0;
    void paintEvent(QPaintEvent* e) override {
      ++paints;
      TForm::paintEvent(e);
    }
  };
  auto* form = CreateForm<TfPinta>(&app);
  form->Show();
  const int before = form->paints;
  form->Refresh();
  EXPECT_GT(form->paints, before);
}

TEST_F(FormsTest, DesignHelpers) {
  TForm* dialog = CreateForm<TForm>(&app);
  dialog->SetBorderStyle(bsDialog);
  dialog->SetClientSize(352, 231);
  dialog->SetPosition(poScreenCenter);
  dialog->SetColor(ButtonFaceColor());
  dialog->Show();
  EXPECT_EQ(dialog->size(), QSize(352, 231));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "fixed size";
  EXPECT_TRUE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(dialog->palette().color(QPalette::Window), ButtonFaceColor());
  const QPoint center = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((dialog->frameGeometry().center() - center).manhattanLength(), 2);

  TForm* bare = CreateForm<TForm>(&app);
  bare->SetBorderStyle(bsNone);
  EXPECT_TRUE(bare->windowFlags() & Qt::FramelessWindowHint);

  TForm* big = CreateForm<TForm>(&app);
  big->SetClientSize(1024, 768);
  big->SetWindowState(wsMaximized);
  big->Show();
  EXPECT_EQ(big->WindowState(), wsMaximized);
}

}  // namespace
