#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
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

// The snapshot of a data set: rows of 8-byte cells, one per column, a presence bit per
// cell, and the texts as UTF-8 in a shared arena (a cell keeps where its text lies).
// Cells and texts live in fixed-size blocks, so loading never copies what it already
// holds and nothing needs trimming afterwards: a 100,000-row result costs about 8 bytes
// a cell plus its text. Reading a cell is O(1) and never touches the cursor. Rows are
// only appended; a deleted row simply stops being listed by its data set.
class RowStore {
 public:
  RowStore() = default;
  RowStore(RowStore&&) noexcept = default;
  RowStore& operator=(RowStore&&) noexcept = default;

  void Reset(std::vector<Storage> columns);
  void Clear();

  int ColumnCount() const { return static_cast<int>(storage_.size()); }
  int RowCount() const { return rows_; }
  Storage ColumnStorage(int column) const { return storage_[static_cast<size_t>(column)]; }

  // A new row with every cell null; gives its index.
  int AppendRow();
  // Gives back what loading reserved and did not use.
  void Shrink();

  bool IsNull(int row, int column) const {
    const size_t bit = Index(row, column);
    return !((present_[bit >> 6] >> (bit & 63)) & 1U);
  }
  int64_t Int(int row, int column) const { return static_cast<int64_t>(Cell(row, column)); }
  double Float(int row, int column) const;
  std::string_view Utf8(int row, int column) const;
  QString Text(int row, int column) const;
  Value Get(int row, int column) const;

  void SetNull(int row, int column);
  void SetInt(int row, int column, int64_t value) {
    Cell(row, column) = static_cast<uint64_t>(value);
    MarkPresent(row, column);
  }
  void SetFloat(int row, int column, double value);
  void SetUtf8(int row, int column, std::string_view utf8);
  void SetText(int row, int column, const QString& text);
  void Set(int row, int column, const Value& value);

  // Gives a column another storage, passing each cell held through convert.
  void Retype(int column, Storage to, const std::function<Value(const Value&)>& convert);

  // Bytes held by the snapshot's blocks and vectors.
  size_t MemoryBytes() const;

 private:
  // The snapshot lives in 2 MB blocks taken straight from the system and aligned, so
  // that all blocks but a snapshot's first may sit on huge pages: one page fault per
  // 2 MB instead of per 4 KB while a large result loads. A small result touches only
  // the few ordinary pages of its first blocks.
  static constexpr size_t kBlockBytes = size_t(2) << 20;
  struct Unmapper {
    size_t bytes = 0;
    void operator()(char* block) const;
  };
  using BlockPtr = std::unique_ptr<char, Unmapper>;
  static BlockPtr NewBlock(size_t bytes, bool huge);

  size_t Index(int row, int column) const {
    return static_cast<size_t>(row) * storage_.size() + static_cast<size_t>(column);
  }
  uint64_t& Cell(int row, int column) {
    const size_t r = static_cast<size_t>(row);
    return reinterpret_cast<uint64_t*>(
        cells_[r >> rowShift_].get())[(r & rowMask_) * storage_.size() + static_cast<size_t>(column)];
  }
  const uint64_t& Cell(int row, int column) const { return const_cast<RowStore*>(this)->Cell(row, column); }
  void MarkPresent(int row, int column) {
    const size_t bit = Index(row, column);
    present_[bit >> 6] |= uint64_t(1) << (bit & 63);
  }
  // Room for bytes of text; gives the block and the offset in it.
  char* AllocateText(size_t bytes, uint64_t& block, uint64_t& offset);

  std::vector<Storage> storage_;
  int rowShift_ = 0;  // rows per cell block: 1 << rowShift_
  size_t rowMask_ = 0;
  size_t cellBlockBytes_ = kBlockBytes;
  std::vector<BlockPtr> cells_;
  std::vector<uint64_t> present_;
  std::vector<BlockPtr> texts_;
  static constexpr size_t kNoBlock = ~size_t(0);
  size_t currentText_ = kNoBlock;  // the ordinary text block being filled
  size_t textUsed_ = 0;            // bytes used in it
  int rows_ = 0;
};

}  // namespace db
