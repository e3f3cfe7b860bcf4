#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <memory>

#include "fontes/dados/uDM.h"
#include "fontes/views/Ordem.h"
#include "fontes/views/Pesquisar.Ordem.h"
#include "fontes/views/Principal.h"
#include "platform/db/ADODataSet.h"
#include "platform/report/ComponentPrinter.h"
#include "platform/report/ReportLink.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/GridHeader.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridView.h"
#include "platform/ui/SaveDialog.h"
#include "tests/platform/report/PageExpectations.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

const QString kPergunta = QStringLiteral("Deeja realmente excluir o registro?");
const QStringList kTitles = {QStringLiteral("Código"),   QStringLiteral("Cliente"),
                             QStringLiteral("Recebeu"),  QStringLiteral("Dt Entrada"),
                             QStringLiteral("Dt Saída"), QStringLiteral("Vlr Total R$"),
                             QStringLiteral("Status")};

// The demonstration orders, by id: client and the user in user_id ("" for none).
const struct {
  int id;
  const char* cliente;
  const char* recebeu;
} kDemo[] = {
    {1, "Maria Aparecida Souza", "Carla Mendes"},
    {2, "João Carlos Pereira", "Rafael Teixeira"},
    {3, "Ana Beatriz Lima", "Administrador"},
    {4, "Francisco das Chagas Oliveira", "Carla Mendes"},
    {5, "", ""},
    {6, "Antônia Ferreira Santos", "Rafael Teixeira"},
    {7, "Luiz Henrique Costa", "Paulo Sérgio Martins"},
    {8, "Juliana Rodrigues Alves", "Administrador"},
};

// Installs a save-dialog answer for its lifetime and keeps every request.
class SaveScript {
 public:
  explicit SaveScript(std::function<QString()> answer)
      : previous_(SetSaveDialogHandler([this, answer](const SaveDialogRequest& request) {
          requests.push_back(request);
          return answer();
        })) {}
  ~SaveScript() { SetSaveDialogHandler(previous_); }
  SaveScript(const SaveScript&) = delete;
  SaveScript& operator=(const SaveScript&) = delete;

  std::vector<SaveDialogRequest> requests;

 private:
  SaveDialogHandler previous_;
};

class PesquisarOrdemTest : public ::testing::Test {
 protected:
  void SetUp() override { Prepare(true); }
  void TearDown() override { uitest::ProcessDeferredDeletes(); }

  // The database, the configuration and the controls' translation beside the program,
  // then the data module.
  void Prepare(bool withDemo) {
    database_ = exe_.FilePath(QStringLiteral("quorvel.db"));
    admin::CreateDatabase(database_, QString(), withDemo, false);
    admin::WriteServerConfig(exe_.Folder(), database_, QString(), false);
    const QString translation = QFileInfo(QStringLiteral(__FILE__))
                                    .dir()
                                    .filePath(QStringLiteral("../../../resources/IdiomaBrasil.ini"));
    QFile::copy(translation, exe_.FilePath(QStringLiteral("IdiomaBrasil.ini")));
    app_.CreateForm(DM);
    ASSERT_TRUE(DM->ADO->Connected());
  }

  TfPsqOrdemServico* Open() {
    fPsqOrdemServico = CreateForm<TfPsqOrdemServico>(&app_);
    return fPsqOrdemServico;
  }

  // Another connection's statement, as a second program would run it.
  void Exec(const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database_.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
  }
  int Count(const QString& sql) {
    TADODataSet ds;
    ds.SetConnection(DM->ADO);
    ds.SetCommandText(sql);
    ds.Open();
    return ds.Fields(0)->AsInteger();
  }

