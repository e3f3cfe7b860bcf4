// Figures of the order search window over 100,000 orders, side by side in one run:
//   1. opening the real window (its creation, the query, the snapshot sorted by number,
//      the grid bound and painted) against the sqlite3 CLI running the same statement
//      into /dev/null;                                                          <= 2.5x
//   2. peak memory of the first opening above an empty window of the same size (the
//      window's one-time costs included), against the bytes of the values listed; <= 3.5x
// The machine may be busy with other work: every figure is taken as wall time and as
// processor time, and the ratios use processor time (the CLI's is its own, taken from the
// child's resource usage), which the other programs do not disturb.
// The order database is generated once into /tmp by a child run ("--generate"), so that
// generating it does not count in this process's memory.

#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_measure.h"
#include "bench/db_bench_data.h"
#include "fontes/dados/uDM.h"
#include "fontes/views/Pesquisar.Ordem.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/JetDialect.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/GridView.h"
#include "tools/ServerConfigWriter.h"

namespace {

constexpr int kOrders = 100000;
constexpr int kClients = 2000;
constexpr int kUsers = 20;
constexpr int kRounds = 3;
constexpr double kOpenTarget = 2.5;
constexpr double kMemoryTarget = 3.5;
const QString kDatabase = QStringLiteral("/tmp/quorvel_search_window_bench.db");

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

// Everything on screen painted, as the operator would see it.
void Ready(QWidget& window) {
  QApplication::processEvents();
  window.grab();
}

TfPsqOrdemServico* OpenWindow(TApplication& app) {
  TfPsqOrdemServico* f = CreateForm<TfPsqOrdemServico>(&app);
  Ready(*f);
  if (!f->adsOS->Active() || f->adsOS->RecordCount() != kOrders) {
    std::fprintf(stderr, "the window lists %d orders, not %d\n", f->adsOS->RecordCount(), kOrders);
    std::exit(2);
  }
  return f;
}

bool Report(const char* what, double ours, double base, const char* unit, double target) {
  const double ratio = ours / base;
  std::printf("%-44s %10.1f %s against %10.1f %s   ratio %.2f (<= %.1f) %s\n", what, ours, unit, base, unit,
              ratio, target, ratio <= target ? "OK" : "MISSED");
  return ratio <= target;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  try {
    if (bench::GenerateIfAsked(argc, argv, {kDatabase, kOrders, kClients, kUsers})) return 0;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);
    if (!bench::GenerateInChild()) return 2;
    rtl::ScopedFormatSettings settings(TFormatSettings::PtBR());

    // The program's own setting: ServerConfig.ini beside a stand-in executable.
    QTemporaryDir folder;
    rtl::SetExecutablePath(folder.filePath(QStringLiteral("Quorvel")));
    admin::WriteServerConfig(rtl::ExecutableFolder(), kDatabase, QString(), true);
    TApplication app;
    app.CreateForm(DM);
    if (!DM->ADO->Connected()) return 2;

    // 2 first, while nothing of the list was ever loaded in this process.
    malloc_trim(0);
    double emptyWindow = 0;
    {
      TForm empty(nullptr);
      empty.SetClientSize(894, 464);
      empty.Show();
      Ready(empty);
      emptyWindow = Status("VmRSS:");
    }
    ResetPeak();
    TfPsqOrdemServico* f = OpenWindow(app);
    const double peak = Status("VmHWM:") - emptyWindow;
    const double values = ValueBytes(*f->adsOS);
    std::printf("orders %d; data set snapshot %.1f MB; grid index vectors and keys %.1f MB; values %.1f MB\n",
                f->adsOS->RecordCount(), static_cast<double>(f->adsOS->SnapshotBytes()) / 1e6,
                static_cast<double>(f->cxGrid1DBTableView1->MemoryBytes()) / 1e6, values / 1e6);
    // The statement as SQLite receives it from the window.
    const QString sql = db::jet::ToSqlite(f->adsOS->CommandText());
    const double resident = Status("VmRSS:") - emptyWindow;
    delete f;
    const Time cli = CliTime(sql);

    // A later opening, once the window's one-time costs (its pictures, fonts and the
    // sqlite page cache) are paid: what each further window adds at its peak.
    malloc_trim(0);
    const double beforeLater = Status("VmRSS:");
    ResetPeak();
    f = OpenWindow(app);
    const double laterPeak = Status("VmHWM:") - beforeLater;
    delete f;
    std::printf("first opening: peak %.1f MB, resident once open %.1f MB; later opening: peak %.1f MB\n",
                peak / 1e6, resident / 1e6, laterPeak / 1e6);

    Time open;
    for (int round = 0; round < kRounds; ++round) {
      TfPsqOrdemServico* window = nullptr;
      open.Keep(Measure([&] { window = OpenWindow(app); }));
      delete window;
    }
    std::printf("1. window open, wall %.1f ms (cpu %.1f); sqlite3 CLI wall %.1f ms (cpu %.1f)\n", open.wall,
                open.cpu, cli.wall, cli.cpu);
    bool ok = Report("1. open the window with 100,000 orders, cpu", open.cpu, cli.cpu, "ms", kOpenTarget);
    ok = Report("2. peak memory above an empty window", peak / 1e6, values / 1e6, "MB", kMemoryTarget) && ok;
    std::printf("peak resident of the whole run %.1f MB\n", Status("VmHWM:") / 1e6);
    return ok ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 2;
  }
}
