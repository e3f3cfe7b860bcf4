// Figures of the order-list grid and its report, side by side in one run:
//   1. opening the order list into its data set with the grid bound, until the grid has
//      painted, against the sqlite3 CLI running the same statement into /dev/null;  <= 2x
//   2. sorting 100,000 rows by a column (first time: the column's keys are built);  <= 2x CLI
//   3. grouping 100,000 rows by "Cliente" (keys built, groups cut, first screen);   <= 2x CLI
//   4. peak memory of 1-3 above an empty window against the bytes of the values;     <= 3x
//   5. exporting 10,000 and 20,000 orders to PDF: rows per second; 20,000 take no more
//      than 2.2 times 10,000 (pages are laid out independently).
// The machine may be busy with other work: every figure is taken as wall time and as
// processor time, and the ratios use processor time (the CLI's is its own, taken from the
// child's resource usage), which the other programs do not disturb.
// The order database is generated once into /tmp by a child run ("--generate"), so that
// generating it does not count in this process's memory.

#include <malloc.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_measure.h"
#include "bench/db_bench_data.h"
#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/db/JetDialect.h"
#include "platform/report/ComponentPrinter.h"
#include "platform/report/ReportLink.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/GridView.h"

namespace {

constexpr int kOrders = 100000;
constexpr int kClients = 2000;
constexpr int kUsers = 20;
constexpr int kRounds = 3;
const QString kDatabase = QStringLiteral("/tmp/quorvel_grid_report_bench.db");

QString OrderList(const QString& where = {}) {
  return QStringLiteral(
             "SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
             "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = "
             "os.cliente_id) ON u.id = os.user_id") +
         where + QStringLiteral(";");
}

using bench::CliTime;
using bench::Measure;
using bench::ResetPeak;
using bench::Status;
using bench::Time;
using bench::ValueBytes;

// The CLI running the statement as SQLite receives it, best of kRounds.
Time CliTime(const QString& sql) {
  return bench::CliTime(kDatabase, sql, kRounds);
}

bool Report(const char* what, const Time& ours, const Time& base, double target) {
  const double ratio = ours.cpu / base.cpu;
  std::printf("%-38s ours %8.1f ms (cpu %8.1f)   base %8.1f ms (cpu %8.1f)   cpu ratio %.2f (<= %.1f) %s\n",
              what, ours.wall, ours.cpu, base.wall, base.cpu, ratio, target,
              ratio <= target ? "OK" : "MISSED");
  return ratio <= target;
}

// The search window's list: its fields, its grid and its columns.
struct OrderWindow {
  explicit OrderWindow(TADOConnection& connection) {
    list = new TADODataSet(&owner);
    list->SetConnection(&connection);
    list->SetCommandText(OrderList());
    auto add = [this](TField* field, const char* name, const char* label, const char* format) {
      field->SetFieldName(QString::fromUtf8(name));
      field->SetDisplayLabel(QString::fromUtf8(label));
      if (*format != '\0') field->SetDisplayFormat(QString::fromUtf8(format));
      field->SetDataSet(list);
    };
    add(new TAutoIncField(&owner), "id", "Código", "");
    add(new TWideStringField(&owner), "c.nome", "Cliente", "");
    add(new TWideStringField(&owner), "u.nome", "Recebeu", "");
    add(new TDateTimeField(&owner), "dt_entrada", "Dt Entrada", "dd/mm/yyyy");
    add(new TDateTimeField(&owner), "dt_saida", "Dt Saída", "dd/mm/yyyy");
    add(new TBCDField(&owner), "vlr_total", "Vlr Total R$", "#,##0.00");
    add(new TBooleanField(&owner), "status", "Status", "");
    source = new TDataSource(&owner);
    source->SetDataSet(list);

    window.resize(894, 464);
    window.setWindowTitle(QStringLiteral("Pesquisar Ordem de Serviço"));
    auto* layout = new QVBoxLayout(&window);
    grid = new TGrid(&owner, &window);
    layout->addWidget(grid);
    view = new TGridDBTableView(&owner, grid);
    view->BeginUpdate();
    view->DataController().SetDataSource(source);
    view->DataController().SetKeyFieldNames(QStringLiteral("id"));
    for (const char* name : {"id", "c.nome", "u.nome", "dt_entrada", "dt_saida", "vlr_total", "status"}) {
      TGridColumn* column = view->CreateColumn();
      column->SetFieldName(QString::fromUtf8(name));
      column->SetHeaderAlignmentHorz(taCenter);
    }
    view->ColumnByFieldName(QStringLiteral("c.nome"))->SetWidth(246);
    view->SetNavigatorVisible(true);
    view->EndUpdate();
    printer = new TComponentPrinter(&owner);
    link = new TGridReportLink(&owner);
    link->SetComponent(grid);
    printer->SetCurrentLink(link);
    window.show();
    Ready();
  }
  // Everything on screen painted, as the operator would see it.
  void Ready() {
    QApplication::processEvents();
    window.grab();
  }
  TGridColumn* Column(const char* field) const { return view->ColumnByFieldName(QString::fromUtf8(field)); }

