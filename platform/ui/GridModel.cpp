#include "platform/ui/GridModel.h"

#include "platform/db/DataSet.h"
#include "platform/ui/Alignment.h"

namespace ui {

GridModel::GridModel(GridRows& rows, QObject* parent) : QAbstractItemModel(parent), rows_(rows) {}

void GridModel::SetColumns(std::vector<Column> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  endResetModel();
}

void GridModel::Rebuild(const std::function<void()>& change) {
  beginResetModel();
  try {
    change();
  } catch (...) {
    endResetModel();
    throw;
  }
  endResetModel();
}

bool GridModel::IsGroup(const QModelIndex& index) const {
  return index.isValid() && (index.internalId() & kRowTag) == 0;
}

int GridModel::RowOfNode(uint32_t node) const {
  const GridGroupNode& n = rows_.Nodes()[node];
  if (n.parent < 0) return static_cast<int>(node);
  return static_cast<int>(node - rows_.Nodes()[static_cast<uint32_t>(n.parent)].childBegin);
}

QModelIndex GridModel::IndexOfNode(uint32_t node, int column) const {
  return createIndex(RowOfNode(node), column, static_cast<quintptr>(node));
}

QModelIndex GridModel::IndexOfPosition(uint32_t position, int column) const {
  int row = static_cast<int>(position);
  if (rows_.Levels() > 0) row -= static_cast<int>(rows_.Nodes()[rows_.LeafOf(position)].first);
  return createIndex(row, column, kRowTag | position);
}

QModelIndex GridModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= columnCount()) return {};
  if (!parent.isValid()) {
    if (static_cast<uint32_t>(row) >= rows_.TopCount()) return {};
    return rows_.Levels() > 0 ? createIndex(row, column, static_cast<quintptr>(row))
                              : createIndex(row, column, kRowTag | static_cast<quintptr>(row));
  }
  if (!IsGroup(parent)) return {};
  const GridGroupNode& n = rows_.Nodes()[NodeOf(parent)];
  if (static_cast<uint32_t>(row) >= n.childCount) return {};
  if (n.level + 1 < rows_.Levels())
    return createIndex(row, column, static_cast<quintptr>(n.childBegin + row));
  return createIndex(row, column, kRowTag | static_cast<quintptr>(n.first + row));
}

QModelIndex GridModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || rows_.Levels() == 0) return {};
  if (IsGroup(child)) {
    const int32_t parentNode = rows_.Nodes()[NodeOf(child)].parent;
    return parentNode < 0 ? QModelIndex() : IndexOfNode(static_cast<uint32_t>(parentNode));
  }
  return IndexOfNode(rows_.LeafOf(PositionOf(child)));
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(rows_.TopCount());
  if (parent.column() != 0 || !IsGroup(parent)) return 0;
  return static_cast<int>(rows_.Nodes()[NodeOf(parent)].childCount);
}

int GridModel::columnCount(const QModelIndex& /*parent*/) const {
  return static_cast<int>(columns_.size());
}

bool GridModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

QString GridModel::CaptionOfField(int field) const {
  for (const Column& c : columns_)
    if (c.field == field) return c.caption;
  const TDataSet* ds = rows_.DataSet();
  return ds != nullptr && field >= 0 && field < ds->FieldCount() ? ds->Fields(field)->DisplayLabel()
                                                                 : QString();
}

QString GridModel::GroupRowText(uint32_t node) const {
  const GridGroupNode& n = rows_.Nodes()[node];
  const QString value = rows_.NodeValue(node);
  const QString caption = CaptionOfField(rows_.NodeField(node));
  if (value.isEmpty()) return QStringLiteral("%1 : (%2)").arg(caption).arg(n.count);
  return QStringLiteral("%1 : %2 (%3)").arg(caption, value).arg(n.count);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= columnCount()) return {};
  if (IsGroup(index)) {
    if (role == IsGroupRole) return true;
    if (role == Qt::DisplayRole && index.column() == 0) return GroupRowText(NodeOf(index));
    return {};
  }
  const Column& column = columns_[static_cast<size_t>(index.column())];
  const TDataSet* ds = rows_.DataSet();
  if (column.field < 0 || ds == nullptr) return {};
  const uint32_t row = rows_.RowAt(PositionOf(index));
  switch (role) {
    case Qt::DisplayRole:
      if (column.isBoolean) return {};
      return ds->DisplayTextAt(static_cast<int>(row), column.field);
    case Qt::CheckStateRole:
      if (!column.isBoolean) return {};
      return ds->CellAt(static_cast<int>(row), column.field).i != 0 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      return column.isBoolean ? QVariant(Qt::AlignCenter)
                              : QVariant(QtAlignment(ds->Fields(column.field)->Alignment()));
    case IsGroupRole:
      return false;
    case DataRowRole:
      return row;
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const Column& column = columns_[static_cast<size_t>(section)];
  if (role == Qt::DisplayRole) return column.caption;
  if (role == Qt::TextAlignmentRole) return QVariant(column.headerAlignment);
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (IsGroup(index)) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace ui
