// Figures of the data grid over the order list, side by side in one run:
//   1. binding the grid and painting its first screen, 100,000 rows against 1,000 rows:
//      the grid reads only the rows on screen, so the two stay close;       target <= 2x
//   2. paging through all 100,000 rows, painting each screen: time per screen
//      against a 60 Hz frame (16.7 ms);                                      target <= 1x
//   3. moving the data set's cursor row by row over all 100,000 rows with the grid
//      selecting and scrolling along: time per move against 0.1 ms;         target <= 1x
// The order database is generated once into /tmp and reused.

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/db_bench_data.h"
#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DataSetModel.h"

namespace {

constexpr int kOrders = 100000;
constexpr int kSmall = 1000;
constexpr int kRounds = 3;

QString OrderList(const QString& where) {
  return QStringLiteral(
             "SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
             "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = "
             "os.cliente_id) ON u.id = os.user_id") +
         where + QStringLiteral(";");
}

double Millis(const QElapsedTimer& t) {
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// The search window's formats, so that every cell is formatted as it is there.
void SetUpFields(TDataSet& ds) {
  ds.Fields(0)->SetDisplayLabel(QStringLiteral("Código"));
  ds.Fields(0)->SetDisplayWidth(9);
  ds.Fields(1)->SetDisplayLabel(QStringLiteral("Cliente"));
  ds.Fields(1)->SetDisplayWidth(30);
  ds.Fields(2)->SetDisplayLabel(QStringLiteral("Recebeu"));
  ds.Fields(2)->SetDisplayWidth(20);
  ds.Fields(3)->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
  ds.Fields(4)->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
  ds.Fields(5)->SetDisplayFormat(QStringLiteral("#,##0.00"));
}

struct Grid {
  explicit Grid(TADOConnection& connection, const QString& sql)
      : ds(nullptr), source(nullptr), grid(nullptr) {
    ds.SetConnection(&connection);
    ds.SetCommandText(sql);
    ds.Open();
    SetUpFields(ds);
    grid.resize(894, 408);
    grid.show();
  }
  TADODataSet ds;
  TDataSource source;
  TDBGrid grid;
};

// Binding and the first full paint of the grid, in milliseconds.
double BindAndPaint(Grid& g) {
  g.source.SetDataSet(nullptr);
  g.grid.SetDataSource(nullptr);
  QElapsedTimer timer;
  timer.start();
  g.source.SetDataSet(&g.ds);
  g.grid.SetDataSource(&g.source);
  g.grid.grab();  // paints every part of the grid now, as the screen would
  return Millis(timer);
}

bool Report(const char* what, double measured, double reference, const char* unit, double target) {
  const double ratio = measured / reference;
  const bool ok = ratio <= target;
  std::printf("%-58s %10.3f %s vs %10.3f %s  ratio %5.2f (target <= %.1f) %s\n", what, measured, unit,
              reference, unit, ratio, target, ok ? "ok" : "MISSED");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  try {
    const QString path = QStringLiteral("/tmp/quorvel_grid_bench_orders.db");
    const double generated = dbbench::EnsureOrdersDatabase(path, kOrders, 5000, 40);
    if (generated > 0)
      std::printf("generated %d orders in %.1f s into %s\n", kOrders, generated, qPrintable(path));

    TADOConnection connection;
    connection.SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                                   QStringLiteral(";Jet OLEDB:Database Password="));
    connection.Open();

    QElapsedTimer openTimer;
    openTimer.start();
    Grid big(connection, OrderList({}));
    const double openMs = Millis(openTimer);
    Grid small(connection, OrderList(QStringLiteral(" WHERE os.id <= %1").arg(kSmall)));
    std::printf("order list: %d rows opened in %.0f ms (the data set; the grid not yet bound)\n",
                big.ds.RecordCount(), openMs);

    // 1. Bind and first paint, best of a few rounds, large against small.
    double bestBig = 1e9, bestSmall = 1e9;
    for (int round = 0; round < kRounds; ++round) {
      bestSmall = std::min(bestSmall, BindAndPaint(small));
      bestBig = std::min(bestBig, BindAndPaint(big));
    }
    bool ok = Report("1. bind + first paint, 100,000 rows vs 1,000 rows", bestBig, bestSmall, "ms", 2.0);

    // 2. Page through every row, painting each screen.
    const int rowHeight = big.grid.verticalHeader()->defaultSectionSize();
    const int pageRows = std::max(1, big.grid.viewport()->height() / rowHeight);
    QElapsedTimer pageTimer;
    pageTimer.start();
    int pages = 0;
    for (int row = 0; row < big.ds.RecordCount(); row += pageRows, ++pages) {
      big.grid.scrollTo(big.grid.Model()->index(row, 0), QAbstractItemView::PositionAtTop);
      big.grid.grab();
    }
    const double perPage = Millis(pageTimer) / pages;
    std::printf("paged through %d screens of %d rows in %.0f ms\n", pages, pageRows, Millis(pageTimer));
    ok = Report("2. one screen scrolled and painted", perPage, 1000.0 / 60.0, "ms", 1.0) && ok;

    // 3. Row-by-row cursor moves, the grid selecting and scrolling along.
    big.ds.First();
    QElapsedTimer moveTimer;
    moveTimer.start();
    int moves = 0;
    while (!big.ds.Eof()) {
      big.ds.Next();
      ++moves;
    }
    const double perMove = Millis(moveTimer) / moves;
    std::printf("moved the cursor %d times in %.0f ms; grid on row %d\n", moves, Millis(moveTimer),
                big.grid.currentIndex().row() + 1);
    ok = Report("3. one cursor move followed by the grid", perMove, 0.1, "ms", 1.0) && ok;
    if (big.grid.currentIndex().row() != big.ds.RecordCount() - 1) {
      std::printf("the grid did not follow the cursor\n");
      ok = false;
    }
    return ok ? 0 : 1;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    return 2;
  }
}