  static TGridDBTableView* View(TfPsqOrdemServico* f) { return f->cxGrid1DBTableView1; }
  // A column's cells as the grid shows them, top to bottom (group rows as their text).
  static QStringList Shown(TfPsqOrdemServico* f, const char* fieldName) {
    TGridDBTableView* view = View(f);
    const int field = view->ColumnByFieldName(QString::fromUtf8(fieldName))->FieldIndex();
    QStringList texts;
    for (quintptr item : view->ShownItems(true))
      texts << (view->ItemIsGroup(item) ? view->ItemGroupText(item)
                                        : view->DataSet()->DisplayTextAt(view->ItemDataRow(item), field));
    return texts;
  }
  static QStringList Ids(TfPsqOrdemServico* f) { return Shown(f, "id"); }
  static int CurrentId(TfPsqOrdemServico* f) { return f->adsOSid->AsInteger(); }
  // The grid's focused row is the data set's current row.
  static void ExpectGridOnCursor(TfPsqOrdemServico* f) {
    EXPECT_EQ(View(f)->DataController().FocusedRecordIndex(), f->adsOS->CurrentRow());
  }

  // Runs the editor a button opens, acting on it once it is up, then closes it.
  void WithEditor(QPushButton* button, const std::function<void(TfOrdem&)>& act) {
    bool acted = false;
    uitest::WhenShown<TfOrdem>([&](TfOrdem* editor) {
      acted = true;
      act(*editor);
      editor->Close();
    });
    button->click();
    EXPECT_TRUE(acted);
  }

  // The PDF's words in the order they were drawn, blanks simplified: a title wrapped
  // in its narrow column reads as one phrase again.
  static QString PdfText(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
  }

  testsupport::ScopedExeFolder exe_;
  rtl::ScopedFormatSettings settings_{TFormatSettings::PtBR()};
  QString database_;
  TApplication app_;
  uitest::BoxRecorder boxes_{id::YES};
};

