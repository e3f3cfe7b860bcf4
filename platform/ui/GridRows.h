#pragma once

#include <QSet>
#include <QString>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/ui/GridKeys.h"

class TDataSet;

namespace ui {

// What the grid asks of its rows: grouped fields (outermost first), then sort keys, and
// value filters. Fields are the data set's field indexes.
struct GridOrderKey {
  int field = -1;
  bool descending = false;
};

// Keeps the rows whose display text is one of values (blanks: the empty ones).
struct GridValueFilter {
  int field = -1;
  QSet<QString> values;
  bool blanks = false;
};

struct GridRowSpec {
  std::vector<GridOrderKey> groups;
  std::vector<GridOrderKey> sorts;
  std::vector<GridValueFilter> filters;
};

// A group row: the rows order()[first, first + count) share the value of their group
// field at this level. Nodes of one level are contiguous, and so are the children of
// one node; the last level's children are data rows.
struct GridGroupNode {
  uint32_t first = 0;
  uint32_t count = 0;
  int32_t parent = -1;
  uint32_t childBegin = 0;  // next level's first child node (inner levels)
  uint32_t childCount = 0;
  uint32_t group = 0;  // display group of the level's field
  uint16_t level = 0;
  bool expanded = false;
};

// The rows a grid shows: the data set's visible rows filtered, ordered and cut into
// nested groups, all as index vectors over row numbers. Rebuilding is O(n log n); the
// per-field keys are kept until the data set's rows change (Invalidate).
class GridRows {
 public:
  void SetDataSet(const TDataSet* dataSet);
  const TDataSet* DataSet() const { return dataSet_; }
  // The data set's rows changed: every key is stale.
  void Invalidate();
  // Rows of the data set (0 when closed).
  uint32_t SourceRowCount() const;

  void Build(const GridRowSpec& spec);
  const GridRowSpec& Spec() const { return spec_; }

  // Data rows shown, in order (0-based data set rows).
  uint32_t Count() const { return static_cast<uint32_t>(order_.size()); }
  uint32_t RowAt(uint32_t position) const { return order_[position]; }
  // Position of a data set row among the shown rows, -1 when it is filtered out.
  int PositionOf(uint32_t row) const;

  int Levels() const { return static_cast<int>(spec_.groups.size()); }
  const std::vector<GridGroupNode>& Nodes() const { return nodes_; }
  GridGroupNode& Node(uint32_t index) { return nodes_[index]; }
  uint32_t TopCount() const;
  // The last-level node holding a position (grouped only).
  uint32_t LeafOf(uint32_t position) const;
  // "value" of a node's group.
  QString NodeValue(uint32_t node) const;
  int NodeField(uint32_t node) const { return spec_.groups[nodes_[node].level].field; }
  // Expanded state, by the values on the path to each node, survives a rebuild.
  void SetExpanded(uint32_t node, bool expanded);

  // The display groups of a field among the rows that pass every other filter, in value
  // order, for a filter list.
  std::vector<uint32_t> FilterChoices(int field);
  GridKeys& Keys(int field);

  size_t MemoryBytes() const;

 private:
  bool Passes(uint32_t row, const std::vector<std::pair<GridKeys*, std::vector<bool>>>& tests) const;
  std::vector<std::pair<GridKeys*, std::vector<bool>>> FilterTests(int skipField);
  void Filter();
  void Sort();
  void Group();
  QString PathOf(uint32_t node) const;
  void RememberExpanded();

  const TDataSet* dataSet_ = nullptr;
  GridRowSpec spec_;
  std::map<int, GridKeys> keys_;
  std::vector<uint32_t> order_;
  mutable std::vector<int32_t> positionOf_;  // built on first PositionOf
  std::vector<GridGroupNode> nodes_;
  uint32_t leafBegin_ = 0;
  QSet<QString> expandedPaths_;
};

}  // namespace ui
