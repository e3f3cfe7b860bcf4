#include <gtest/gtest.h>

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/AppTitle.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/SaveDialog.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

struct BoxCase {
  int flags;
  QStringList buttons;  // in screen order
  QString defaultButton;
  QString pressed;  // empty: Esc
  int answer;
};

class RealMessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(RealMessageBoxTest, ShowsPortugueseButtonsAndAnswersTheClassicCode) {
  const BoxCase c = GetParam();
  QStringList seen;
  QString seenDefault;
  QString seenTitle;
  QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
  uitest::WhenShown<QMessageBox>([&](QMessageBox* box) {
    for (QAbstractButton* b : box->buttons()) seen << b->text();
    seenDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
    seenTitle = box->windowTitle();
    seenIcon = box->icon();
    if (c.pressed.isEmpty()) {
      QTest::keyClick(box, Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* b : box->buttons())
      if (b->text() == c.pressed) b->click();
  });
  EXPECT_EQ(MessageBox(QStringLiteral("Texto"), QStringLiteral("CONFIRME"), c.flags), c.answer);
  seen.sort();
  QStringList expected = c.buttons;
  expected.sort();
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(seenDefault, c.defaultButton);
  EXPECT_EQ(seenTitle, QStringLiteral("CONFIRME"));
  const QMessageBox::Icon icons[] = {QMessageBox::NoIcon, QMessageBox::Critical, QMessageBox::Question,
                                     QMessageBox::Warning, QMessageBox::Information};
  EXPECT_EQ(seenIcon, icons[(c.flags & 0xF0) >> 4]);
}

INSTANTIATE_TEST_SUITE_P(Flags, RealMessageBoxTest,
                         ::testing::Values(BoxCase{16, {"OK"}, "OK", "OK", id::OK},  //
                                           BoxCase{48, {"OK"}, "OK", "", id::OK},
                                           BoxCase{1 | 64, {"OK", "Cancelar"}, "OK", "", id::CANCEL},
                                           BoxCase{36, {"Sim", "Não"}, "Sim", "Sim", id::YES},
                                           BoxCase{36, {"Sim", "Não"}, "Sim", "Não", id::NO},
                                           BoxCase{292, {"Sim", "Não"}, "Não", "Sim", id::YES},
                                           BoxCase{292, {"Sim", "Não"}, "Não", "", id::NO}));

TEST(MessageBoxHandlerTest, SeesEveryCallAndRestoresThePreviousHandler) {
  {
    uitest::BoxRecorder outer(id::YES);
    {
      uitest::BoxRecorder inner(id::NO);
      EXPECT_EQ(MessageBox(QStringLiteral("Deseja?"), QStringLiteral("CONFIRME"), 292), id::NO);
      ASSERT_EQ(inner.boxes.size(), 1u);
      EXPECT_EQ(inner.boxes[0].text, QStringLiteral("Deseja?"));
      EXPECT_EQ(inner.boxes[0].caption, QStringLiteral("CONFIRME"));
      EXPECT_EQ(inner.boxes[0].flags, 292);
    }
    EXPECT_EQ(MessageBox(QStringLiteral("x"), QStringLiteral("y"), 36), id::YES);
    EXPECT_EQ(outer.boxes.size(), 1u);
  }
}

struct ReportCase {
  QString message;
  QString shown;
};

class ShowExceptionTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ShowExceptionTest, AppendsAPeriodAfterCharactersAboveIt) {
  ui::SetApplicationTitle(QStringLiteral("Quorvel"));
  uitest::BoxRecorder boxes;
  ShowException(EDatabaseError(GetParam().message));
  ui::ResetApplicationTitle();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, GetParam().shown);
  EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("Quorvel"));
  EXPECT_EQ(boxes.boxes[0].flags, mb::OK | mb::ICONERROR);
}

INSTANTIATE_TEST_SUITE_P(Texts, ShowExceptionTest,
                         ::testing::Values(ReportCase{"Falhou", "Falhou."}, ReportCase{"Falhou.", "Falhou."},
                                           ReportCase{"Falhou!", "Falhou!"}, ReportCase{"Tem (1)", "Tem (1)"},
                                           ReportCase{"Valor 10", "Valor 10."}, ReportCase{"Fim?", "Fim?."},
                                           ReportCase{"Não", "Não."}, ReportCase{"", ""}));