TEST_F(PesquisarOrdemTest, WindowGridAndButtonsAreLaidOutAsDesigned) {
  TfPsqOrdemServico* f = Open();
  EXPECT_TRUE(f->isVisible()) << "shown once created";
  EXPECT_EQ(f->objectName(), QStringLiteral("fPsqOrdemServico"));
  EXPECT_EQ(f->Caption(), QStringLiteral("Pesquisar Ordem de Serviço"));
  EXPECT_EQ(f->size(), QSize(894, 464));
  EXPECT_EQ(f->BorderStyle(), bsSizeable);
  EXPECT_EQ(f->Position(), poScreenCenter);
  EXPECT_EQ(f->font(), ui::WindowFont());
  EXPECT_EQ(f->Owner(), &app_);

  EXPECT_EQ(f->adsOS->Name(), QStringLiteral("adsOS"));
  EXPECT_EQ(f->adsOS->Connection(), DM->ADO);
  EXPECT_EQ(f->adsOS->CursorType(), ctStatic);
  EXPECT_EQ(
      f->adsOS->CommandText(),
      QStringLiteral("SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
                     "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = "
                     "os.cliente_id) ON u.id = os.user_id;"));
  EXPECT_EQ(f->dsOS->Name(), QStringLiteral("dsOS"));
  EXPECT_EQ(f->dsOS->DataSet(), f->adsOS);
  const struct {
    TField* field;
    const char* fieldName;
    int width;  // 0: the kind's default
    const char* format;
    TAlignment alignment;
  } fields[] = {
      {f->adsOSid, "id", 9, "", taRightJustify},
      {f->adsOScnome, "c.nome", 30, "", taLeftJustify},
      {f->adsOSunome, "u.nome", 20, "", taLeftJustify},
      {f->adsOSdt_entrada, "dt_entrada", 0, "dd/mm/yyyy", taRightJustify},
      {f->adsOSdt_saida, "dt_saida", 0, "dd/mm/yyyy", taRightJustify},
      {f->adsOSvlr_total, "vlr_total", 0, "#,##0.00", taRightJustify},
      {f->adsOSstatus, "status", 10, "", taLeftJustify},
  };
  ASSERT_EQ(f->adsOS->FieldCount(), 7);
  for (int i = 0; i < 7; ++i) {
    const auto& c = fields[i];
    EXPECT_EQ(f->adsOS->Fields(i), c.field) << c.fieldName;
    EXPECT_EQ(c.field->FieldName(), QString::fromUtf8(c.fieldName));
    EXPECT_EQ(c.field->DisplayLabel(), kTitles[i]);
    if (c.width != 0) {
      EXPECT_EQ(c.field->DisplayWidth(), c.width) << c.fieldName;
    }
    EXPECT_EQ(c.field->DisplayFormat(), QString::fromUtf8(c.format)) << c.fieldName;
    EXPECT_EQ(c.field->Alignment(), c.alignment) << c.fieldName;
  }
  EXPECT_TRUE(f->adsOSid->ReadOnly());
  EXPECT_EQ(f->adsOSid->ProviderFlags(), unsigned(pfInUpdate | pfInWhere | pfInKey));
  EXPECT_EQ(f->adsOScnome->Size(), 255);
  EXPECT_EQ(f->adsOSvlr_total->Precision(), 19);

  TGridDBTableView* view = View(f);
  EXPECT_EQ(f->cxGrid1->objectName(), QStringLiteral("cxGrid1"));
  EXPECT_EQ(view->objectName(), QStringLiteral("cxGrid1DBTableView1"));
  EXPECT_EQ(view->DataController().DataSource(), f->dsOS);
  EXPECT_EQ(view->DataController().KeyFieldNames(), QStringLiteral("id"));
  QStringList titles;
  for (int i = 0; i < view->ColumnCount(); ++i) {
    TGridColumn* column = view->Columns(i);
    titles << view->Model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(column->HeaderAlignmentHorz(), taCenter) << i;
    const int width = column->FieldName() == QStringLiteral("c.nome") ? 246 : TGridColumn::kDefaultWidth;
    EXPECT_EQ(column->Width(), width) << i;
    EXPECT_EQ(view->Header()->sectionSize(i), width) << i;
  }
  EXPECT_EQ(titles, kTitles);
  EXPECT_TRUE(view->NavigatorVisible());
  for (auto b : {ui::gnbInsert, ui::gnbDelete, ui::gnbEdit, ui::gnbPost, ui::gnbSaveBookmark})
    EXPECT_FALSE(view->Navigator()->ButtonVisible(b)) << b;
  for (auto b : {ui::gnbFirst, ui::gnbPrior, ui::gnbNext, ui::gnbLast, ui::gnbRefresh})
    EXPECT_TRUE(view->Navigator()->ButtonVisible(b)) << b;
  const TGridOptionsCustomize& customize = view->OptionsCustomize();
  EXPECT_TRUE(customize.ColumnSorting && customize.ColumnGrouping && customize.ColumnFiltering &&
              customize.ColumnMoving && customize.ColumnHorzSizing);
  EXPECT_TRUE(view->OptionsView().GroupByBox);
  EXPECT_FALSE(view->OptionsView().Footer);
  EXPECT_FALSE(view->OptionsView().GroupFooters);
  const TGridSummary& summary = view->DataController().Summary();
  for (const TGridSummaryItems* items : {&summary.FooterSummaryItems, &summary.DefaultGroupSummaryItems}) {
    ASSERT_EQ(items->Count(), 1);
    EXPECT_EQ(items->Items(0).FieldName, QStringLiteral("vlr_total"));
    EXPECT_EQ(items->Items(0).Kind, skSum);
    EXPECT_EQ(items->Items(0).Format, QStringLiteral("0.00"));
    EXPECT_EQ(items->Items(0).Position, spFooter);
  }

  EXPECT_EQ(f->_pBottom->geometry(), QRect(0, 464 - 56, 894, 56));
  EXPECT_EQ(f->_pBottom->frameShape(), QFrame::NoFrame);
  EXPECT_EQ(f->cxGrid1->geometry(), QRect(0, 0, 894, 464 - 56));
  const struct {
    TBitBtn* button;
    const char* name;
    const char* caption;
    int left;
  } buttons[] = {
      {f->_btnIncluir, "_btnIncluir", "Incluir", 23},  {f->_btnAlterar, "_btnAlterar", "Alterar", 104},
      {f->_btnExcluir, "_btnExcluir", "Excluir", 184}, {f->_btnImprimi, "_btnImprimi", "Imprimir", 265},
      {f->_btnExpPDF, "_btnExpPDF", "&PDF", 346},
  };
  QWidget* previous = f->cxGrid1->focusProxy() != nullptr ? f->cxGrid1->focusProxy() : f->cxGrid1;
  while (previous->focusProxy() != nullptr) previous = previous->focusProxy();
  for (const auto& b : buttons) {
    EXPECT_EQ(b.button->objectName(), QString::fromLatin1(b.name));
    EXPECT_EQ(b.button->accessibleDescription(), QString::fromLatin1(b.name));
    EXPECT_EQ(b.button->parentWidget(), f->_pBottom);
    EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption));
    EXPECT_EQ(b.button->geometry(), QRect(b.left, 16, 75, 25)) << b.name;
    EXPECT_FALSE(b.button->icon().isNull()) << b.name;
    EXPECT_EQ(b.button->iconSize(), QSize(16, 16));
    // Keyboard order: the grid, then the buttons from left to right.
    QWidget* next = previous->nextInFocusChain();
    while (next != b.button &&
           (next->focusPolicy() == Qt::NoFocus || !next->isVisible() || f->cxGrid1->isAncestorOf(next)))
      next = next->nextInFocusChain();
    EXPECT_EQ(next, b.button) << b.name << " after " << previous->objectName().toStdString() << ", not "
                              << next->metaObject()->className() << " " << next->objectName().toStdString();
    previous = b.button;
  }

  TGridReportLink* link = f->dxComponentPrinter1Link1;
  EXPECT_EQ(f->dxComponentPrinter1->CurrentLink(), link);
  EXPECT_EQ(link->Component(), f->cxGrid1);
  EXPECT_EQ(link->Caption(), f->Caption());
  const TPrinterPage& page = link->PrinterPage();
  reporttest::ExpectA4WithTheWindowsMargins(page);
  EXPECT_EQ(f->SaveDialog1->Filter, QStringLiteral("Arquivo PDF|*.pdf"));
  EXPECT_EQ(f->SaveDialog1->FileName, QStringLiteral("RelatorioOrdens"));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PesquisarOrdemTest, EveryOrderIsListedByNumberTheOneWithoutClientWithEmptyNames) {
  TfPsqOrdemServico* f = Open();
  QStringList ids, clientes, recebeu;
  for (const auto& o : kDemo) {
    ids << QString::number(o.id);
    clientes << QString::fromUtf8(o.cliente);
    recebeu << QString::fromUtf8(o.recebeu);
  }
  EXPECT_EQ(Ids(f), ids);
  EXPECT_EQ(Shown(f, "c.nome"), clientes);
  EXPECT_EQ(Shown(f, "u.nome"), recebeu);
  EXPECT_EQ(Shown(f, "dt_entrada")[2], QStringLiteral("02/04/2024"));
  EXPECT_EQ(Shown(f, "dt_saida")[2], QString()) << "still in the shop";
  EXPECT_EQ(Shown(f, "dt_saida")[0], QStringLiteral("06/03/2024"));
  EXPECT_EQ(CurrentId(f), 1);
  ExpectGridOnCursor(f);

  // Grouped by client: a group row above the orders of each client.
  View(f)->ColumnByFieldName(QStringLiteral("c.nome"))->SetGroupIndex(0);
  EXPECT_EQ(View(f)->GroupLevels(), 1);
  EXPECT_EQ(View(f)->ShownItems(true).size(), 8u + 8u) << "eight clients, one of them empty";
}

