#include "platform/report/ComponentPrinter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <cerrno>
#include <memory>
#include <optional>

#include "platform/report/ReportLink.h"
#include "platform/report/ReportProgress.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/Localizer.h"

namespace {

PreviewHandler& CurrentPreviewHandler() {
  static PreviewHandler handler;
  return handler;
}

const QString kExportingKey = QStringLiteral("ReportExportingPdf");
const QString kPreparingKey = QStringLiteral("ReportPreparingPages");
// PDF pages are drawn at this resolution; text stays text at any resolution.
constexpr int kPdfResolution = 600;

[[noreturn]] void CannotWrite(const QString& fileName, const QString& why, int code) {
  throw EInOutError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.")
                        .arg(QDir::toNativeSeparators(fileName), why),
                    code);
}

// Why a file cannot be created there, in words the operator understands.
void CheckWritable(const QString& fileName) {
  if (fileName.trimmed().isEmpty())
    throw EInOutError(QStringLiteral("Informe o nome do arquivo PDF."), ENOENT);
  const QFileInfo file(fileName);
  if (file.isDir()) CannotWrite(fileName, QStringLiteral("já existe uma pasta com esse nome"), EISDIR);
  const QFileInfo folder(file.absolutePath());
  if (!folder.exists())
    CannotWrite(fileName,
                QStringLiteral("a pasta \"%1\" não existe").arg(QDir::toNativeSeparators(folder.filePath())),
                ENOENT);
  if (!folder.isDir())
    CannotWrite(fileName,
                QStringLiteral("\"%1\" não é uma pasta").arg(QDir::toNativeSeparators(folder.filePath())),
                ENOTDIR);
  if (!folder.isWritable())
    CannotWrite(fileName,
                QStringLiteral("sem permissão de gravação na pasta \"%1\"")
                    .arg(QDir::toNativeSeparators(folder.filePath())),
                EACCES);
}

// A progress window for long reports only.
std::optional<report::ReportProgress> ProgressFor(const TBasicReportLink& link, const QString& key,
                                                  const char* fallback) {
  if (link.RowCount() <= TComponentPrinter::kProgressRows) return std::nullopt;
  return std::make_optional<report::ReportProgress>(Localizer::Text(key, QString::fromUtf8(fallback)), 1);
}

}  // namespace

PreviewHandler SetPreviewHandler(PreviewHandler handler) {
  PreviewHandler previous = std::move(CurrentPreviewHandler());
  CurrentPreviewHandler() = std::move(handler);
  return previous;
}

TComponentPrinter::TComponentPrinter(TComponent* owner) : TComponent(owner) {}

TComponentPrinter::~TComponentPrinter() {
  if (currentLink_ != nullptr) currentLink_->printer_ = nullptr;
}

void TComponentPrinter::SetCurrentLink(TBasicReportLink* link) {
  if (currentLink_ != nullptr) currentLink_->printer_ = nullptr;
  currentLink_ = link;
  if (currentLink_ != nullptr) currentLink_->printer_ = this;
}

void TComponentPrinter::LinkDestroyed(TBasicReportLink* link) {
  if (currentLink_ == link) currentLink_ = nullptr;
}

TBasicReportLink& TComponentPrinter::Link() const {
  if (currentLink_ == nullptr) throw EComponentError(QStringLiteral("Nenhum relatório para imprimir."));
  return *currentLink_;
}

void TComponentPrinter::PaintPreview(QPrinter& printer) {
  const TBasicReportLink& link = Link();
  QPainter painter;
  if (!painter.begin(&printer))
    throw EInOutError(QStringLiteral("Não foi possível iniciar a impressão."), EIO);
  std::optional<report::ReportProgress> progress = ProgressFor(link, kPreparingKey, "Preparing pages...");
  const bool done = link.Render(painter, printer, [&progress](int page, int pages) {
    return !progress || progress->Step(page, pages);
  });
  // Stopping a real print job throws its pages away; a preview just shows fewer.
  if (!done) printer.abort();
  painter.end();
}

void TComponentPrinter::Preview(bool modal) {
  const TBasicReportLink& link = Link();
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setPageLayout(link.PrinterPage().QtPageLayout());
  printer->setFullPage(true);  // the link lays out its own margins from the paper's corner
  printer->setDocName(link.Caption());

  auto dialog = std::make_unique<QPrintPreviewDialog>(printer.get(), QApplication::activeWindow());
  dialog->setObjectName(Name().isEmpty() ? QStringLiteral("PrintPreview")
                                         : Name() + QStringLiteral("Preview"));
  dialog->setAccessibleDescription(dialog->objectName());
  dialog->setWindowTitle(Localizer::Text(loc::PreviewCaption, QStringLiteral("Print Preview")));
  dialog->resize(900, 700);
  QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                   ui::Guarded([this](QPrinter* target) { PaintPreview(*target); }));

  if (const PreviewHandler& handler = CurrentPreviewHandler()) {
    handler(*dialog);
    return;
  }
  if (modal) {
    dialog->exec();
    return;
  }
  // Modeless: the dialog lives on its own and takes its printer along when it closes.
  QPrintPreviewDialog* open = dialog.release();
  QPrinter* owned = printer.release();
  open->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(open, &QObject::destroyed, [owned] { delete owned; });
  open->show();
}

void TComponentPrinter::ExportToPDF(const QString& fileName) {
  const TBasicReportLink& link = Link();
  CheckWritable(fileName);
  // Written under a temporary name in the same folder; renamed only once complete.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) CannotWrite(fileName, file.errorString(), EIO);
  bool done = false;
  {
    QPdfWriter writer(&file);
    QPageLayout layout = link.PrinterPage().QtPageLayout();
    layout.setMargins(QMarginsF());  // the link lays out its own margins
    writer.setPageLayout(layout);
    writer.setResolution(kPdfResolution);
    writer.setTitle(link.Caption());
    writer.setCreator(QApplication::applicationDisplayName());
    QPainter painter;
    if (!painter.begin(&writer)) CannotWrite(fileName, file.errorString(), EIO);
    std::optional<report::ReportProgress> progress = ProgressFor(link, kExportingKey, "Exporting PDF...");
    done = link.Render(painter, writer,
                       [&progress](int page, int pages) { return !progress || progress->Step(page, pages); });
    painter.end();
  }
  if (!done) {
    file.cancelWriting();
    rtl::Abort();
  }
  if (!file.commit()) CannotWrite(fileName, file.errorString(), EIO);
}
