#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <functional>
#include <vector>

#include "platform/ui/GridRows.h"

namespace ui {

// The rows of a GridRows as a Qt tree: group rows hold their sub-groups or data rows.
// Read-only. Cells are read on demand with TDataSet::DisplayTextAt, so the cost of a
// paint is the cells on screen. Internal ids: a group row carries its node index, a
// data row its position among the shown rows with kRowTag set.
class GridModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  static constexpr quintptr kRowTag = quintptr(1) << (sizeof(quintptr) * 8 - 1);
  enum Role { IsGroupRole = Qt::UserRole + 1, DataRowRole };

  struct Column {
    int field = -1;
    QString caption;
    Qt::Alignment headerAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool isBoolean = false;
  };

  GridModel(GridRows& rows, QObject* parent = nullptr);

  void SetColumns(std::vector<Column> columns);
  const std::vector<Column>& Columns() const { return columns_; }
  // Runs a change of the rows between a model reset's begin and end.
  void Rebuild(const std::function<void()>& change);

  bool IsGroup(const QModelIndex& index) const;
  uint32_t NodeOf(const QModelIndex& index) const { return static_cast<uint32_t>(index.internalId()); }
  uint32_t PositionOf(const QModelIndex& index) const {
    return static_cast<uint32_t>(index.internalId() & ~kRowTag);
  }
  QModelIndex IndexOfNode(uint32_t node, int column = 0) const;
  QModelIndex IndexOfPosition(uint32_t position, int column = 0) const;
  // "Cliente : Ana Souza (3)"
  QString GroupRowText(uint32_t node) const;
  QString CaptionOfField(int field) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // Row of a node among its siblings.
  int RowOfNode(uint32_t node) const;

  GridRows& rows_;
  std::vector<Column> columns_;
};

}  // namespace ui