TEST_F(PesquisarOrdemTest, ExcluirAsksAndNoLeavesListAndDatabaseAsTheyWere) {
  const struct {
    int answer;
    bool deleted;
  } cases[] = {{id::NO, false}, {id::YES, true}};
  for (const auto& c : cases) {
    uitest::BoxRecorder boxes(c.answer);
    TfPsqOrdemServico* f = Open();
    const int before = Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico"));
    ASSERT_TRUE(f->adsOS->Locate(QStringLiteral("id"), 3));
    f->_btnExcluir->click();
    ASSERT_EQ(boxes.boxes.size(), 1u) << "the question alone";
    EXPECT_EQ(boxes.boxes[0].text, kPergunta);
    EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("CONFIRME"));
    EXPECT_EQ(boxes.boxes[0].flags, 36);
    EXPECT_EQ(f->Controller, nullptr);
    if (c.deleted) {
      EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico")), before - 1);
      EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico WHERE id = 3")), 0);
      EXPECT_EQ(Ids(f), (QStringList{"1", "2", "4", "5", "6", "7", "8"}));
      EXPECT_EQ(CurrentId(f), 1) << "the first row after the list is read again";
    } else {
      EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico")), before);
      EXPECT_EQ(Ids(f).size(), 8);
      EXPECT_EQ(CurrentId(f), 3) << "nothing moved";
    }
    ExpectGridOnCursor(f);
    f->Close();
    uitest::ProcessDeferredDeletes();
  }
}

