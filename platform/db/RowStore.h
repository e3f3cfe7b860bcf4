#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/db/DataTypes.h"

namespace db {

// How a column's cells are held. The field kind decides the meaning of the number:
// integers, auto-numbers and yes/no (-1 or 0) are Int, currency is Int holding the
// Currency raw value (four implied decimals), date-times are Float holding TDateTime.
enum class Storage : uint8_t { Int, Float, Text };

Storage StorageOf(TFieldType type);

// Currency raw value (four implied decimals) nearest to a stored number.
int64_t CurrencyRawFromDouble(double value);

// One value outside the snapshot: the edit buffer, a value read back after a write.
struct Value {
  bool isNull = true;
  int64_t i = 0;
  double f = 0;
  QString s;

  static Value Null() { return {}; }
  static Value Int(int64_t v) { return {false, v, 0, {}}; }
  static Value Float(double v) { return {false, 0, v, {}}; }
  static Value Text(QString v) { return {false, 0, 0, std::move(v)}; }
  bool SameAs(const Value& other, Storage storage) const;
};

// A value of one field kind as another kind holds it; null when it does not convert
// (text that is no number).
Value ConvertValue(const Value& value, TFieldType from, TFieldType to);

// The snapshot of a data set: rows of 8-byte cells, one per column, in one vector, a
// null bit per cell, and the texts as UTF-8 in one shared arena (a cell keeps offset and
// length). A 100,000-row result costs about 8 bytes a cell plus its text, and reading a
// cell is O(1) without touching the cursor. Rows are only appended; a deleted row simply
// stops being listed by its data set.
class RowStore {
 public:
  // The longest text one cell can hold (the length field has 24 bits).
  static constexpr int64_t kMaxTextBytes = (int64_t(1) << 24) - 1;

  void Reset(std::vector<Storage> columns);
  void Clear();

  int ColumnCount() const { return static_cast<int>(storage_.size()); }
  int RowCount() const { return rows_; }
  Storage ColumnStorage(int column) const { return storage_[static_cast<size_t>(column)]; }

  // A new row with every cell null; gives its index.
  int AppendRow();
  void Reserve(int rows);
  // Gives back the slack of the growing vectors once loading is done.
  void Shrink();

  bool IsNull(int row, int column) const {
    const size_t bit = Index(row, column);
    return (nulls_[bit >> 6] >> (bit & 63)) & 1U;
  }
  int64_t Int(int row, int column) const { return static_cast<int64_t>(cells_[Index(row, column)]); }
  double Float(int row, int column) const;
  std::string_view Utf8(int row, int column) const;
  QString Text(int row, int column) const;
  Value Get(int row, int column) const;

  void SetNull(int row, int column);
  void SetInt(int row, int column, int64_t value);
  void SetFloat(int row, int column, double value);
  void SetUtf8(int row, int column, std::string_view utf8);
  void SetText(int row, int column, const QString& text);
  void Set(int row, int column, const Value& value);

  // Gives a column another storage, passing each cell held through convert.
  void Retype(int column, Storage to, const std::function<Value(const Value&)>& convert);

  // Bytes held by the snapshot's vectors (capacity, not size).
  size_t MemoryBytes() const;

 private:
  size_t Index(int row, int column) const {
    return static_cast<size_t>(row) * storage_.size() + static_cast<size_t>(column);
  }
  void SetNullBit(size_t bit, bool isNull);

  std::vector<Storage> storage_;
  std::vector<uint64_t> cells_;
  std::vector<uint64_t> nulls_;
  std::vector<char> text_;
  int rows_ = 0;
};

}  // namespace db
