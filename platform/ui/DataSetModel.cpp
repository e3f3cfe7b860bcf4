#include "platform/ui/DataSetModel.h"

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Alignment.h"
#include "platform/ui/EventGuard.h"

namespace ui {

// The model's link to its data source; passes each notice on to the model.
class DataSetModel::Link : public TDataLink {
 public:
  explicit Link(DataSetModel& model) : model_(model) {}

 protected:
  void ActiveChanged() override { model_.Reload(); }
  void EditingChanged() override {
    model_.IndicatorChanged(model_.CursorRow());
    emit model_.EditingChanged();
    model_.CursorCheck();
  }
  void DataSetChanged() override { model_.Reload(); }
  void DataSetScrolled(int /*distance*/) override { model_.CursorCheck(); }
  void LayoutChanged() override { model_.LayoutChanged(); }
  void RecordChanged(TField* field) override { model_.RecordChanged(field); }
  void UpdateData() override { CommitEditor(); }
  void CheckBrowseMode() override { CommitEditor(); }
  void RowsInserted(int first, int count) override { model_.RowsInserted(first, count); }
  void RowsRemoved(int first, int count) override { model_.RowsRemoved(first, count); }
  void RowChanged(int row) override { model_.RowChanged(row); }

 private:
  void CommitEditor() {
    if (model_.CommitPending) model_.CommitPending();
  }

  DataSetModel& model_;
};

DataSetModel::DataSetModel(QObject* parent)
    : QAbstractTableModel(parent), link_(std::make_unique<Link>(*this)) {}

DataSetModel::~DataSetModel() = default;

TDataSource* DataSetModel::DataSource() const {
  return link_->DataSource();
}

void DataSetModel::SetDataSource(TDataSource* source) {
  if (source == link_->DataSource()) return;
  link_->SetDataSource(source);
  Reload();
}

TDataSet* DataSetModel::DataSet() const {
  return link_->Active() ? link_->DataSet() : nullptr;
}

void DataSetModel::SetEditable(bool editable) {
  if (editable == editable_) return;
  editable_ = editable;
  if (rows_ > 0 && !columns_.empty()) emit dataChanged(index(0, 0), index(rows_ - 1, FieldColumnCount() - 1));
}

void DataSetModel::SetTitleAlignment(Qt::Alignment alignment) {
  titleAlignment_ = alignment;
  if (!columns_.empty()) emit headerDataChanged(Qt::Horizontal, 0, FieldColumnCount() - 1);
}

TField* DataSetModel::ColumnField(int column) const {
  return column >= 0 && column < FieldColumnCount() ? columns_[static_cast<size_t>(column)] : nullptr;
}

int DataSetModel::ColumnOfField(const TField* field) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i] == field) return static_cast<int>(i);
  return -1;
}

int DataSetModel::CursorRow() const {
  const TDataSet* ds = DataSet();
  return ds != nullptr ? ds->CurrentRow() : -1;
}

std::vector<TField*> DataSetModel::VisibleFields() const {
  std::vector<TField*> fields;
  if (const TDataSet* ds = DataSet()) {
    for (int i = 0; i < ds->FieldCount(); ++i)
      if (TField* field = ds->Fields(i); field->Visible()) fields.push_back(field);
  }
  return fields;
}

void DataSetModel::Reload() {
  beginResetModel();
  columns_ = VisibleFields();
  const TDataSet* ds = DataSet();
  rows_ = ds != nullptr ? ds->RecordCount() : 0;
  lastCursor_ = CursorRow();
  endResetModel();
  emit ColumnsChanged();
  emit CursorMoved(lastCursor_);
}

void DataSetModel::LayoutChanged() {
  // Labels, formats and widths change often while a window sets its fields up; only a
  // different set of columns needs a reset.
  if (VisibleFields() != columns_) return Reload();
  if (!columns_.empty()) {
    emit headerDataChanged(Qt::Horizontal, 0, FieldColumnCount() - 1);
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, FieldColumnCount() - 1));
  }
  emit ColumnsChanged();
}

void DataSetModel::RowsInserted(int first, int count) {
  if (count <= 0) return;
  beginInsertRows({}, first, first + count - 1);
  rows_ += count;
  endInsertRows();
  // The view's current row moved down with the rows put before it, while the cursor
  // may have stayed at its number (a row inserted at the cursor): follow it again.
  if (lastCursor_ >= first) lastCursor_ += count;
  CursorCheck();
}

void DataSetModel::RowsRemoved(int first, int count) {
  if (count <= 0) return;
  beginRemoveRows({}, first, first + count - 1);
  rows_ -= count;
  endRemoveRows();
  if (lastCursor_ >= first + count)
    lastCursor_ -= count;
  else if (lastCursor_ >= first)
    lastCursor_ = -1;
  CursorCheck();
}