TEST_F(PesquisarOrdemTest, AFailedDeleteIsReportedAndTheListStaysAsItWas) {
  TfPsqOrdemServico* f = Open();
  ASSERT_TRUE(f->adsOS->Locate(QStringLiteral("id"), 4));
  // Another program is writing: the delete waits briefly and gives up.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(database_.toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  DM->ADO->SetBusyTimeout(50);
  f->_btnExcluir->click();
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[0].text, kPergunta);
  EXPECT_EQ(boxes_.boxes[1].text.toStdString(),
            QStringLiteral("Erro tentar excluir registro! (trunk\\fontes\\views\\Pesquisar.Ordem, line 124)")
                .toStdString());
  EXPECT_EQ(boxes_.boxes[1].flags, 16);
  EXPECT_EQ(f->Controller, nullptr);
  EXPECT_EQ(CurrentId(f), 4) << "the list was not read again";
  EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico WHERE id = 4")), 1);
}

TEST_F(PesquisarOrdemTest, AfterAlterarTheListShowsTheChangeOnTheSameOrder) {
  TfPsqOrdemServico* f = Open();
  // The operator's grouping stays, and the order is found in it again.
  View(f)->ColumnByFieldName(QStringLiteral("c.nome"))->SetGroupIndex(0);
  ASSERT_TRUE(f->adsOS->Locate(QStringLiteral("id"), 6));
  WithEditor(f->_btnAlterar, [&](TfOrdem& editor) {
    EXPECT_NE(f->Controller, nullptr) << "kept while the action runs";
    TDataSet* ordem = editor.dsOrdem->DataSet();
    EXPECT_EQ(ordem->FieldByName(QStringLiteral("id"))->AsInteger(), 6);
    ordem->FieldByName(QStringLiteral("vlr_total"))->SetAsFloat(1234.5);
    editor._btnSalvar->click();
  });
  EXPECT_EQ(f->Controller, nullptr);
  EXPECT_TRUE(boxes_.boxes.empty()) << (boxes_.boxes.empty() ? "" : boxes_.boxes[0].text.toStdString());
  EXPECT_EQ(CurrentId(f), 6);
  EXPECT_EQ(f->adsOSvlr_total->DisplayText(), QStringLiteral("1.234,50"));
  EXPECT_EQ(View(f)->GroupedColumnCount(), 1);
  ExpectGridOnCursor(f);
  EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico WHERE id = 6 AND vlr_total = 1234.5")),
            1);
}

TEST_F(PesquisarOrdemTest, AfterIncluirTheNewOrderIsListedAndCurrent) {
  TfPsqOrdemServico* f = Open();
  ASSERT_TRUE(f->adsOS->Locate(QStringLiteral("id"), 2));
  WithEditor(f->_btnIncluir, [&](TfOrdem& editor) {
    EXPECT_EQ(editor.dsOrdem->DataSet()->State(), dsInsert);
    editor.dsOrdem->DataSet()->FieldByName(QStringLiteral("vlr_total"))->SetAsFloat(75);
    editor._btnSalvar->click();
  });
  EXPECT_TRUE(boxes_.boxes.empty()) << (boxes_.boxes.empty() ? "" : boxes_.boxes[0].text.toStdString());
  EXPECT_EQ(f->Controller, nullptr);
  EXPECT_EQ(Ids(f).size(), 9);
  EXPECT_EQ(Ids(f).last(), QStringLiteral("9"));
  EXPECT_EQ(CurrentId(f), 9);
  EXPECT_EQ(f->adsOSvlr_total->DisplayText(), QStringLiteral("75,00"));
  EXPECT_EQ(f->adsOS->RecNo(), f->adsOS->RecordCount());
  ExpectGridOnCursor(f);
}

