#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "platform/report/ComponentPrinter.h"
#include "platform/report/ReportLink.h"
#include "platform/rtl/Exceptions.h"
#include "tests/platform/grid/GridFixture.h"
#include "tests/platform/report/PageExpectations.h"

namespace gridtest {
namespace {

QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF as a reader extracts it, page by page.
QStringList PdfPages(const QString& path) {
  QStringList pages =
      RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
          .split(QChar(0x0c), Qt::SkipEmptyParts);
  while (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

std::vector<Order> ManyOrders(int count) {
  std::vector<Order> orders;
  for (int i = 1; i <= count; ++i)
    orders.push_back({QStringLiteral("Cliente %1").arg(i % 40), QStringLiteral("Atendente %1").arg(i % 3),
                      QStringLiteral("2024-02-%1 10:00:00").arg(1 + i % 28, 2, 10, QLatin1Char('0')), i * 1.5,
                      i % 2 == 0});
  return orders;
}

class ReportTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    out_ = folder_.FilePath(QStringLiteral("saida"));
    QDir().mkpath(out_);
  }

  void MakePrinter() {
    window_->setWindowTitle(QStringLiteral("Pesquisar Ordem de Serviço"));
    printer_ = new TComponentPrinter(owner_.get());
    printer_->SetName(QStringLiteral("dxComponentPrinter1"));
    link_ = new TGridReportLink(owner_.get());
    link_->SetName(QStringLiteral("dxComponentPrinter1Link1"));
    link_->SetComponent(grid_);
    printer_->SetCurrentLink(link_);
  }

  QStringList FilesOut() const { return QDir(out_).entryList(QDir::Files | QDir::Hidden | QDir::System); }

  QString out_;
  TComponentPrinter* printer_ = nullptr;
  TGridReportLink* link_ = nullptr;
};

TEST_F(ReportTest, PagesAreA4WithTheWindowsMarginsInThousandthsOfAMillimetre) {
  OpenSample();
  MakePrinter();
  const TPrinterPage& page = link_->PrinterPage();
  reporttest::ExpectA4WithTheWindowsMargins(page);
  const QPageLayout layout = page.QtPageLayout();
  EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
  EXPECT_EQ(layout.margins(QPageLayout::Millimeter), QMarginsF(12.7, 12.7, 12.7, 12.7));

  const QString pdf = out_ + QStringLiteral("/RelatorioOrdens.pdf");
  printer_->ExportToPDF(pdf);
  const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
  EXPECT_TRUE(info.contains(QStringLiteral("595 x 842 pts (A4)"))) << info.toStdString();
}

TEST_F(ReportTest, PdfHoldsTheTitlesAndEveryRowAsShownAsText) {
  OpenSample();
  MakePrinter();
  Column(QStringLiteral("c.nome"))->SetSortOrder(soDescending);
  const QString pdf = out_ + QStringLiteral("/RelatorioOrdens.pdf");
  printer_->ExportToPDF(pdf);
  EXPECT_EQ(FilesOut(), QStringList{QStringLiteral("RelatorioOrdens.pdf")}) << "no temporary file is left";

  const QStringList pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1);
  const QString& text = pages[0];
  // A title too wide for its column takes a second line.
  for (const char* title : {"Código", "Cliente", "Recebeu", "Dt Entrada", "Dt Saída", "Vlr Total R$",
                            "Status", "Pesquisar Ordem de Serviço", "Página 1 de 1"})
    for (const QString& word : QString::fromUtf8(title).split(QLatin1Char(' ')))
      EXPECT_TRUE(text.contains(word)) << title << "\n" << text.toStdString();
  // Rows in the grid's order, each on one line with its cells.
  const QStringList lines = text.split(QLatin1Char('\n'));
  const std::vector<QStringList> rows = {{"5", "Célia Ramos", "Carla", "02/04/2024", "99,99"},
                                         {"1", "Bruno Lima", "Carla", "05/03/2024", "150,50"},
                                         {"2", "Ana Souza", "Davi", "06/03/2024", "20,00"},
                                         {"3", "Ana Souza", "Carla", "06/03/2024", "1.234,56"},
                                         {"4", "01/04/2024", "0,00"}};
  int previous = -1;
  for (const QStringList& cells : rows) {
    int found = -1;
    for (int i = previous + 1; i < lines.size() && found < 0; ++i) {
      const QStringList words = lines[i].simplified().split(QLatin1Char(' '));
      if (words.value(0) != cells[0]) continue;
      bool all = true;
      for (const QString& cell : cells) all = all && lines[i].contains(cell);
      if (all) found = i;
    }
    EXPECT_GT(found, previous) << cells.join(QLatin1Char(' ')).toStdString();
    previous = found;
  }
}

TEST_F(ReportTest, GroupRowsPrintAsShownOrAllOpened) {
  OpenSample();
  MakePrinter();
  Column(QStringLiteral("c.nome"))->SetGroupIndex(0);  // only the current row's group (Bruno) is open
  const QString pdf = out_ + QStringLiteral("/grupos.pdf");
  printer_->ExportToPDF(pdf);
  QString text = PdfPages(pdf).join(QString());
  for (const char* group :
       {"Cliente : Ana Souza (2)", "Cliente : Bruno Lima (1)", "Cliente : Célia Ramos (1)"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(group))) << group;
  EXPECT_TRUE(text.contains(QStringLiteral("150,50")));
  EXPECT_FALSE(text.contains(QStringLiteral("1.234,56"))) << "Ana's rows are collapsed";

  link_->SetExpandGroupRows(true);
  printer_->ExportToPDF(pdf);
  text = PdfPages(pdf).join(QString());
  EXPECT_TRUE(text.contains(QStringLiteral("1.234,56")));
  EXPECT_TRUE(text.contains(QStringLiteral("99,99")));
}

TEST_F(ReportTest, LongListsRepeatTheTitlesOnEveryPage) {
  Open(ManyOrders(150));
  MakePrinter();
  const QString pdf = out_ + QStringLiteral("/longo.pdf");
  printer_->ExportToPDF(pdf);
  const QStringList pages = PdfPages(pdf);
  ASSERT_GE(pages.size(), 3);
  QString all;
  for (int i = 0; i < pages.size(); ++i) {
    EXPECT_TRUE(pages[i].contains(QStringLiteral("Código"))) << i;
    EXPECT_TRUE(pages[i].contains(QStringLiteral("Pesquisar Ordem de Serviço"))) << i;
    EXPECT_TRUE(pages[i].contains(QStringLiteral("Página %1 de %2").arg(i + 1).arg(pages.size()))) << i;
    all += pages[i];
  }
  // Every order once, in order: the lines that start with a number.
  QList<int> ids;
  for (const QString& line : all.split(QLatin1Char('\n'))) {
    bool number = false;
    const int id = line.simplified().section(QLatin1Char(' '), 0, 0).toInt(&number);
    if (number) ids << id;
  }
  ASSERT_EQ(ids.size(), 150);
  for (int i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], i + 1);
}

