// Figures of the data set layer against bare SQLite, side by side in one run:
//   1. opening the order list (three tables, RIGHT JOINs) over 1,000,000 orders as a
//      data set, against a bare sqlite3_step loop reading every column;  target <= 1.5x
//   2. heap held by that open data set against the bytes of its values;  target <= 2x
//   3. posting 10,000 appended rows, each committed, against a bare prepared INSERT loop
//      in autocommit with the same durability;  target <= 2x
// The order database is generated once into /tmp and reused.

#include <malloc.h>
#include <sqlite3.h>
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

double Seconds(const QElapsedTimer& t) {
  return static_cast<double>(t.nsecsElapsed()) / 1e9;
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
double BareRead(const QString& path, long long& checksum) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  QElapsedTimer timer;
  timer.start();
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
  const double elapsed = Seconds(timer);
  sqlite3_close_v2(db);
  return elapsed;
}

double DataSetOpen(TADOConnection& connection, int& rows) {
  TADODataSet ds;
  ds.SetConnection(&connection);
  ds.SetCommandText(QString::fromUtf8(kOrderList));
  QElapsedTimer timer;
  timer.start();
  ds.Open();
  const double elapsed = Seconds(timer);
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

double BareInserts(const QString& path, int count) {
  dbbench::CreateSchema(path);
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  Durable(db);
  QElapsedTimer timer;
  timer.start();
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
  const double elapsed = Seconds(timer);
  sqlite3_close_v2(db);
  return elapsed;
}

double DataSetPosts(const QString& path, int count) {
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
  QElapsedTimer timer;
  timer.start();
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
  const double elapsed = Seconds(timer);
  if (ds.RecordCount() != count) std::fprintf(stderr, "posted %d rows\n", ds.RecordCount());
  return elapsed;
}

bool Report(const char* what, double ours, double bare, const char* unit, double target) {
  const double ratio = ours / bare;
  std::printf("%-44s data set %10.3f %s   bare %10.3f %s   ratio %.2f (target <= %.1f) %s\n", what, ours,
              unit, bare, unit, ratio, target, ratio <= target ? "OK" : "MISSED");
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
      double bestBare = 1e9, bestOpen = 1e9;
      long long checksum = 0;
      int rows = 0;
      BareRead(orders, checksum);  // warms the page cache
      for (int round = 0; round < kRounds; ++round) {
        bestBare = std::min(bestBare, BareRead(orders, checksum));
        bestOpen = std::min(bestOpen, DataSetOpen(connection, rows));
      }
      std::printf("order list: %d rows\n", rows);
      ok = Report("1. open order list (1M rows)", bestOpen, bestBare, "s ", 1.5);
    }

    // 2. Heap held by the open data set against the bytes of its values.
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
        ok = Report("2. heap of open data set / value bytes", heap / 1e6, static_cast<double>(utf16) / 1e6,
                    "MB", 2.0) &&
             ok;
        std::printf("   (texts counted as UTF-8 instead: values %.1f MB, ratio %.2f; resident/values %.2f)\n",
                    static_cast<double>(utf8) / 1e6, heap / static_cast<double>(utf8),
                    rss / static_cast<double>(utf16));
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
        const double bare = BareInserts(place.path, place.rows);
        const double ours = DataSetPosts(place.path, place.rows);
        QFile::remove(place.path);
        ok = Report(place.what, ours, bare, "s ", 2.0) && ok;
        std::printf("   per row: data set %.1f us, bare %.1f us\n", ours / place.rows * 1e6,
                    bare / place.rows * 1e6);
      }
    }
    return ok ? 0 : 1;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(e.ClassName()), e.what());
    return 2;
  }
}