TEST_F(PesquisarOrdemTest, AlterarAndExcluirOnAnEmptyListPassZero) {
  Exec("DELETE FROM OrdensServico");
  TfPsqOrdemServico* f = Open();
  ASSERT_TRUE(f->adsOS->IsEmpty());

  f->_btnAlterar->click();
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text.toStdString(),
            QStringLiteral("Código 0 não encontrado! (trunk\\fontes\\controler\\Controller.Ordem, line 105)")
                .toStdString());
  EXPECT_EQ(f->Controller, nullptr);

  // An order numbered 0 written meanwhile by another program is the one Excluir removes.
  Exec("INSERT INTO OrdensServico (id, vlr_total) VALUES (0, 1)");
  ASSERT_TRUE(f->adsOS->IsEmpty());
  f->_btnExcluir->click();
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[1].text, kPergunta);
  EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico")), 0);
  EXPECT_TRUE(f->adsOS->IsEmpty());
  EXPECT_EQ(f->Controller, nullptr);
}

TEST_F(PesquisarOrdemTest, AListThatCannotBeReadIsReportedAndStaysClosed) {
  Exec("ALTER TABLE OrdensServico RENAME TO Outra");
  TfPsqOrdemServico* f = Open();
  EXPECT_TRUE(f->isVisible());
  EXPECT_FALSE(f->adsOS->Active());
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("OrdensServico")))
      << boxes_.boxes[0].text.toStdString();
  EXPECT_EQ(boxes_.boxes[0].flags, 16);
}

TEST_F(PesquisarOrdemTest, ImprimirShowsTheListInTheModalPreviewOnA4) {
  TfPsqOrdemServico* f = Open();
  int shown = 0;
  const PreviewHandler previous = SetPreviewHandler([&](QPrintPreviewDialog& dialog) {
    ++shown;
    EXPECT_EQ(dialog.printer()->pageLayout().pageSize().id(), QPageSize::A4);
    auto* pages = dialog.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    pages->updatePreview();
    EXPECT_EQ(pages->pageCount(), 1);
  });
  f->_btnImprimi->click();
  SetPreviewHandler(previous);
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PesquisarOrdemTest, PdfWritesTheListWhereTheOperatorChose) {
  TfPsqOrdemServico* f = Open();
  QString answer = exe_.FilePath(QStringLiteral("lista.pdf"));
  SaveScript dialog([&] { return answer; });

  f->_btnExpPDF->click();
  ASSERT_EQ(dialog.requests.size(), 1u);
  EXPECT_EQ(dialog.requests[0].InitialDir, exe_.Folder());
  EXPECT_TRUE(dialog.requests[0].InitialDir.endsWith(QLatin1Char('/')));
  EXPECT_EQ(dialog.requests[0].Filter, QStringLiteral("Arquivo PDF|*.pdf"));
  EXPECT_EQ(dialog.requests[0].FileName, QStringLiteral("RelatorioOrdens"));
  ASSERT_TRUE(QFile::exists(answer));
  const QString text = PdfText(answer);
  EXPECT_TRUE(text.contains(f->Caption())) << text.toStdString();
  for (const QString& title : kTitles)
    EXPECT_TRUE(text.contains(title)) << title.toStdString() << " in\n" << text.toStdString();
  // Each order as a row: its number, then its client (the order without one: its date).
  for (const auto& o : kDemo) {
    const QString cliente = *o.cliente != '\0' ? QString::fromUtf8(o.cliente) : QStringLiteral("06/05/2024");
    EXPECT_TRUE(text.contains(QStringLiteral(" %1 %2 ").arg(o.id).arg(cliente))) << o.id;
  }

  // A name typed without extension gets ".pdf"; the last name chosen is proposed next.
  answer = exe_.FilePath(QStringLiteral("semana"));
  f->_btnExpPDF->click();
  ASSERT_EQ(dialog.requests.size(), 2u);
  EXPECT_EQ(dialog.requests[1].FileName, exe_.FilePath(QStringLiteral("lista.pdf")));
  EXPECT_TRUE(QFile::exists(exe_.FilePath(QStringLiteral("semana.pdf"))));
  EXPECT_FALSE(QFile::exists(exe_.FilePath(QStringLiteral("semana"))));

  // Cancelled: nothing written, the proposal unchanged.
  const QStringList before = QDir(exe_.Folder()).entryList(QDir::Files);
  answer.clear();
  f->_btnExpPDF->click();
  f->_btnExpPDF->click();
  ASSERT_EQ(dialog.requests.size(), 4u);
  EXPECT_EQ(dialog.requests[3].FileName, exe_.FilePath(QStringLiteral("semana.pdf")));
  EXPECT_EQ(QDir(exe_.Folder()).entryList(QDir::Files), before);
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PesquisarOrdemTest, LancarOsOpensANewListAtEveryPress) {
  auto* principal = CreateForm<TfPrincipal>(&app_);
  principal->dxBarLargeButton7->click();
  TfPsqOrdemServico* first = fPsqOrdemServico;
  ASSERT_NE(first, nullptr);
  principal->dxBarLargeButton7->click();
  TfPsqOrdemServico* second = fPsqOrdemServico;
  ASSERT_NE(second, first);
  for (TfPsqOrdemServico* f : {first, second}) {
    EXPECT_EQ(f->Owner(), principal);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(Ids(f).size(), 8);
  }
  EXPECT_NE(first->objectName(), second->objectName());

  QPointer<TfPsqOrdemServico> closed(second);
  second->Close();
  EXPECT_EQ(fPsqOrdemServico, nullptr);
  uitest::ProcessDeferredDeletes();
  EXPECT_TRUE(closed.isNull()) << "freed once closed";
  EXPECT_EQ(principal->FindComponent(first->Name()), first);
  EXPECT_TRUE(boxes_.boxes.empty());
}