  TComponent owner;
  QWidget window;
  TADODataSet* list = nullptr;
  TDataSource* source = nullptr;
  TGrid* grid = nullptr;
  TGridDBTableView* view = nullptr;
  TComponentPrinter* printer = nullptr;
  TGridReportLink* link = nullptr;
};

// Best of kRounds of work, each after its own setup.
template <class Setup, class Work>
Time Best(Setup setup, Work work) {
  Time best;
  for (int round = 0; round < kRounds; ++round) {
    setup();
    best.Keep(Measure(work));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  try {
    if (bench::GenerateIfAsked(argc, argv, {kDatabase, kOrders, kClients, kUsers})) return 0;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (!bench::GenerateInChild()) return 2;
    rtl::ScopedFormatSettings settings(TFormatSettings::PtBR());
    // "pdf" runs the export part only (for profiling).
    const bool onlyPdf = argc > 1 && std::string(argv[1]) == "pdf";
    bool ok = true;

    TADOConnection connection;
    connection.SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                   kDatabase);
    connection.Open();
    OrderWindow w(connection);

    if (!onlyPdf) {
      // 4 first: the peak of opening, sorting and grouping, above the empty window.
      malloc_trim(0);
      const double emptyWindow = Status("VmRSS:");
      ResetPeak();
      w.list->Open();
      w.Ready();
      w.Column("c.nome")->SetSortOrder(soAscending);
      w.Ready();
      w.view->ClearSorting();
      w.Column("c.nome")->SetGroupIndex(0);
      w.Ready();
      const double peak = Status("VmHWM:") - emptyWindow;
      const double values = ValueBytes(*w.list);
      std::printf("rows %d; grid index vectors and keys %.1f MB; data set snapshot %.1f MB\n",
                  w.list->RecordCount(), static_cast<double>(w.view->MemoryBytes()) / 1e6,
                  static_cast<double>(w.list->SnapshotBytes()) / 1e6);
      w.view->ClearGrouping();

      const QString sql = db::jet::ToSqlite(OrderList());
      const Time cli = CliTime(sql);
      std::printf("sqlite3 CLI runs the statement as SQLite receives it:\n  %s\n",
                  sql.simplified().toUtf8().constData());

      // 1. Open and ready.
      const Time open = Best([&] { w.list->Close(); },
                             [&] {
                               w.list->Open();
                               w.Ready();
                             });
      ok = Report("1. open 100,000 orders, grid painted", open, cli, 2.0) && ok;

      // 2. Sorting, each column's first sort after an open.
      for (const char* field : {"c.nome", "vlr_total", "dt_entrada"}) {
        const Time sort = Best(
            [&] {
              w.view->ClearSorting();
              w.list->Close();
              w.list->Open();
              w.Ready();
            },
            [&] {
              w.Column(field)->SetSortOrder(soAscending);
              w.Ready();
            });
        ok = Report((std::string("2. sort by ") + field).c_str(), sort, cli, 2.0) && ok;
      }
      w.view->ClearSorting();

      // 3. Grouping by client, after an open.
      const Time group = Best(
          [&] {
            w.view->ClearGrouping();
            w.list->Close();
            w.list->Open();
            w.Ready();
          },
          [&] {
            w.Column("c.nome")->SetGroupIndex(0);
            w.Ready();
          });
      ok = Report("3. group by Cliente", group, cli, 2.0) && ok;
      w.view->ClearGrouping();

      const double memoryRatio = peak / values;
      std::printf("%-38s ours %8.1f MB   values %8.1f MB   ratio %.2f (<= 3.0) %s\n",
                  "4. peak memory above empty window", peak / 1e6, values / 1e6, memoryRatio,
                  memoryRatio <= 3.0 ? "OK" : "MISSED");
      ok = memoryRatio <= 3.0 && ok;
    }

    // 5. PDF export of the first 10,000 and 20,000 orders.
    Time pdfTime[2];
    const int counts[2] = {10000, 20000};
    for (int i = 0; i < 2; ++i) {
      w.list->Close();
      w.list->SetCommandText(OrderList(QStringLiteral(" WHERE os.id <= %1").arg(counts[i])));
      w.list->Open();
      w.Ready();
      const QString pdf = QDir::tempPath() + QStringLiteral("/quorvel_bench_%1.pdf").arg(counts[i]);
      pdfTime[i] = Best([] {}, [&] { w.printer->ExportToPDF(pdf); });
      std::printf("5. PDF of %d orders: %.0f ms (cpu %.0f), %.0f rows/s (cpu %.0f), %.1f MB\n", counts[i],
                  pdfTime[i].wall, pdfTime[i].cpu, 1000.0 * counts[i] / pdfTime[i].wall,
                  1000.0 * counts[i] / pdfTime[i].cpu, static_cast<double>(QFile(pdf).size()) / 1e6);
      QFile::remove(pdf);
    }
    ok = Report("5. PDF 20,000 / 10,000 orders", pdfTime[1], pdfTime[0], 2.2) && ok;
    std::printf("peak resident of the whole run %.1f MB\n", Status("VmHWM:") / 1e6);
    return ok ? 0 : 1;
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s: %s\n", error.ClassName().toUtf8().constData(), error.what());
    return 2;
  }
}
