// Figures of the data set layer against bare SQLite, side by side in one run:
//   1. opening the order list (three tables, RIGHT JOINs) over 1,000,000 orders as a
//      data set, against a bare sqlite3_step loop reading every column;  target <= 1.5x
//   2. resident memory of that open data set against the bytes of its values;  target <= 2x
//   3. posting 10,000 appended rows, each committed, against a bare prepared INSERT loop
//      in autocommit with the same durability;  target <= 2x
// The order database is generated once into /tmp and reused.

#include <malloc.h>
#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/db_bench_data.h"
#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/JetDialect.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr int kOrders = 1000000;
constexpr int kClients = 20000;
constexpr int kUsers = 40;
constexpr int kPosts = 10000;
constexpr int kRounds = 3;

const char* const kOrderList =
    "SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
    "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = os.cliente_id) ON "
    "u.id = "
    "os.user_id;";

QString ConnectionString(const QString& path) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
         QStringLiteral(";Jet OLEDB:Database Password=");
}

// Wall time and the process's CPU time: on a shared machine the CPU time is the steadier
// comparison of two loops doing the same reads; the wall time also counts the syncs.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
};

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class Stopwatch {
 public:
  Stopwatch() : cpu_(CpuSeconds()) { wall_.start(); }
  Timing Elapsed() const { return {static_cast<double>(wall_.nsecsElapsed()) / 1e9, CpuSeconds() - cpu_}; }

 private:
  QElapsedTimer wall_;
  double cpu_;
};

Timing Best(const Timing& a, const Timing& b) {
  return {std::min(a.wall, b.wall), std::min(a.cpu, b.cpu)};
}

size_t HeapInUse() {
  return mallinfo2().uordblks + mallinfo2().hblkhd;
}

size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// The bare loop: every column of every row read in its own type.
Timing BareRead(const QString& path, long long& checksum) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  Stopwatch timer;
  const QByteArray sql = db::jet::ToSqlite(QString::fromUtf8(kOrderList)).toUtf8();
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
  const int columns = sqlite3_column_count(stmt);
  checksum = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
          checksum += sqlite3_column_int64(stmt, c);
          break;
        case SQLITE_FLOAT:
          checksum += static_cast<long long>(sqlite3_column_double(stmt, c));
          break;
        case SQLITE_TEXT:
          checksum += sqlite3_column_bytes(stmt, c) + sqlite3_column_text(stmt, c)[0];
          break;
        default:
          break;
      }
    }
  }
  sqlite3_finalize(stmt);
  const Timing elapsed = timer.Elapsed();
  sqlite3_close_v2(db);
  return elapsed;
}

Timing DataSetOpen(TADOConnection& connection, int& rows) {
  TADODataSet ds;
  ds.SetConnection(&connection);
  ds.SetCommandText(QString::fromUtf8(kOrderList));
  Stopwatch timer;
  ds.Open();
  const Timing elapsed = timer.Elapsed();
  rows = ds.RecordCount();
  return elapsed;
}

// Bytes of the values an open data set holds: texts 2 bytes per UTF-16 unit (as QString
// holds them), integers 4, yes/no 1, currency, floats and dates 8, nulls nothing.
void ValueBytes(const TDataSet& ds, size_t& utf16, size_t& utf8) {
  utf16 = utf8 = 0;
  for (int f = 0; f < ds.FieldCount(); ++f) {
    const TFieldType type = ds.Fields(f)->DataType();
    for (int r = 0; r < ds.RecordCount(); ++r) {
      const db::Value v = ds.CellAt(r, f);
      if (v.isNull) continue;
      switch (type) {
        case ftWideString:
          utf16 += 2 * static_cast<size_t>(v.s.size());
          utf8 += static_cast<size_t>(v.s.toUtf8().size());
          break;
        case ftAutoInc:
        case ftInteger:
          utf16 += 4;
          utf8 += 4;
          break;
        case ftBoolean:
          utf16 += 1;
          utf8 += 1;
          break;
        default:
          utf16 += 8;
          utf8 += 8;
          break;
      }
    }
  }
}

