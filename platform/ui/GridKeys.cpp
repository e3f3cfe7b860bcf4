#include "platform/ui/GridKeys.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <utility>

#include "platform/db/DataSet.h"

namespace ui {

namespace {

// Unsigned numbers that sort as the signed or floating values they stand for.
uint64_t OrderedBits(int64_t value) {
  return static_cast<uint64_t>(value) ^ (uint64_t(1) << 63);
}
uint64_t OrderedBits(double value) {
  const uint64_t bits = std::bit_cast<uint64_t>(value == 0.0 ? 0.0 : value);  // -0 == +0
  return (bits >> 63) != 0 ? ~bits : bits | (uint64_t(1) << 63);
}

bool TextLess(const QString& a, const QString& b) {
  const int folded = QString::compare(a, b, Qt::CaseInsensitive);
  return folded != 0 ? folded < 0 : a < b;
}

}  // namespace

void GridKeys::Build(const TDataSet& dataSet, int fieldIndex) {
  *this = GridKeys();
  fieldIndex_ = fieldIndex;
  const uint32_t rows = static_cast<uint32_t>(std::max(0, dataSet.RecordCount()));
  rank_.assign(rows, 0);
  TField* field = dataSet.Fields(fieldIndex);
  switch (db::StorageOf(field->DataType())) {
    case db::Storage::Int:
      BuildNumbers(dataSet, false, rows);
      break;
    case db::Storage::Float:
      BuildNumbers(dataSet, true, rows);
      break;
    case db::Storage::Text:
      BuildTexts(dataSet, rows);
      break;
  }
}

void GridKeys::BuildNumbers(const TDataSet& dataSet, bool isFloat, uint32_t rows) {
  // (value, row) pairs sorted once; nulls take rank 0 ahead of every value.
  std::vector<std::pair<uint64_t, uint32_t>> keyed;
  keyed.reserve(rows);
  uint32_t firstNull = kNone;
  for (uint32_t row = 0; row < rows; ++row) {
    const db::Value cell = dataSet.CellAt(static_cast<int>(row), fieldIndex_);
    if (cell.isNull) {
      if (firstNull == kNone) firstNull = row;
      rank_[row] = kNone;
      continue;
    }
    keyed.emplace_back(isFloat ? OrderedBits(cell.f) : OrderedBits(cell.i), row);
  }
  std::sort(keyed.begin(), keyed.end());
  if (firstNull != kNone) firstRowOfRank_.push_back(firstNull);
  const uint32_t nullRank = 0;
  for (size_t i = 0; i < keyed.size(); ++i) {
    if (i == 0 || keyed[i].first != keyed[i - 1].first) firstRowOfRank_.push_back(keyed[i].second);
    rank_[keyed[i].second] = static_cast<uint32_t>(firstRowOfRank_.size() - 1);
  }
  if (firstNull != kNone)
    for (uint32_t row = firstNull; row < rows; ++row)
      if (rank_[row] == kNone) rank_[row] = nullRank;
  firstRowOfRank_.shrink_to_fit();
}

void GridKeys::BuildTexts(const TDataSet& dataSet, uint32_t rows) {
  // Few distinct texts in a typical column: number them through a hash first, then sort
  // only the distinct ones.
  QHash<QString, uint32_t> ids;
  std::vector<QString> distinct;
  std::vector<uint32_t> firstRow;
  uint32_t nullId = kNone;
  for (uint32_t row = 0; row < rows; ++row) {
    db::Value cell = dataSet.CellAt(static_cast<int>(row), fieldIndex_);
    uint32_t id;
    if (cell.isNull) {
      if (nullId == kNone) {
        nullId = static_cast<uint32_t>(distinct.size());
        distinct.emplace_back();
        firstRow.push_back(row);
      }
      id = nullId;
    } else {
      auto found = ids.find(cell.s);
      if (found == ids.end()) {
        id = static_cast<uint32_t>(distinct.size());
        ids.insert(cell.s, id);
        distinct.push_back(std::move(cell.s));
        firstRow.push_back(row);
      } else {
        id = found.value();
      }
    }
    rank_[row] = id;
  }
  ids.clear();
  std::vector<uint32_t> order(distinct.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    if (a == nullId || b == nullId) return a == nullId && b != nullId;
    return TextLess(distinct[a], distinct[b]);
  });
  std::vector<uint32_t> rankOfId(distinct.size());
  firstRowOfRank_.resize(distinct.size());
  for (uint32_t r = 0; r < order.size(); ++r) {
    rankOfId[order[r]] = r;
    firstRowOfRank_[r] = firstRow[order[r]];
  }
  for (uint32_t& value : rank_) value = rankOfId[value];
}

void GridKeys::EnsureGroups(const TDataSet& dataSet) {
  if (!groupOfRank_.empty() || RankCount() == 0) return;
  groupOfRank_.resize(RankCount());
  for (uint32_t r = 0; r < RankCount(); ++r) {
    QString text = dataSet.DisplayTextAt(static_cast<int>(firstRowOfRank_[r]), fieldIndex_);
    // Ranks are in value order, so values that read alike sit next to each other.
    if (groupText_.empty() || groupText_.back() != text) {
      if (text.trimmed().isEmpty() && blankGroup_ == kNone)
        blankGroup_ = static_cast<uint32_t>(groupText_.size());
      groupText_.push_back(std::move(text));
      firstRankOfGroup_.push_back(r);
    }
    groupOfRank_[r] = static_cast<uint32_t>(groupText_.size() - 1);
  }
}

size_t GridKeys::MemoryBytes() const {
  size_t bytes = (rank_.capacity() + firstRowOfRank_.capacity() + groupOfRank_.capacity() +
                  firstRankOfGroup_.capacity()) *
                 sizeof(uint32_t);
  for (const QString& text : groupText_) bytes += sizeof(QString) + static_cast<size_t>(text.capacity()) * 2;
  return bytes;
}

}  // namespace ui