// The list grouped by client paints, and so do its preview and its PDF; with
// QUORVEL_SCREENSHOTS set to a folder, the pictures are kept there.
TEST_F(PesquisarOrdemTest, TheGroupedListItsPreviewAndItsPdfPaint) {
  ui::InstallFonts();
  const QString folder = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
  TfPsqOrdemServico* f = Open();
  View(f)->ColumnByFieldName(QStringLiteral("c.nome"))->SetGroupIndex(0);
  View(f)->ExpandAll();
  ASSERT_TRUE(f->adsOS->Locate(QStringLiteral("id"), 3));
  QApplication::processEvents();
  const QImage window = f->grab().toImage();
  EXPECT_EQ(window.size(), QSize(894, 464) * window.devicePixelRatio());
  QSet<QRgb> colours;
  for (int x = 0; x < window.width(); x += 3) colours.insert(window.pixel(x, window.height() / 3));
  EXPECT_GT(colours.size(), 2);
  if (!folder.isEmpty()) window.save(QDir(folder).filePath(QStringLiteral("pesquisar.png")));

  const PreviewHandler previous = SetPreviewHandler([&](QPrintPreviewDialog& dialog) {
    dialog.show();
    auto* pages = dialog.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    pages->updatePreview();
    pages->fitInView();
    QApplication::processEvents();
    const QImage preview = dialog.grab().toImage();
    EXPECT_FALSE(preview.isNull());
    if (!folder.isEmpty()) preview.save(QDir(folder).filePath(QStringLiteral("preview.png")));
    dialog.close();
  });
  f->_btnImprimi->click();
  SetPreviewHandler(previous);

  const QString pdf = exe_.FilePath(QStringLiteral("agrupado.pdf"));
  SaveScript dialog([&] { return pdf; });
  f->_btnExpPDF->click();
  ASSERT_TRUE(QFile::exists(pdf));
  const QString text = PdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Maria Aparecida Souza")));
  if (!folder.isEmpty()) {
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-f"),
                    QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                    QStringLiteral("-singlefile"), pdf, QDir(folder).filePath(QStringLiteral("pdf-page1"))});
    EXPECT_TRUE(pdftoppm.waitForFinished(30000));
  }
  EXPECT_TRUE(boxes_.boxes.empty());
}

}  // namespace