void Durable(sqlite3* db) {
  sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
}

Timing BareInserts(const QString& path, int count) {
  dbbench::CreateSchema(path);
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  Durable(db);
  Stopwatch timer;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO OrdensServico (cliente_id, user_id, dt_entrada, vlr_total, user_recept_id, "
                     "dt_saida, dt_create, dt_alt, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                     -1, &stmt, nullptr);
  for (int i = 0; i < count; ++i) {
    sqlite3_bind_int(stmt, 1, 1 + i % 100);
    sqlite3_bind_int(stmt, 2, 1 + i % 7);
    sqlite3_bind_text(stmt, 3, "2024-05-06 07:08:09", -1, SQLITE_STATIC);
    sqlite3_bind_double(stmt, 4, 123.45);
    sqlite3_bind_int(stmt, 5, 1 + i % 5);
    sqlite3_bind_text(stmt, 6, "2024-05-07 00:00:00", -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 7, "2024-05-06 07:08:09", -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 8, "2024-05-06 07:08:09", -1, SQLITE_STATIC);
    sqlite3_bind_int(stmt, 9, -1);
    if (sqlite3_step(stmt) != SQLITE_DONE) std::fprintf(stderr, "insert: %s\n", sqlite3_errmsg(db));
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  const Timing elapsed = timer.Elapsed();
  sqlite3_close_v2(db);
  return elapsed;
}

Timing DataSetPosts(const QString& path, int count) {
  dbbench::CreateSchema(path);
  TADOConnection connection;
  connection.SetConnectionString(ConnectionString(path));
  connection.Open();
  TADODataSet ds;
  ds.SetConnection(&connection);
  ds.SetCommandText(QStringLiteral("select * from OrdensServico"));
  ds.Open();
  TField* f[10];
  for (int i = 0; i < 10; ++i) f[i] = ds.Fields(i);
  const TDateTime entry = rtl::EncodeDate(2024, 5, 6) + rtl::EncodeTime(7, 8, 9, 0);
  const TDateTime exit = rtl::EncodeDate(2024, 5, 7);
  Stopwatch timer;
  for (int i = 0; i < count; ++i) {
    ds.Append();
    f[1]->SetAsInteger(1 + i % 100);
    f[2]->SetAsInteger(1 + i % 7);
    f[3]->SetAsDateTime(entry);
    f[4]->SetAsCurrency(Currency::FromRaw(1234500));
    f[5]->SetAsInteger(1 + i % 5);
    f[6]->SetAsDateTime(exit);
    f[7]->SetAsDateTime(entry);
    f[8]->SetAsDateTime(entry);
    f[9]->SetAsBoolean(true);
    ds.Post();
  }
  const Timing elapsed = timer.Elapsed();
  if (ds.RecordCount() != count) std::fprintf(stderr, "posted %d rows\n", ds.RecordCount());
  return elapsed;
}

// Judged on CPU time or on wall time, as said; both are shown.
bool Report(const char* what, const Timing& ours, const Timing& bare, double target, bool judgeCpu) {
  const double wallRatio = ours.wall / bare.wall;
  const double cpuRatio = ours.cpu / bare.cpu;
  const double ratio = judgeCpu ? cpuRatio : wallRatio;
  std::printf(
      "%-42s data set %8.3f s (cpu %7.3f)  bare %8.3f s (cpu %7.3f)  ratio %.2f, cpu %.2f  (target <= %.1f "
      "%s) %s\n",
      what, ours.wall, ours.cpu, bare.wall, bare.cpu, wallRatio, cpuRatio, target, judgeCpu ? "cpu" : "wall",
      ratio <= target ? "OK" : "MISSED");
  return ratio <= target;
}

bool ReportMemory(double ours, double values, double target) {
  const double ratio = ours / values;
  std::printf("%-42s data set %8.1f MB  values %8.1f MB  ratio %.2f (target <= %.1f) %s\n",
              "2. resident memory of open data set / values", ours, values, ratio, target,
              ratio <= target ? "OK" : "MISSED");
  return ratio <= target;
}

}  // namespace

int main(int argc, char** argv) {
  // "open", "memory" or "post" runs one part only (for profiling); nothing runs all.
  const std::string only = argc > 1 ? argv[1] : "";
  auto runs = [&only](const char* part) { return only.empty() || only == part; };
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  try {
    const QString orders = QStringLiteral("/tmp/quorvel_db_bench_orders.db");
    const double generated = dbbench::EnsureOrdersDatabase(orders, kOrders, kClients, kUsers);
    if (generated > 0)
      std::printf("generated %d orders in %.1f s into %s\n", kOrders, generated, qPrintable(orders));

    TADOConnection connection;
    connection.SetConnectionString(ConnectionString(orders));
    connection.Open();

    // 1. Open against the bare loop, alternating, best of a few rounds (warm cache).
    bool ok = true;
    if (runs("open")) {
      Timing bestBare, bestOpen;
      long long checksum = 0;
      int rows = 0;
      BareRead(orders, checksum);  // warms the page cache
      for (int round = 0; round < kRounds; ++round) {
        bestBare = Best(bestBare, BareRead(orders, checksum));
        bestOpen = Best(bestOpen, DataSetOpen(connection, rows));
      }
      std::printf("order list: %d rows\n", rows);
      ok = Report("1. open order list (1M rows)", bestOpen, bestBare, 1.5, true);
    }

    // 2. Resident memory of the open data set against the bytes of its values.
    if (runs("memory")) {
      malloc_trim(0);
      const size_t heapBefore = HeapInUse();
      const size_t rssBefore = ResidentBytes();
      {
        TADODataSet ds;
        ds.SetConnection(&connection);
        ds.SetCommandText(QString::fromUtf8(kOrderList));
        ds.Open();
        malloc_trim(0);
        const double heap = static_cast<double>(HeapInUse() - heapBefore);
        const double rss = static_cast<double>(ResidentBytes()) - static_cast<double>(rssBefore);
        size_t utf16 = 0, utf8 = 0;
        ValueBytes(ds, utf16, utf8);
        std::printf(
            "snapshot: %.1f MB held by the data set's vectors, heap delta %.1f MB, resident delta %.1f MB\n",
            static_cast<double>(ds.SnapshotBytes()) / 1e6, heap / 1e6, rss / 1e6);
        ok = ReportMemory(rss / 1e6, static_cast<double>(utf16) / 1e6, 2.0) && ok;
        std::printf("   (texts counted as UTF-8 instead: values %.1f MB, ratio %.2f)\n",
                    static_cast<double>(utf8) / 1e6, rss / static_cast<double>(utf8));
      }
    }

    // 3. Posting appended rows, each committed, against bare inserts in autocommit. On a
    // RAM file system the commit still writes and deletes its journal but syncs nothing,
    // which leaves our own cost in full view; a short run on the disk adds the real syncs.
    if (runs("post")) {
      const struct {
        const char* what;
        QString path;
        int rows;
      } places[] = {
          {"3. post 10,000 appended rows (RAM fs)", QStringLiteral("/dev/shm/quorvel_db_bench_posts.db"),
           kPosts},
          {"   post 300 appended rows (disk, fsync)", QStringLiteral("/tmp/quorvel_db_bench_posts.db"), 300},
      };
      for (const auto& place : places) {
        const Timing bare = BareInserts(place.path, place.rows);
        const Timing ours = DataSetPosts(place.path, place.rows);
        QFile::remove(place.path);
        ok = Report(place.what, ours, bare, 2.0, false) && ok;
        std::printf("   per row: data set %.1f us, bare %.1f us\n", ours.wall / place.rows * 1e6,
                    bare.wall / place.rows * 1e6);
      }
    }
    return ok ? 0 : 1;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(e.ClassName()), e.what());
    return 2;
  }
}