void DataSetModel::RowChanged(int row) {
  if (row >= 0 && row < rows_ && !columns_.empty())
    emit dataChanged(index(row, 0), index(row, FieldColumnCount() - 1));
  CursorCheck();
}

void DataSetModel::RecordChanged(TField* field) {
  const int row = CursorRow();
  if (row < 0 || row >= rows_ || columns_.empty()) return;
  const int column = field != nullptr ? ColumnOfField(field) : -1;
  if (field != nullptr && column < 0) return;
  if (column >= 0)
    emit dataChanged(index(row, column), index(row, column));
  else
    emit dataChanged(index(row, 0), index(row, FieldColumnCount() - 1));
}

void DataSetModel::CursorCheck() {
  const int row = CursorRow();
  if (row == lastCursor_) return;
  const int previous = lastCursor_;
  lastCursor_ = row;
  IndicatorChanged(previous);
  IndicatorChanged(row);
  emit CursorMoved(row);
}

void DataSetModel::IndicatorChanged(int row) {
  // Not headerDataChanged: that makes the row header measure hundreds of its sections
  // again, on every cursor move.
  if (row >= 0 && row < rows_) emit IndicatorMoved();
}

bool DataSetModel::IsBoolean(const TField* field) const {
  return field->DataType() == ftBoolean;
}

bool DataSetModel::CanWrite(const TField* field) const {
  const TDataSet* ds = DataSet();
  return editable_ && ds != nullptr && ds->CanModify() && field->CanModify() && !link_->ReadOnly();
}

bool DataSetModel::MoveCursorTo(int row) {
  TDataSet* ds = DataSet();
  if (ds == nullptr || row < 0 || row >= ds->RecordCount()) return false;
  if (ds->CurrentRow() != row) ds->MoveBy(row - ds->CurrentRow());
  return ds->CurrentRow() == row;
}

bool DataSetModel::WriteCell(const QModelIndex& index, const QVariant& value) {
  TField* field = ColumnField(index.column());
  if (field == nullptr || !CanWrite(field) || !MoveCursorTo(index.row())) return false;
  if (!link_->Edit()) return false;
  if (value.typeId() == QMetaType::Bool) {
    field->SetAsBoolean(value.toBool());
    return true;
  }
  try {
    field->SetText(value.toString());
  } catch (const EConvertError&) {
    // The operator reads the refusal in the language of the window, naming the column.
    throw EConvertError(QStringLiteral("'%1' não é um valor válido para %2")
                            .arg(rtl::Trim(value.toString()), field->DisplayLabel()));
  }
  return true;
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : FieldColumnCount();
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
  const TDataSet* ds = DataSet();
  const TField* field = ColumnField(index.column());
  const int row = index.row();
  // Between a notice and our catching up the counts may differ for a moment.
  if (ds == nullptr || field == nullptr || row < 0 || row >= rows_ || row >= ds->RecordCount()) return {};
  const int fieldIndex = field->Index();
  switch (role) {
    case Qt::DisplayRole:
      return IsBoolean(field) ? QVariant() : QVariant(ds->DisplayTextAt(row, fieldIndex));
    case Qt::EditRole:
      if (IsBoolean(field)) return !ds->IsNullAt(row, fieldIndex) && ds->CellAt(row, fieldIndex).i != 0;
      return field->TextOf(ds->CellAt(row, fieldIndex), false);
    case Qt::CheckStateRole:
      if (!IsBoolean(field)) return {};
      return !ds->IsNullAt(row, fieldIndex) && ds->CellAt(row, fieldIndex).i != 0 ? Qt::Checked
                                                                                  : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(QtAlignment(field->Alignment()));
    case Qt::AccessibleTextRole:
      return IsBoolean(field) ? QVariant(field->DisplayTextOf(ds->CellAt(row, fieldIndex)))
                              : QVariant(ds->DisplayTextAt(row, fieldIndex));
    default:
      return {};
  }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) {
    const TField* field = ColumnField(section);
    if (field == nullptr) return {};
    if (role == Qt::DisplayRole) return field->DisplayLabel();
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(titleAlignment_);
    return {};
  }
  if (role != Qt::DisplayRole || section != CursorRow())
    return role == Qt::DisplayRole ? QString() : QVariant();
  // The classic indicator: arrow on the current row, I-beam while editing, star inserting.
  switch (link_->DataSource()->State()) {
    case dsEdit:
      return QStringLiteral("I");
    case dsInsert:
      return QStringLiteral("*");
    default:
      return QStringLiteral("\u25B6");
  }
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
  const TField* field = ColumnField(index.column());
  if (field == nullptr) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (CanWrite(field)) flags |= IsBoolean(field) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
  return flags;
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid()) return false;
  QVariant written = value;
  if (role == Qt::CheckStateRole)
    written = QVariant(value.toInt() == Qt::Checked);
  else if (role != Qt::EditRole)
    return false;
  bool done = false;
  RunHandler([&] { done = WriteCell(index, written); });
  return done;
}

}  // namespace ui
