#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class TDataSet;

namespace ui {

// The order of one field's values over a data set's visible rows, as compact numbers:
// every row gets the rank of its value (0 = the smallest; nulls first; texts without
// case, then exactly), so that sorting, grouping and filtering compare integers instead
// of reading cells again. Values that show the same display text (two times of one day
// under "dd/mm/yyyy", null and "") form one display group; groups are what the grid
// groups and filters by, and they are numbered in rank order.
//
// Built in O(n log n) from the data set's cursor-free accessors; costs 4 bytes a row
// plus a little per distinct value. Stale as soon as the data set's rows change.
class GridKeys {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // Reads every visible row of the field.
  void Build(const TDataSet& dataSet, int fieldIndex);
  bool Built() const { return fieldIndex_ >= 0; }
  int FieldIndex() const { return fieldIndex_; }

  uint32_t RankCount() const { return static_cast<uint32_t>(firstRowOfRank_.size()); }
  uint32_t Rank(uint32_t row) const { return rank_[row]; }

  // Display groups: formats one value per rank once, on first use.
  void EnsureGroups(const TDataSet& dataSet);
  uint32_t GroupCount() const { return static_cast<uint32_t>(groupText_.size()); }
  uint32_t Group(uint32_t row) const { return groupOfRank_[rank_[row]]; }
  const QString& GroupText(uint32_t group) const { return groupText_[group]; }
  // The group of empty texts and nulls, kNone when there is none.
  uint32_t BlankGroup() const { return blankGroup_; }
  // A row holding a value of the group.
  uint32_t GroupRow(uint32_t group) const { return firstRowOfRank_[firstRankOfGroup_[group]]; }

  size_t MemoryBytes() const;

 private:
  void BuildNumbers(const TDataSet& dataSet, bool isFloat, uint32_t rows);
  void BuildTexts(const TDataSet& dataSet, uint32_t rows);

  int fieldIndex_ = -1;
  std::vector<uint32_t> rank_;            // per row
  std::vector<uint32_t> firstRowOfRank_;  // per rank: a row holding that value
  std::vector<uint32_t> groupOfRank_;     // per rank
  std::vector<uint32_t> firstRankOfGroup_;
  std::vector<QString> groupText_;
  uint32_t blankGroup_ = kNone;
};

}  // namespace ui
