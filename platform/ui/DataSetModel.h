#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TDataSource;
class TDataSet;
class TField;

namespace ui {

// A table model over the visible fields of a data source's data set, for the grid.
// Columns are the visible fields in field order; cells are read by row index through
// TDataSet::DisplayTextAt/CellAt, so painting never moves the cursor and costs O(1) a
// cell. Rows follow the data set's RowsInserted/RowsRemoved/RowChanged notices one by
// one; only wholesale changes (open, close, refresh, sort, master moved) reset it.
// The vertical header shows the cursor's row indicator.
class DataSetModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit DataSetModel(QObject* parent = nullptr);
  ~DataSetModel() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;

  // Cells may be written (and booleans ticked) when on, the field can be modified and
  // the data set can be changed.
  bool Editable() const { return editable_; }
  void SetEditable(bool editable);

  // Alignment of the column titles (the fields' own alignment aligns the cells).
  Qt::Alignment TitleAlignment() const { return titleAlignment_; }
  void SetTitleAlignment(Qt::Alignment alignment);

  int FieldColumnCount() const { return static_cast<int>(columns_.size()); }
  TField* ColumnField(int column) const;
  // The column showing the field, -1 when it is not shown.
  int ColumnOfField(const TField* field) const;
  // The data set's current row, -1 when there is none.
  int CursorRow() const;

  // Moves the data set's cursor to the row; false when it did not get there (a move
  // that posted and failed raises).
  bool MoveCursorTo(int row);
  // Writes a cell of the current row: edit state (AutoEdit) first, then the field's
  // text (or, for a boolean, its value). False when the data set would not edit;
  // raises what the field raises.
  bool WriteCell(const QModelIndex& index, const QVariant& value);

  // The grid's open cell editor: written when the data set posts or moves.
  std::function<void()> CommitPending;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Reports a refusal (ShowException) and answers false.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 signals:
  // The data set's cursor is on another row (or the rows were reloaded).
  void CursorMoved(int row);
  // Edit state entered or left.
  void EditingChanged();
  // The columns were rebuilt (open, close, field layout).
  void ColumnsChanged();
  // The row indicator (vertical header) moved or changed its mark: repaint it.
  void IndicatorMoved();

 private:
  class Link;
  friend class Link;

  void Reload();
  void LayoutChanged();
  void RowsInserted(int first, int count);
  void RowsRemoved(int first, int count);
  void RowChanged(int row);
  void RecordChanged(TField* field);
  void CursorCheck();
  void IndicatorChanged(int row);
  std::vector<TField*> VisibleFields() const;
  bool IsBoolean(const TField* field) const;
  bool CanWrite(const TField* field) const;

  std::unique_ptr<Link> link_;
  std::vector<TField*> columns_;
  int rows_ = 0;
  int lastCursor_ = -1;
  bool editable_ = true;
  Qt::Alignment titleAlignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

}  // namespace ui
