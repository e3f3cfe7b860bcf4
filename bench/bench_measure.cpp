#include "bench/bench_measure.h"

#include <sys/resource.h>
#include <time.h>

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/db_bench_data.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"

namespace bench {

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

double Status(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(line.find(':') + 1)) * 1024.0;
  return 0;
}

void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

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

Time CliTime(const QString& database, const QString& sql, int rounds) {
  Time best;
  for (int round = 0; round < rounds; ++round) {
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    const double cpu = ChildrenCpuMillis();
    timer.start();
    cli.start(QStringLiteral("sqlite3"), {database, sql});
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
      std::fprintf(stderr, "sqlite3 failed: %s\n", cli.readAllStandardError().constData());
      std::exit(2);
    }
    best.Keep({static_cast<double>(timer.nsecsElapsed()) / 1e6, ChildrenCpuMillis() - cpu});
  }
  return best;
}

bool GenerateIfAsked(int argc, char** argv, const OrdersDatabase& db) {
  if (argc <= 1 || std::string(argv[1]) != "--generate") return false;
  const double generated = dbbench::EnsureOrdersDatabase(db.path, db.orders, db.clients, db.users);
  if (generated > 0) std::printf("generated %d orders in %.1f s\n", db.orders, generated);
  return true;
}

bool GenerateInChild() {
  return QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate")}) == 0;
}

}  // namespace bench