TEST(ShowExceptionTest, SilentAbortShowsNothing) {
  uitest::BoxRecorder boxes;
  ShowException(EAbort(QStringLiteral("Operation aborted")));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(ShowExceptionTest, AssertionAndForeignErrorsReadTheirText) {
  uitest::BoxRecorder boxes;
  try {
    rtl::AssertFailed(QStringLiteral("Registro não encontrado"), QStringLiteral("trunk\\fontes\\Unit"), 42);
  } catch (const std::exception& e) {
    ShowException(e);
  }
  ShowException(std::runtime_error("plain"));
  ASSERT_EQ(boxes.boxes.size(), 2u);
  // ")" sorts below ".", so the assertion text is shown as it is.
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Registro não encontrado (trunk\\fontes\\Unit, line 42)"));
  EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("plain."));
}

TEST(ShowExceptionTest, CaptionIsTheTitleDerivedFromTheExecutableUntilSet) {
  testsupport::ScopedExeFolder exe(QStringLiteral("QUORVEL.EXE"));
  uitest::BoxRecorder boxes;
  ShowException(Exception(QStringLiteral("x")));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("Quorvel"));
}

struct SaveCase {
  QString typed;
  QString defaultExt;
  QString result;
};

class SaveDialogExtensionTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveDialogExtensionTest, DefaultExtensionCompletesANameWithoutOne) {
  const SaveCase c = GetParam();
  SaveDialogHandler previous = SetSaveDialogHandler([&](const SaveDialogRequest&) { return c.typed; });
  SaveDialogRequest request;
  request.DefaultExt = c.defaultExt;
  EXPECT_EQ(RunSaveDialog(request), c.result);
  SetSaveDialogHandler(previous);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveDialogExtensionTest,
                         ::testing::Values(SaveCase{"/tmp/lista", "pdf", "/tmp/lista.pdf"},
                                           SaveCase{"/tmp/lista", "*.pdf", "/tmp/lista.pdf"},
                                           SaveCase{"/tmp/lista.PDF", "pdf", "/tmp/lista.PDF"},
                                           SaveCase{"/tmp/v1.0/lista", ".pdf", "/tmp/v1.0/lista.pdf"},
                                           SaveCase{"/tmp/lista", "", "/tmp/lista"},
                                           SaveCase{"", "pdf", ""}));

TEST(SaveDialogTest, HandlerReceivesTheRequest) {
  SaveDialogRequest seen;
  SaveDialogHandler previous = SetSaveDialogHandler([&](const SaveDialogRequest& r) {
    seen = r;
    return QString();
  });
  EXPECT_EQ(RunSaveDialog({QStringLiteral("/tmp"), QStringLiteral("Arquivo PDF|*.pdf"), QStringLiteral("pdf"),
                           QStringLiteral("Ordens"), QString()}),
            QString());
  SetSaveDialogHandler(previous);
  EXPECT_EQ(seen.InitialDir, QStringLiteral("/tmp"));
  EXPECT_EQ(seen.Filter, QStringLiteral("Arquivo PDF|*.pdf"));
  EXPECT_EQ(seen.FileName, QStringLiteral("Ordens"));
}

TEST(SaveDialogTest, ComponentKeepsTheProposedNameWhenCancelled) {
  QString answer;
  SaveDialogHandler previous = SetSaveDialogHandler([&](const SaveDialogRequest&) { return answer; });
  TSaveDialog dialog(nullptr);
  dialog.DefaultExt = QStringLiteral("pdf");
  dialog.FileName = QStringLiteral("Ordens");
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, QStringLiteral("Ordens"));
  answer = QStringLiteral("/tmp/lista");
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, QStringLiteral("/tmp/lista.pdf"));
  SetSaveDialogHandler(previous);
}

TEST(SaveDialogTest, RealDialogUsesQtFilterAndDoesNotAskToOverwrite) {
  testsupport::ScopedExeFolder folder;
  testsupport::WriteFile(folder.FilePath(QStringLiteral("existente.pdf")), "x");
  QStringList filters;
  bool confirmsOverwrite = true;
  uitest::WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    filters = dialog->nameFilters();
    confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
    dialog->selectFile(QStringLiteral("existente"));
    static_cast<QDialog*>(dialog)->accept();
  });
  const QString chosen = RunSaveDialog({folder.Folder(), QStringLiteral("Arquivo PDF|*.pdf"),
                                        QStringLiteral("pdf"), QStringLiteral("lista"), QString()});
  EXPECT_EQ(filters, QStringList{QStringLiteral("Arquivo PDF (*.pdf)")});
  EXPECT_FALSE(confirmsOverwrite);
  EXPECT_EQ(chosen, folder.FilePath(QStringLiteral("existente.pdf")));
}

TEST(SaveDialogTest, CancelledRealDialogGivesEmptyText) {
  uitest::WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(RunSaveDialog({QString(), QStringLiteral("Arquivo PDF|*.pdf"), QStringLiteral("pdf"), {}, {}}),
            QString());
}

}  // namespace
