#include <gtest/gtest.h>

#include "platform/db/RowStore.h"

using db::RowStore;
using db::Storage;
using db::Value;

TEST(RowStore, KeepsValuesAcrossBlocksWithNullsAndLongTexts) {
  RowStore store;
  store.Reset({Storage::Int, Storage::Text});
  const QString longText(1200000, QChar(0x00E9));  // 2.4 MB of UTF-8: a block of its own
  const int rows = 300000;                         // several cell and text blocks
  for (int r = 0; r < rows; ++r) {
    store.AppendRow();
    if (r % 7 != 0) store.SetInt(r, 0, -r);
    if (r % 5 == 1) store.SetText(r, 1, QStringLiteral("linha %1 ção").arg(r));
    if (r % 5 == 2) store.SetText(r, 1, QString());
  }
  store.SetText(123, 1, longText);
  for (int r : {0, 1, 2, 3, 6, 65535, 65536, 131073, rows - 1}) {
    EXPECT_EQ(store.IsNull(r, 0), r % 7 == 0) << r;
    if (r % 7 != 0) {
      EXPECT_EQ(store.Int(r, 0), -r) << r;
    }
    if (r % 5 == 1) {
      EXPECT_EQ(store.Text(r, 1), QStringLiteral("linha %1 ção").arg(r)) << r;
    }
    EXPECT_EQ(store.IsNull(r, 1), r % 5 != 1 && r % 5 != 2) << r;
  }
  EXPECT_EQ(store.Text(2, 1), QString());
  EXPECT_FALSE(store.IsNull(2, 1));  // empty text is not null
  EXPECT_EQ(store.Text(123, 1), longText);
  store.SetNull(1, 1);
  EXPECT_TRUE(store.IsNull(1, 1));

  store.Retype(0, Storage::Float, [](const Value& v) { return v.isNull ? v : Value::Float(v.i / 2.0); });
  EXPECT_EQ(store.ColumnStorage(0), Storage::Float);
  EXPECT_EQ(store.Float(3, 0), -1.5);
  EXPECT_TRUE(store.IsNull(7, 0));
}