TEST_F(ReportTest, UnwritablePlacesGiveAPortugueseErrorAndNoFile) {
  OpenSample();
  MakePrinter();
  testsupport::WriteFile(out_ + QStringLiteral("/arquivo.txt"), "x");
  struct Case {
    QString path;
    const char* reason;
  };
  const Case cases[] = {
      {out_ + QStringLiteral("/nao/existe/rel.pdf"), "não existe"},
      {out_, "já existe uma pasta com esse nome"},
      {out_ + QStringLiteral("/arquivo.txt/rel.pdf"), "não é uma pasta"},
      {QStringLiteral(" "), "Informe o nome do arquivo PDF"},
  };
  for (const Case& c : cases) {
    try {
      printer_->ExportToPDF(c.path);
      ADD_FAILURE() << "no error for " << c.path.toStdString();
    } catch (const EInOutError& error) {
      EXPECT_TRUE(error.Message().contains(QString::fromUtf8(c.reason))) << error.Message().toStdString();
    }
    EXPECT_EQ(FilesOut(), QStringList{QStringLiteral("arquivo.txt")});
  }
}

TEST_F(ReportTest, LongExportShowsCancellableProgressAndCancelLeavesNoFile) {
  Open(ManyOrders(TComponentPrinter::kProgressRows + 500));
  MakePrinter();
  const QString pdf = out_ + QStringLiteral("/grande.pdf");
  QString label;
  bool modal = false;
  bool cancelled = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(widget);
      if (progress == nullptr || !progress->isVisible() ||
          progress->objectName() != QStringLiteral("ReportProgress"))
        continue;
      label = progress->labelText();
      modal = progress->windowModality() == Qt::ApplicationModal;
      auto* cancel = progress->findChild<QPushButton*>();
      ASSERT_NE(cancel, nullptr);
      EXPECT_EQ(cancel->text(), QStringLiteral("Cancelar"));
      cancel->click();
      cancelled = true;
    }
  });
  EXPECT_THROW(printer_->ExportToPDF(pdf), EAbort);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(label, QStringLiteral("Exportando PDF..."));
  EXPECT_TRUE(modal);
  EXPECT_TRUE(FilesOut().isEmpty()) << FilesOut().join(QLatin1Char(' ')).toStdString();

  // Left alone, the same export completes.
  printer_->ExportToPDF(pdf);
  EXPECT_EQ(FilesOut(), QStringList{QStringLiteral("grande.pdf")});
  EXPECT_TRUE(PdfPages(pdf).last().contains(QStringLiteral("3.750,00")));
}

TEST_F(ReportTest, PreviewGoesThroughTheHandlerWithThePagesReady) {
  OpenSample();
  MakePrinter();
  bool called = false;
  const PreviewHandler previous = SetPreviewHandler([&](QPrintPreviewDialog& dialog) {
    called = true;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("dxComponentPrinter1Preview"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Visualizar impressão"));
    EXPECT_EQ(dialog.printer()->pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_TRUE(dialog.printer()->fullPage());
    auto* pages = dialog.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    pages->updatePreview();
    EXPECT_EQ(pages->pageCount(), 1);
  });
  printer_->Preview(true);
  SetPreviewHandler(previous);
  EXPECT_TRUE(called);
}

}  // namespace
}  // namespace gridtest
