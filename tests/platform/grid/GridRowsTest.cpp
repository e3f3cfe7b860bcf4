#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>
#include <numeric>

#include "platform/db/DataSet.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/GridRows.h"
#include "tests/platform/grid/GridFixture.h"

namespace gridtest {
namespace {

// Order of two cells as the grid sorts them: nulls first, texts without case then exactly.
int Compare(const TDataSet& ds, int a, int b, int field) {
  const db::Value x = ds.CellAt(a, field);
  const db::Value y = ds.CellAt(b, field);
  if (x.isNull || y.isNull) return int(!x.isNull) - int(!y.isNull);
  switch (db::StorageOf(ds.Fields(field)->DataType())) {
    case db::Storage::Int:
      return x.i < y.i ? -1 : x.i > y.i ? 1 : 0;
    case db::Storage::Float:
      return x.f < y.f ? -1 : x.f > y.f ? 1 : 0;
    case db::Storage::Text: {
      const int folded = QString::compare(x.s, y.s, Qt::CaseInsensitive);
      return folded != 0 ? folded : QString::compare(x.s, y.s);
    }
  }
  return 0;
}

class GridRowsTest : public GridTest {
 protected:
  // Many orders with few clients and users, many totals and dates.
  void OpenMany(int count) {
    QRandomGenerator random(7);
    std::vector<Order> orders;
    const QStringList clients{QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Bruno"),
                              QString(), QStringLiteral("Célia")};
    for (int i = 0; i < count; ++i) {
      const QDateTime entrada = QDateTime(QDate(2020, 1, 1), QTime(8, 0))
                                    .addSecs(random.bounded(2000) * 86400 + random.bounded(36000));
      orders.push_back(
          {clients[random.bounded(clients.size())],
           random.bounded(4) == 0 ? QString() : QStringLiteral("Usuário %1").arg(random.bounded(6)),
           entrada.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), random.bounded(100000) / 100.0 - 200,
           random.bounded(2) == 0});
    }
    Open(orders);
  }

  std::vector<int> ExpectedOrder(const std::vector<ui::GridOrderKey>& keys) const {
    std::vector<int> rows(static_cast<size_t>(list_->RecordCount()));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
      for (const ui::GridOrderKey& key : keys) {
        const int c = Compare(*list_, a, b, key.field);
        if (c != 0) return key.descending ? c > 0 : c < 0;
      }
      return false;
    });
    return rows;
  }
};

TEST_F(GridRowsTest, SortingByEveryColumnMatchesAPlainComparison) {
  OpenMany(2100);
  ui::GridRows rows;
  rows.SetDataSet(list_);
  // One and two keys pack into one machine word; seven keys of 2,100 rows do not.
  const std::vector<std::vector<ui::GridOrderKey>> cases = {
      {{1, false}},
      {{5, true}},
      {{1, true}, {5, false}},
      {{1, false}, {2, true}, {6, false}, {5, true}, {3, false}, {4, true}, {0, false}},
  };
  for (const auto& keys : cases) {
    rows.Build({{}, keys, {}});
    const std::vector<int> expected = ExpectedOrder(keys);
    ASSERT_EQ(rows.Count(), expected.size());
    for (uint32_t i = 0; i < rows.Count(); ++i)
      ASSERT_EQ(static_cast<int>(rows.RowAt(i)), expected[i]) << "keys " << keys.size() << " position " << i;
  }
}

TEST_F(GridRowsTest, GroupsNestAsRangesOfTheOrderedRows) {
  OpenMany(300);
  ui::GridRows rows;
  rows.SetDataSet(list_);
  rows.Build({{{1, false}, {2, true}}, {{5, false}}, {}});
  ASSERT_EQ(rows.Levels(), 2);
  uint32_t covered = 0;
  for (uint32_t top = 0; top < rows.TopCount(); ++top) {
    const ui::GridGroupNode& node = rows.Nodes()[top];
    EXPECT_EQ(node.first, covered);
    covered += node.count;
    uint32_t inner = node.first;
    for (uint32_t child = node.childBegin; child < node.childBegin + node.childCount; ++child) {
      const ui::GridGroupNode& c = rows.Nodes()[child];
      EXPECT_EQ(c.parent, static_cast<int32_t>(top));
      EXPECT_EQ(c.first, inner);
      inner += c.count;
      for (uint32_t pos = c.first; pos < c.first + c.count; ++pos) {
        EXPECT_EQ(rows.LeafOf(pos), child);
        EXPECT_EQ(list_->DisplayTextAt(static_cast<int>(rows.RowAt(pos)), 2), rows.NodeValue(child));
        EXPECT_EQ(list_->DisplayTextAt(static_cast<int>(rows.RowAt(pos)), 1), rows.NodeValue(top));
        if (pos > c.first) {
          EXPECT_LE(Compare(*list_, rows.RowAt(pos - 1), rows.RowAt(pos), 5), 0);
        }
      }
    }
    EXPECT_EQ(inner, node.first + node.count);
  }
  EXPECT_EQ(covered, rows.Count());
  // "ana" and "Ana" are two groups; the blank one comes first.
  EXPECT_EQ(rows.NodeValue(0), QString());
  EXPECT_EQ(rows.NodeValue(1), QStringLiteral("Ana"));
  EXPECT_EQ(rows.NodeValue(2), QStringLiteral("ana"));
}

TEST_F(GridRowsTest, FiltersKeepRowsByDisplayTextAndOfferWhatTheOthersLeave) {
  OpenMany(300);
  ui::GridRows rows;
  rows.SetDataSet(list_);
  rows.Build({{}, {}, {{1, {QStringLiteral("Bruno")}, true}}});
  for (uint32_t i = 0; i < rows.Count(); ++i) {
    const QString client = list_->DisplayTextAt(static_cast<int>(rows.RowAt(i)), 1);
    EXPECT_TRUE(client.isEmpty() || client == QStringLiteral("Bruno"));
    if (i > 0) {
      EXPECT_LT(rows.RowAt(i - 1), rows.RowAt(i)) << "the data set's order stays";
    }
  }
  int expected = 0;
  for (int row = 0; row < list_->RecordCount(); ++row) {
    const QString client = list_->DisplayTextAt(row, 1);
    expected += client.isEmpty() || client == QStringLiteral("Bruno");
    EXPECT_EQ(rows.PositionOf(static_cast<uint32_t>(row)) >= 0,
              client.isEmpty() || client == QStringLiteral("Bruno"));
  }
  EXPECT_EQ(static_cast<int>(rows.Count()), expected);
  // The client filter leaves every client in its own list.
  EXPECT_EQ(rows.FilterChoices(1).size(), 5u);
  ui::GridKeys& keys = rows.Keys(1);
  EXPECT_EQ(keys.GroupText(keys.BlankGroup()), QString());
}

}  // namespace
}  // namespace gridtest
