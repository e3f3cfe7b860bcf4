#include "platform/ui/GridRows.h"

#include <algorithm>
#include <bit>

#include "platform/db/DataSet.h"

namespace ui {

namespace {

int BitsFor(uint32_t count) {
  return count <= 1 ? 0 : std::bit_width(count - 1);
}

// One ordering key, read per row.
struct KeyColumn {
  const GridKeys* keys;
  bool byGroup;
  bool descending;
  uint32_t count;
  uint32_t At(uint32_t row) const {
    const uint32_t k = byGroup ? keys->Group(row) : keys->Rank(row);
    return descending ? count - 1 - k : k;
  }
};

}  // namespace

void GridRows::SetDataSet(const TDataSet* dataSet) {
  dataSet_ = dataSet;
  Invalidate();
}

void GridRows::Invalidate() {
  RememberExpanded();
  keys_.clear();
  order_.clear();
  nodes_.clear();
  positionOf_.clear();
  leafBegin_ = 0;
}

uint32_t GridRows::SourceRowCount() const {
  if (dataSet_ == nullptr || !dataSet_->Active()) return 0;
  return static_cast<uint32_t>(dataSet_->RecordCount());
}

GridKeys& GridRows::Keys(int field) {
  GridKeys& keys = keys_[field];
  if (!keys.Built()) keys.Build(*dataSet_, field);
  return keys;
}

void GridRows::Build(const GridRowSpec& spec) {
  RememberExpanded();
  spec_ = spec;
  order_.clear();
  nodes_.clear();
  positionOf_.clear();
  leafBegin_ = 0;
  if (SourceRowCount() == 0) return;
  Filter();
  Sort();
  Group();
}

std::vector<std::pair<GridKeys*, std::vector<bool>>> GridRows::FilterTests(int skipField) {
  std::vector<std::pair<GridKeys*, std::vector<bool>>> tests;
  for (const GridValueFilter& filter : spec_.filters) {
    if (filter.field == skipField || filter.field < 0) continue;
    GridKeys& keys = Keys(filter.field);
    keys.EnsureGroups(*dataSet_);
    std::vector<bool> allowed(keys.GroupCount());
    for (uint32_t g = 0; g < keys.GroupCount(); ++g)
      allowed[g] = g == keys.BlankGroup() ? filter.blanks : filter.values.contains(keys.GroupText(g));
    tests.emplace_back(&keys, std::move(allowed));
  }
  return tests;
}

bool GridRows::Passes(uint32_t row, const std::vector<std::pair<GridKeys*, std::vector<bool>>>& tests) const {
  for (const auto& [keys, allowed] : tests)
    if (!allowed[keys->Group(row)]) return false;
  return true;
}

void GridRows::Filter() {
  const uint32_t rows = SourceRowCount();
  const auto tests = FilterTests(-1);
  order_.reserve(rows);
  for (uint32_t row = 0; row < rows; ++row)
    if (tests.empty() || Passes(row, tests)) order_.push_back(row);
  order_.shrink_to_fit();
}

void GridRows::Sort() {
  std::vector<KeyColumn> columns;
  for (const GridOrderKey& key : spec_.groups) {
    GridKeys& keys = Keys(key.field);
    keys.EnsureGroups(*dataSet_);
    columns.push_back({&keys, true, key.descending, keys.GroupCount()});
  }
  for (const GridOrderKey& key : spec_.sorts) {
    GridKeys& keys = Keys(key.field);
    columns.push_back({&keys, false, key.descending, keys.RankCount()});
  }
  if (columns.empty()) return;  // the data set's own order

  // Usually every key and the row number fit one 64-bit word: one plain integer sort.
  const int rowBits = BitsFor(SourceRowCount());
  int bits = rowBits;
  for (const KeyColumn& c : columns) bits += BitsFor(c.count);
  if (bits <= 64) {
    std::vector<uint64_t> packed(order_.size());
    for (size_t i = 0; i < order_.size(); ++i) {
      const uint32_t row = order_[i];
      uint64_t word = 0;
      for (const KeyColumn& c : columns) word = (word << BitsFor(c.count)) | c.At(row);
      packed[i] = rowBits == 0 ? word : (word << rowBits) | row;
    }
    std::sort(packed.begin(), packed.end());
    const uint64_t rowMask = rowBits == 64 ? ~uint64_t(0) : (uint64_t(1) << rowBits) - 1;
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<uint32_t>(packed[i] & rowMask);
    return;
  }
  std::sort(order_.begin(), order_.end(), [&columns](uint32_t a, uint32_t b) {
    for (const KeyColumn& c : columns) {
      const uint32_t ka = c.At(a);
      const uint32_t kb = c.At(b);
      if (ka != kb) return ka < kb;
    }
    return a < b;
  });
}

void GridRows::Group() {
  if (spec_.groups.empty() || order_.empty()) return;
  std::vector<const GridKeys*> keys;
  for (const GridOrderKey& key : spec_.groups) keys.push_back(&Keys(key.field));

  auto cut = [&](uint32_t first, uint32_t end, uint16_t level, int32_t parent) {
    const GridKeys& k = *keys[level];
    for (uint32_t i = first; i < end;) {
      const uint32_t group = k.Group(order_[i]);
      uint32_t j = i + 1;
      while (j < end && k.Group(order_[j]) == group) ++j;
      GridGroupNode node;
      node.first = i;
      node.count = j - i;
      node.parent = parent;
      node.group = group;
      node.level = level;
      nodes_.push_back(node);
      i = j;
    }
  };
  cut(0, Count(), 0, -1);
  uint32_t levelBegin = 0;
  for (uint16_t level = 1; level < keys.size(); ++level) {
    const uint32_t levelEnd = static_cast<uint32_t>(nodes_.size());
    for (uint32_t p = levelBegin; p < levelEnd; ++p) {
      nodes_[p].childBegin = static_cast<uint32_t>(nodes_.size());
      cut(nodes_[p].first, nodes_[p].first + nodes_[p].count, level, static_cast<int32_t>(p));
      nodes_[p].childCount = static_cast<uint32_t>(nodes_.size()) - nodes_[p].childBegin;
    }
    levelBegin = levelEnd;
  }
  leafBegin_ = levelBegin;
  for (uint32_t i = leafBegin_; i < nodes_.size(); ++i) nodes_[i].childCount = nodes_[i].count;
  if (!expandedPaths_.isEmpty())
    for (uint32_t i = 0; i < nodes_.size(); ++i) nodes_[i].expanded = expandedPaths_.contains(PathOf(i));
  nodes_.shrink_to_fit();
}

uint32_t GridRows::TopCount() const {
  if (spec_.groups.empty()) return Count();
  uint32_t top = 0;
  while (top < nodes_.size() && nodes_[top].level == 0) ++top;
  return top;
}

uint32_t GridRows::LeafOf(uint32_t position) const {
  auto begin = nodes_.begin() + leafBegin_;
  auto it = std::upper_bound(begin, nodes_.end(), position,
                             [](uint32_t pos, const GridGroupNode& node) { return pos < node.first; });
  return static_cast<uint32_t>((it - nodes_.begin()) - 1);
}

int GridRows::PositionOf(uint32_t row) const {
  if (positionOf_.empty() && !order_.empty()) {
    positionOf_.assign(SourceRowCount(), -1);
    for (uint32_t i = 0; i < order_.size(); ++i) positionOf_[order_[i]] = static_cast<int32_t>(i);
  }
  return row < positionOf_.size() ? positionOf_[row] : -1;
}

QString GridRows::NodeValue(uint32_t node) const {
  const GridGroupNode& n = nodes_[node];
  return keys_.at(spec_.groups[n.level].field).GroupText(n.group);
}

QString GridRows::PathOf(uint32_t node) const {
  QString path;
  for (int32_t i = static_cast<int32_t>(node); i >= 0; i = nodes_[static_cast<uint32_t>(i)].parent)
    path.prepend(QString::number(NodeField(static_cast<uint32_t>(i))) + QLatin1Char(':') +
                 NodeValue(static_cast<uint32_t>(i)) + QChar(0x1f));
  return path;
}

// Open groups are known by their values, which outlive the nodes and the keys.
void GridRows::RememberExpanded() {
  for (uint32_t i = 0; i < nodes_.size(); ++i)
    if (nodes_[i].expanded) expandedPaths_.insert(PathOf(i));
}

void GridRows::SetExpanded(uint32_t node, bool expanded) {
  nodes_[node].expanded = expanded;
  if (!expanded) expandedPaths_.remove(PathOf(node));
}

std::vector<uint32_t> GridRows::FilterChoices(int field) {
  std::vector<uint32_t> choices;
  const uint32_t rows = SourceRowCount();
  if (rows == 0) return choices;
  GridKeys& keys = Keys(field);
  keys.EnsureGroups(*dataSet_);
  const auto tests = FilterTests(field);
  std::vector<bool> present(keys.GroupCount());
  for (uint32_t row = 0; row < rows; ++row)
    if (tests.empty() || Passes(row, tests)) present[keys.Group(row)] = true;
  for (uint32_t g = 0; g < present.size(); ++g)
    if (present[g]) choices.push_back(g);
  return choices;
}

size_t GridRows::MemoryBytes() const {
  size_t bytes = order_.capacity() * sizeof(uint32_t) + positionOf_.capacity() * sizeof(int32_t) +
                 nodes_.capacity() * sizeof(GridGroupNode);
  for (const auto& [field, keys] : keys_) bytes += keys.MemoryBytes();
  return bytes;
}

}  // namespace ui
