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
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

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

struct Time {
  double wall = 1e18;
  double cpu = 1e18;
  void Keep(const Time& other) {
    wall = std::min(wall, other.wall);
    cpu = std::min(cpu, other.cpu);
  }
};

double ProcessCpuMillis() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double ChildrenCpuMillis() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto ms = [](const timeval& tv) { return static_cast<double>(tv.tv_sec) * 1e3 + tv.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

template <class Work>
Time Measure(Work work) {
  QElapsedTimer timer;
  const double cpu = ProcessCpuMillis();
  timer.start();
  work();
  return {static_cast<double>(timer.nsecsElapsed()) / 1e6, ProcessCpuMillis() - cpu};
}

// "VmRSS", "VmHWM" of /proc/self/status, in bytes.
double Status(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(line.find(':') + 1)) * 1024.0;
  return 0;
}

// Forgets the peak so far: VmHWM starts again from the current resident size.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// Texts as the program holds them (UTF-16), whole numbers 4 bytes, yes/no 1, others 8.
double ValueBytes(const TDataSet& ds) {
  double bytes = 0;
  for (int f = 0; f < ds.FieldCount(); ++f) {
    const TFieldType type = ds.Fields(f)->DataType();
    for (int r = 0; r < ds.RecordCount(); ++r) {
      const db::Value v = ds.CellAt(r, f);
      if (v.isNull) continue;
      bytes += type == ftWideString                     ? 2.0 * static_cast<double>(v.s.size())
               : type == ftAutoInc || type == ftInteger ? 4
               : type == ftBoolean                      ? 1
                                                        : 8;
    }
  }
  return bytes;
}

// The CLI running the statement as SQLite receives it, best of kRounds.
Time CliTime(const QString& sql) {
  Time best;
  for (int round = 0; round < kRounds; ++round) {
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    const double cpu = ChildrenCpuMillis();
    timer.start();
    cli.start(QStringLiteral("sqlite3"), {kDatabase, sql});
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
      std::fprintf(stderr, "sqlite3 failed: %s\n", cli.readAllStandardError().constData());
      std::exit(2);
    }
    best.Keep({static_cast<double>(timer.nsecsElapsed()) / 1e6, ChildrenCpuMillis() - cpu});
  }
  return best;
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
    if (argc > 1 && std::string(argv[1]) == "--generate") {
      const double generated = dbbench::EnsureOrdersDatabase(kDatabase, kOrders, kClients, kUsers);
      if (generated > 0) std::printf("generated %d orders in %.1f s\n", kOrders, generated);
      return 0;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate")}) != 0)
      return 2;
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
