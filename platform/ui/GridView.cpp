#include "platform/ui/GridView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Alignment.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/GridFilterPopup.h"
#include "platform/ui/GridFooter.h"
#include "platform/ui/GridGroupBox.h"
#include "platform/ui/GridHeader.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridRows.h"
#include "platform/ui/GridTreeView.h"
#include "platform/ui/Localizer.h"

using ui::QtAlignment;

namespace {

const QString kFilterClearKey = QStringLiteral("GridFilterClear");

template <class T>
void Erase(std::vector<T*>& list, const T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

template <class T>
bool Contains(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

// --- TGridColumn ----------------------------------------------------------------------------

TGridColumn::TGridColumn(TGridDBTableView* view) : TComponent(view), view_(view) {
  view_->columns_.push_back(this);
  view_->ColumnsChanged();
}

TGridColumn::~TGridColumn() {
  if (view_ != nullptr) view_->RemoveColumn(this);
}

void TGridColumn::NameChanged() {
  setObjectName(Name());
}

void TGridColumn::SetFieldName(const QString& name) {
  fieldName_ = name;
  view_->BindFields();
  view_->RowsChanged(true);
}

TField* TGridColumn::Field() const {
  const TDataSet* ds = view_->DataSet();
  return ds != nullptr && field_ >= 0 && field_ < ds->FieldCount() ? ds->Fields(field_) : nullptr;
}

QString TGridColumn::Caption() const {
  if (!caption_.isEmpty()) return caption_;
  if (TField* field = Field()) return field->DisplayLabel();
  return fieldName_;
}

void TGridColumn::SetCaption(const QString& caption) {
  caption_ = caption;
  view_->ColumnsChanged();
  view_->RowsChanged(false);
}

void TGridColumn::SetHeaderAlignmentHorz(TAlignment alignment) {
  headerAlignment_ = alignment;
  view_->ColumnsChanged();
  view_->RowsChanged(false);
}

void TGridColumn::SetWidth(int width) {
  width_ = std::max(1, width);
  view_->UpdateSection(this);
}

void TGridColumn::SetVisible(bool visible) {
  visible_ = visible;
  view_->UpdateSection(this);
}

int TGridColumn::Index() const {
  return view_->header_->visualIndex(view_->LogicalOf(this));
}

void TGridColumn::SetIndex(int index) {
  const int from = Index();
  const int to = std::clamp(index, 0, view_->ColumnCount() - 1);
  if (from != to) view_->header_->moveSection(from, to);
}

void TGridColumn::SetSortOrder(TGridSortOrder order) {
  view_->SetColumnSort(this, order, true);
}

int TGridColumn::SortIndex() const {
  const auto it = std::find(view_->sorted_.begin(), view_->sorted_.end(), this);
  return it == view_->sorted_.end() ? -1 : static_cast<int>(it - view_->sorted_.begin());
}

int TGridColumn::GroupIndex() const {
  const auto it = std::find(view_->grouped_.begin(), view_->grouped_.end(), this);
  return it == view_->grouped_.end() ? -1 : static_cast<int>(it - view_->grouped_.begin());
}

void TGridColumn::SetGroupIndex(int index) {
  if (index < 0) {
    if (GroupIndex() >= 0) view_->UngroupColumn(this, -1);
  } else {
    view_->GroupColumn(this, index);
  }
}

QStringList TGridColumn::FilterValues() const {
  QStringList values(filterValues_.begin(), filterValues_.end());
  values.sort();
  return values;
}

void TGridColumn::SetFilter(const QStringList& values, bool blanks) {
  filtered_ = true;
  filterValues_ = QSet<QString>(values.begin(), values.end());
  filterBlanks_ = blanks;
  view_->RowsChanged(false);
}

void TGridColumn::ClearFilter() {
  if (!filtered_) return;
  filtered_ = false;
  filterValues_.clear();
  filterBlanks_ = false;
  view_->RowsChanged(false);
}

// The data set's notices, turned into rebuilds and cursor moves.
class TGridDBTableView::Link : public TDataLink {
 public:
  explicit Link(TGridDBTableView& view) : view_(view) {}

 protected:
  void ActiveChanged() override {
    view_.BindFields();
    view_.RowsChanged(true);
  }
  void DataSetChanged() override { view_.RowsChanged(true); }
  void LayoutChanged() override {
    view_.BindFields();
    view_.RowsChanged(true);
  }
  void DataSetScrolled(int /*distance*/) override {
    view_.SyncToCursor(false);
    view_.UpdateNavigator();
  }
  void RecordChanged(TField* /*field*/) override {
    view_.rowsView_->viewport()->update();
    view_.UpdateNavigator();
  }
  void EditingChanged() override { view_.UpdateNavigator(); }

 private:
  TGridDBTableView& view_;
};

// --- TGridDataController --------------------------------------------------------------------

TDataSource* TGridDataController::DataSource() const {
  return view_.link_->DataSource();
}

void TGridDataController::SetDataSource(TDataSource* source) {
  view_.link_->SetDataSource(source);
  view_.BindFields();
  view_.RowsChanged(true);
}

int TGridDataController::RecordCount() const {
  return static_cast<int>(view_.rows_->Count());
}

int TGridDataController::FocusedRecordIndex() const {
  const QModelIndex current = view_.rowsView_->currentIndex();
  if (!current.isValid() || view_.model_->IsGroup(current)) return -1;
  return static_cast<int>(view_.rows_->RowAt(view_.model_->PositionOf(current)));
}

QVariant TGridDataController::SummaryOver(const TGridSummaryItem& item, uint32_t first,
                                          uint32_t count) const {
  const TDataSet* ds = view_.DataSet();
  TField* field = ds != nullptr ? ds->FindField(item.FieldName) : nullptr;
  if (field == nullptr || item.Kind == skNone) return {};
  const int index = field->Index();
  const db::Storage storage = db::StorageOf(field->DataType());
  int64_t counted = 0;
  int64_t intSum = 0;
  double sum = 0;
  double low = 0;
  double high = 0;
  for (uint32_t pos = first; pos < first + count; ++pos) {
    const db::Value cell = ds->CellAt(static_cast<int>(view_.rows_->RowAt(pos)), index);
    if (cell.isNull) continue;
    double value = 0;
    if (storage == db::Storage::Text) {
      ++counted;
      continue;
    }
    if (storage == db::Storage::Int) {
      intSum += cell.i;
      value = field->DataType() == ftBCD ? Currency::FromRaw(cell.i).ToDouble() : static_cast<double>(cell.i);
    } else {
      value = cell.f;
      sum += value;
    }
    low = counted == 0 ? value : std::min(low, value);
    high = counted == 0 ? value : std::max(high, value);
    ++counted;
  }
  if (item.Kind == skCount) return QVariant(static_cast<qlonglong>(counted));
  if (counted == 0 || storage == db::Storage::Text) return {};
  // Whole numbers and currency are summed exactly.
  if (storage == db::Storage::Int)
    sum = field->DataType() == ftBCD ? Currency::FromRaw(intSum).ToDouble() : intSum;
  switch (item.Kind) {
    case skSum:
      return sum;
    case skMin:
      return low;
    case skMax:
      return high;
    case skAverage:
      return sum / static_cast<double>(counted);
    default:
      return {};
  }
}

QString TGridDataController::SummaryText(const TGridSummaryItem& item, const QVariant& value) const {
  if (!value.isValid()) return {};
  if (item.Format.isEmpty()) return rtl::FloatToStr(value.toDouble());
  return rtl::FormatFloat(item.Format, value.toDouble());
}

QVariant TGridDataController::FooterSummaryValue(int item) const {
  return SummaryOver(summary_.FooterSummaryItems.Items(item), 0, view_.rows_->Count());
}

QString TGridDataController::FooterSummaryText(int item) const {
  return SummaryText(summary_.FooterSummaryItems.Items(item), FooterSummaryValue(item));
}

QVariant TGridDataController::GroupSummaryValue(const QModelIndex& groupRow, int item) const {
  if (!view_.model_->IsGroup(groupRow)) return {};
  const ui::GridGroupNode& node = view_.rows_->Nodes()[view_.model_->NodeOf(groupRow)];
  return SummaryOver(summary_.DefaultGroupSummaryItems.Items(item), node.first, node.count);
}

QString TGridDataController::GroupSummaryText(const QModelIndex& groupRow, int item) const {
  return SummaryText(summary_.DefaultGroupSummaryItems.Items(item), GroupSummaryValue(groupRow, item));
}

// --- TGridDBTableView -----------------------------------------------------------------------

TGridDBTableView::TGridDBTableView(TComponent* owner, TGrid* grid)
    : QWidget(grid),
      TComponent(owner),
      grid_(grid),
      dataController_(*this),
      link_(std::make_unique<Link>(*this)),
      rows_(std::make_unique<ui::GridRows>()),
      model_(std::make_unique<ui::GridModel>(*rows_)) {
  BuildParts();
  NameParts();
  if (grid_ != nullptr) grid_->SetView(this);
}

TGridDBTableView::~TGridDBTableView() {
  destroying_ = true;
  if (filterPopup_) delete filterPopup_.data();
  link_->SetDataSource(nullptr);
  for (TGridColumn* column : columns_) column->view_ = nullptr;
  DestroyComponents();
  columns_.clear();
  sorted_.clear();
  grouped_.clear();
  rowsView_->setModel(nullptr);
  if (grid_ != nullptr) grid_->view_ = nullptr;
}

void TGridDBTableView::BuildParts() {
  groupBox_ = new ui::GridGroupBox(this);
  rowsView_ = new ui::GridTreeView(this);
  header_ = new ui::GridHeader(rowsView_);
  header_->setDefaultSectionSize(TGridColumn::kDefaultWidth);
  rowsView_->setHeader(header_);
  rowsView_->SetGridModel(model_.get());

  filterBox_ = new QWidget(this);
  filterText_ = new QLabel(filterBox_);
  filterClear_ = new QToolButton(filterBox_);
  filterClear_->setText(QStringLiteral("×"));
  filterClear_->setAutoRaise(true);
  auto* filterLayout = new QHBoxLayout(filterBox_);
  filterLayout->setContentsMargins(4, 2, 4, 2);
  filterLayout->addWidget(filterClear_);
  filterLayout->addWidget(filterText_, 1);
  filterBox_->setVisible(false);

  footer_ = new ui::GridFooter(this);
  footer_->setVisible(false);
  footer_->Cells = [this] {
    std::vector<ui::GridFooter::Cell> cells;
    const int offset = rowsView_->viewport()->x() + rowsView_->x() - footer_->x();
    for (int i = 0; i < dataController_.Summary().FooterSummaryItems.Count(); ++i) {
      TGridColumn* column =
          ColumnByFieldName(dataController_.Summary().FooterSummaryItems.Items(i).FieldName);
      if (column == nullptr || header_->isSectionHidden(LogicalOf(column))) continue;
      const int logical = LogicalOf(column);
      cells.push_back({offset + header_->sectionViewportPosition(logical), header_->sectionSize(logical),
                       dataController_.FooterSummaryText(i)});
    }
    return cells;
  };

  navigator_ = new ui::GridNavigator(this);
  navigator_->CanRun = [this](ui::TGridNavigatorButton button) { return CanRun(button); };
  navigator_->Run = [this](ui::TGridNavigatorButton button) { Run(button); };
  navigator_->setVisible(false);
  for (auto button : {ui::gnbInsert, ui::gnbDelete, ui::gnbEdit, ui::gnbPost})
    navigator_->Button(button)->setEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(groupBox_);
  layout->addWidget(rowsView_, 1);
  layout->addWidget(footer_);
  layout->addWidget(filterBox_);
  layout->addWidget(navigator_);
  setFocusProxy(rowsView_);

  header_->StateOf = [this](int logical) {
    ui::GridSectionState state;
    if (logical < 0 || logical >= ColumnCount()) return state;
    const TGridColumn* column = columns_[static_cast<size_t>(logical)];
    state.sortOrder = Contains(sorted_, column) ? static_cast<int>(column->sortOrder_) : 0;
    state.filtered = column->filtered_;
    state.filterButton = optionsCustomize_.ColumnFiltering && column->field_ >= 0;
    return state;
  };
  header_->CanDrag = [this](int) {
    return optionsCustomize_.ColumnMoving || optionsCustomize_.ColumnGrouping;
  };
  connect(header_, &ui::GridHeader::SortClicked, this,
          ui::Guarded([this](int logical, Qt::KeyboardModifiers mods) { SortClicked(logical, mods); }));
  connect(header_, &ui::GridHeader::FilterClicked, this,
          ui::Guarded([this](int logical) { ShowFilter(logical); }));
  connect(header_, &ui::GridHeader::SectionDropped, this,
          ui::Guarded([this](int logical, const QPoint& global) { SectionDropped(logical, global); }));
  connect(header_, &QHeaderView::sectionResized, this, [this](int logical, int /*old*/, int size) {
    if (size > 0 && logical >= 0 && logical < ColumnCount())
      columns_[static_cast<size_t>(logical)]->width_ = size;
    footer_->update();
  });
  connect(header_, &QHeaderView::sectionMoved, this, [this] { footer_->update(); });
  connect(groupBox_, &ui::GridGroupBox::ItemClicked, this,
          ui::Guarded([this](int level) { GroupItemClicked(level); }));
  connect(groupBox_, &ui::GridGroupBox::ItemDropped, this,
          ui::Guarded([this](int level, const QPoint& global) { GroupItemDropped(level, global); }));
  connect(rowsView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          ui::Guarded([this](const QModelIndex& current, const QModelIndex&) { FocusChanged(current); }));
  connect(rowsView_, &QTreeView::expanded, this, [this] { UpdateNavigator(); });
  connect(rowsView_, &QTreeView::collapsed, this, [this] { UpdateNavigator(); });
  connect(filterClear_, &QToolButton::clicked, this, ui::Guarded([this] { ClearFiltering(); }));
  auto retranslate = [this] {
    filterClear_->setToolTip(Localizer::Text(kFilterClearKey, QStringLiteral("Clear filter")));
    filterClear_->setAccessibleName(filterClear_->toolTip());
    rowsView_->viewport()->update();
  };
  connect(Localizer::Notifier::Instance(), &Localizer::Notifier::Changed, this, retranslate);
  retranslate();
}

void TGridDBTableView::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
  NameParts();
}

// The parts have no names of their own in the design: they take the view's.
void TGridDBTableView::NameParts() {
  const QString base = Name().isEmpty() ? QStringLiteral("GridView") : Name();
  auto name = [&base](QWidget* widget, const char* suffix, const QString& accessibleName) {
    widget->setObjectName(base + QLatin1String(suffix));
    widget->setAccessibleDescription(widget->objectName());
    if (!accessibleName.isEmpty()) widget->setAccessibleName(accessibleName);
  };
  name(groupBox_, "GroupByBox", {});
  name(rowsView_, "Rows", QStringLiteral("Linhas da grade"));
  name(header_, "Header", QStringLiteral("Títulos das colunas"));
  name(filterBox_, "FilterBox", QStringLiteral("Filtro da grade"));
  name(filterText_, "FilterText", {});
  name(filterClear_, "FilterClear", {});
  name(footer_, "Footer", QStringLiteral("Rodapé da grade"));
  name(navigator_, "Navigator", {});
  if (Name().isEmpty()) setAccessibleName(QStringLiteral("Grade de dados"));
}

TDataSet* TGridDBTableView::DataSet() const {
  return link_->Active() ? link_->DataSet() : nullptr;
}

// --- Columns ------------------------------------------------------------------------------------

TGridColumn* TGridDBTableView::CreateColumn() {
  return new TGridColumn(this);
}

void TGridDBTableView::RemoveColumn(TGridColumn* column) {
  if (destroying_) return;
  Erase(columns_, column);
  Erase(sorted_, column);
  Erase(grouped_, column);
  ColumnsChanged();
  RowsChanged(false);
}

int TGridDBTableView::LogicalOf(const TGridColumn* column) const {
  const auto it = std::find(columns_.begin(), columns_.end(), column);
  return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

TGridColumn* TGridDBTableView::ColumnByFieldName(const QString& fieldName) const {
  for (TGridColumn* column : columns_)
    if (column->fieldName_.compare(fieldName, Qt::CaseInsensitive) == 0) return column;
  return nullptr;
}

std::vector<TGridColumn*> TGridDBTableView::VisibleColumns() const {
  std::vector<TGridColumn*> shown;
  for (int visual = 0; visual < header_->count(); ++visual) {
    const int logical = header_->logicalIndex(visual);
    if (!header_->isSectionHidden(logical)) shown.push_back(columns_[static_cast<size_t>(logical)]);
  }
  return shown;
}

void TGridDBTableView::BindFields() {
  if (destroying_) return;
  const TDataSet* ds = DataSet();
  for (TGridColumn* column : columns_) {
    TField* field = ds != nullptr ? ds->FindField(column->fieldName_) : nullptr;
    column->field_ = field != nullptr ? field->Index() : -1;
  }
  rows_->SetDataSet(ds);
  ColumnsChanged();
}

void TGridDBTableView::ColumnsChanged() {
  if (destroying_) return;
  std::vector<ui::GridModel::Column> modelColumns;
  for (const TGridColumn* column : columns_) {
    const TField* field = column->Field();
    modelColumns.push_back({column->field_, column->Caption(), QtAlignment(column->headerAlignment_),
                            field != nullptr && field->DataType() == ftBoolean});
  }
  syncing_ = true;
  model_->SetColumns(std::move(modelColumns));
  syncing_ = false;
  ApplyHeaderState();
}

void TGridDBTableView::ApplyHeaderState() {
  for (TGridColumn* column : columns_) UpdateSection(column);
  header_->setSectionResizeMode(optionsCustomize_.ColumnHorzSizing ? QHeaderView::Interactive
                                                                   : QHeaderView::Fixed);
}

void TGridDBTableView::UpdateSection(TGridColumn* column) {
  const int logical = LogicalOf(column);
  if (logical < 0 || logical >= header_->count()) return;
  const int width = column->width_;
  header_->setSectionHidden(logical, !column->visible_ || Contains(grouped_, column));
  header_->resizeSection(logical, width);
  column->width_ = width;
}

// --- Options -----------------------------------------------------------------------------------

void TGridDBTableView::SetOptionsView(const TGridOptionsView& options) {
  optionsView_ = options;
  UpdateDecorations();
}

void TGridDBTableView::SetOptionsCustomize(const TGridOptionsCustomize& options) {
  optionsCustomize_ = options;
  ApplyHeaderState();
  header_->viewport()->update();
}

void TGridDBTableView::SetNavigatorVisible(bool visible) {
  navigatorVisible_ = visible;
  navigator_->setVisible(visible);
  UpdateNavigator();
}

// --- Rows ----------------------------------------------------------------------------------------

void TGridDBTableView::BeginUpdate() {
  ++updateLock_;
}

void TGridDBTableView::EndUpdate() {
  if (updateLock_ > 0 && --updateLock_ == 0 && pendingRows_) {
    pendingRows_ = false;
    const bool data = pendingData_;
    pendingData_ = false;
    RowsChanged(data);
  }
}

void TGridDBTableView::RowsChanged(bool dataChanged) {
  if (destroying_) return;
  if (updateLock_ > 0) {
    pendingRows_ = true;
    pendingData_ = pendingData_ || dataChanged;
    return;
  }
  ui::GridRowSpec spec;
  for (const TGridColumn* column : grouped_)
    if (column->field_ >= 0) spec.groups.push_back({column->field_, column->sortOrder_ == soDescending});
  for (const TGridColumn* column : sorted_)
    if (column->field_ >= 0 && !Contains(grouped_, column))
      spec.sorts.push_back({column->field_, column->sortOrder_ == soDescending});
  for (const TGridColumn* column : columns_)
    if (column->filtered_ && column->field_ >= 0)
      spec.filters.push_back({column->field_, column->filterValues_, column->filterBlanks_});

  CaptureExpanded();
  syncing_ = true;
  try {
    model_->Rebuild([&] {
      if (dataChanged) rows_->Invalidate();
      rows_->Build(spec);
    });
  } catch (...) {
    syncing_ = false;
    throw;
  }
  rowsView_->setRootIsDecorated(rows_->Levels() > 0);
  RestoreExpanded();
  syncing_ = false;
  UpdateDecorations();
  SyncToCursor(!dataChanged);
  UpdateNavigator();
}

void TGridDBTableView::CaptureExpanded() {
  const auto& nodes = rows_->Nodes();
  for (uint32_t i = 0; i < nodes.size(); ++i) {
    const bool open = rowsView_->isExpanded(model_->IndexOfNode(i));
    if (open != nodes[i].expanded) rows_->SetExpanded(i, open);
  }
}

void TGridDBTableView::RestoreExpanded() {
  const auto& nodes = rows_->Nodes();
  for (uint32_t i = 0; i < nodes.size(); ++i)
    if (nodes[i].expanded) rowsView_->setExpanded(model_->IndexOfNode(i), true);
}

void TGridDBTableView::ExpandTo(const QModelIndex& index) {
  std::vector<QModelIndex> chain;
  for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if (!rowsView_->isExpanded(*it)) rowsView_->expand(*it);
}

void TGridDBTableView::ExpandAll() {
  rowsView_->expandAll();
  UpdateNavigator();
}

void TGridDBTableView::CollapseAll() {
  rowsView_->collapseAll();
  const auto& nodes = rows_->Nodes();
  for (uint32_t i = 0; i < nodes.size(); ++i)
    if (nodes[i].expanded) rows_->SetExpanded(i, false);
  UpdateNavigator();
}

// The focused row follows the cursor. After the grid's own change (pullDataSet), a
// cursor left on a row the filter hides moves to the first row shown.
void TGridDBTableView::SyncToCursor(bool pullDataSet) {
  TDataSet* ds = DataSet();
  if (ds == nullptr || ds->IsEmpty() || rows_->Count() == 0) {
    syncing_ = true;
    rowsView_->setCurrentIndex({});
    syncing_ = false;
    return;
  }
  const int position = rows_->PositionOf(static_cast<uint32_t>(ds->CurrentRow()));
  if (position < 0) {
    if (pullDataSet) {
      ui::RunHandler([&] { FocusIndex(model_->IndexOfPosition(0)); });
    } else {
      syncing_ = true;
      rowsView_->setCurrentIndex({});
      syncing_ = false;
    }
    return;
  }
  const QModelIndex index = model_->IndexOfPosition(static_cast<uint32_t>(position));
  if (rowsView_->currentIndex() == index) return;
  syncing_ = true;
  ExpandTo(index);
  rowsView_->setCurrentIndex(index);
  rowsView_->scrollTo(index);
  syncing_ = false;
}

void TGridDBTableView::FocusChanged(const QModelIndex& current) {
  if (syncing_) return;
  UpdateNavigator();
  TDataSet* ds = DataSet();
  if (ds == nullptr || !current.isValid() || model_->IsGroup(current)) return;
  const int row = static_cast<int>(rows_->RowAt(model_->PositionOf(current)));
  if (row == ds->CurrentRow()) return;
  try {
    ds->SetRecNo(row + 1);
  } catch (...) {
    SyncToCursor(false);  // the cursor could not leave its row: neither does the focus
    throw;
  }
}

bool TGridDBTableView::FocusIndex(const QModelIndex& index) {
  if (!index.isValid()) return false;
  ExpandTo(index);
  rowsView_->setCurrentIndex(index);
  rowsView_->scrollTo(index);
  return rowsView_->currentIndex() == index;
}

bool TGridDBTableView::GoToFirst() {
  return FocusIndex(model_->index(0, 0));
}

bool TGridDBTableView::GoToLast() {
  return FocusIndex(rowsView_->LastIndex());
}

bool TGridDBTableView::GoBy(int rows) {
  QModelIndex index = rowsView_->currentIndex();
  if (!index.isValid()) return GoToFirst();
  for (int step = 0; step < std::abs(rows); ++step) {
    const QModelIndex next = rows > 0 ? rowsView_->indexBelow(index) : rowsView_->indexAbove(index);
    if (!next.isValid()) break;
    index = next;
  }
  return index != rowsView_->currentIndex() && FocusIndex(index);
}

void TGridDBTableView::ClearSorting() {
  for (TGridColumn* column : sorted_)
    if (!Contains(grouped_, column)) column->sortOrder_ = soNone;
  sorted_.clear();
  RowsChanged(false);
}

void TGridDBTableView::ClearGrouping() {
  BeginUpdate();
  while (!grouped_.empty()) UngroupColumn(grouped_.back(), -1);
  EndUpdate();
}

void TGridDBTableView::ClearFiltering() {
  BeginUpdate();
  for (TGridColumn* column : columns_) column->ClearFilter();
  EndUpdate();
}

// --- Operator's actions ------------------------------------------------------------------------

void TGridDBTableView::SetColumnSort(TGridColumn* column, TGridSortOrder order, bool keepOthers) {
  if (Contains(grouped_, column)) {
    column->sortOrder_ = order == soNone ? soAscending : order;
    RowsChanged(false);
    return;
  }
  if (!keepOthers) {
    for (TGridColumn* other : sorted_)
      if (other != column) other->sortOrder_ = soNone;
    const bool had = Contains(sorted_, column);
    sorted_.clear();
    if (had) sorted_.push_back(column);
  }
  if (order == soNone)
    Erase(sorted_, column);
  else if (!Contains(sorted_, column))
    sorted_.push_back(column);
  column->sortOrder_ = order;
  header_->viewport()->update();
  RowsChanged(false);
}

void TGridDBTableView::SortClicked(int logical, Qt::KeyboardModifiers modifiers) {
  if (!optionsCustomize_.ColumnSorting || logical < 0 || logical >= ColumnCount()) return;
  TGridColumn* column = columns_[static_cast<size_t>(logical)];
  if (modifiers & Qt::ControlModifier) {
    SetColumnSort(column, soNone, true);
    return;
  }
  const bool sorted = Contains(sorted_, column);
  const TGridSortOrder next = sorted && column->sortOrder_ == soAscending ? soDescending : soAscending;
  SetColumnSort(column, next, (modifiers & Qt::ShiftModifier) != 0);
}

void TGridDBTableView::GroupColumn(TGridColumn* column, int level) {
  Erase(grouped_, column);
  Erase(sorted_, column);
  level = std::clamp(level, 0, GroupedColumnCount());
  grouped_.insert(grouped_.begin() + level, column);
  if (column->sortOrder_ == soNone) column->sortOrder_ = soAscending;
  UpdateSection(column);
  RowsChanged(false);
}

void TGridDBTableView::UngroupColumn(TGridColumn* column, int visualIndex) {
  Erase(grouped_, column);
  column->sortOrder_ = soNone;
  UpdateSection(column);
  const int logical = LogicalOf(column);
  if (visualIndex >= 0 && logical >= 0) {
    const int from = header_->visualIndex(logical);
    const int to = std::clamp(visualIndex > from ? visualIndex - 1 : visualIndex, 0, header_->count() - 1);
    if (from != to) header_->moveSection(from, to);
  }
  RowsChanged(false);
}

bool TGridDBTableView::Over(QWidget* widget, const QPoint& globalPos, int slack) const {
  return widget->isVisible() &&
         widget->rect().adjusted(-slack, -slack, slack, slack).contains(widget->mapFromGlobal(globalPos));
}

void TGridDBTableView::SectionDropped(int logical, const QPoint& globalPos) {
  if (logical < 0 || logical >= ColumnCount()) return;
  TGridColumn* column = columns_[static_cast<size_t>(logical)];
  if (optionsCustomize_.ColumnGrouping && Over(groupBox_, globalPos)) {
    if (column->field_ >= 0) GroupColumn(column, groupBox_->LevelAt(groupBox_->mapFromGlobal(globalPos).x()));
    return;
  }
  if (optionsCustomize_.ColumnMoving && Over(header_, globalPos, header_->height())) {
    const int from = header_->visualIndex(logical);
    int to = header_->VisualInsertAt(header_->viewport()->mapFromGlobal(globalPos).x());
    if (to > from) --to;
    if (to != from) header_->moveSection(from, to);
  }
}

void TGridDBTableView::GroupItemClicked(int level) {
  if (!optionsCustomize_.ColumnSorting || level < 0 || level >= GroupedColumnCount()) return;
  TGridColumn* column = grouped_[static_cast<size_t>(level)];
  column->sortOrder_ = column->sortOrder_ == soDescending ? soAscending : soDescending;
  RowsChanged(false);
}

void TGridDBTableView::GroupItemDropped(int level, const QPoint& globalPos) {
  if (level < 0 || level >= GroupedColumnCount()) return;
  TGridColumn* column = grouped_[static_cast<size_t>(level)];
  if (Over(groupBox_, globalPos)) {
    int to = groupBox_->LevelAt(groupBox_->mapFromGlobal(globalPos).x());
    if (to > level) --to;
    if (to != level) GroupColumn(column, to);
    return;
  }
  const int visual = Over(header_, globalPos, header_->height())
                         ? header_->VisualInsertAt(header_->viewport()->mapFromGlobal(globalPos).x())
                         : -1;
  UngroupColumn(column, visual);
}

void TGridDBTableView::ShowFilter(int logical) {
  if (!optionsCustomize_.ColumnFiltering || logical < 0 || logical >= ColumnCount()) return;
  TGridColumn* column = columns_[static_cast<size_t>(logical)];
  if (column->field_ < 0 || DataSet() == nullptr) return;
  ui::GridKeys& keys = rows_->Keys(column->field_);
  ui::GridFilterPopup::Choice choice;
  for (uint32_t group : rows_->FilterChoices(column->field_)) {
    if (group == keys.BlankGroup())
      choice.hasBlanks = true;
    else
      choice.values << keys.GroupText(group);
  }
  choice.filtered = column->filtered_;
  choice.checked = column->filterValues_;
  choice.blanksChecked = column->filterBlanks_;
  if (filterPopup_) filterPopup_->close();
  auto* popup = new ui::GridFilterPopup(choice, this);
  QPointer<TGridColumn> target(column);
  popup->OnApply = [target](const ui::GridFilterPopup::Result& result) {
    if (!target) return;
    if (result.filtered)
      target->SetFilter(QStringList(result.values.begin(), result.values.end()), result.blanks);
    else
      target->ClearFilter();
  };
  popup->move(
      header_->viewport()->mapToGlobal(QPoint(header_->sectionViewportPosition(logical), header_->height())));
  filterPopup_ = popup;
  popup->show();
}

// --- Decorations ---------------------------------------------------------------------------------

QWidget* TGridDBTableView::Footer() const {
  return footer_;
}

ui::GridFilterPopup* TGridDBTableView::FilterPopup() const {
  return filterPopup_.data();
}

void TGridDBTableView::UpdateDecorations() {
  std::vector<ui::GridGroupBox::Item> items;
  for (const TGridColumn* column : grouped_)
    items.push_back({column->Caption(), column->sortOrder_ == soDescending ? 2 : 1});
  groupBox_->SetItems(std::move(items));
  groupBox_->setVisible(optionsView_.GroupByBox);

  QStringList filters;
  for (const TGridColumn* column : columns_) {
    if (!column->filtered_) continue;
    QStringList values = column->FilterValues();
    if (column->filterBlanks_)
      values.prepend(Localizer::Text(loc::FilterPopupBlanks, QStringLiteral("(Blanks)")));
    filters << column->Caption() + QStringLiteral(": ") + values.join(QStringLiteral(", "));
  }
  filterText_->setText(filters.join(QStringLiteral("; ")));
  filterBox_->setVisible(!filters.isEmpty());
  footer_->setVisible(optionsView_.Footer);
  footer_->update();
  header_->viewport()->update();
}

// --- Navigator -------------------------------------------------------------------------------------

void TGridDBTableView::UpdateNavigator() {
  if (navigatorVisible_ && !destroying_) navigator_->UpdateButtons();
}

bool TGridDBTableView::CanRun(ui::TGridNavigatorButton button) const {
  const TDataSet* ds = DataSet();
  const bool editing = ds != nullptr && (ds->State() == dsEdit || ds->State() == dsInsert);
  const bool any = ds != nullptr && model_->rowCount() > 0;
  const QModelIndex current = rowsView_->currentIndex();
  switch (button) {
    case ui::gnbFirst:
    case ui::gnbPriorPage:
    case ui::gnbPrior:
      return any && (!current.isValid() || rowsView_->indexAbove(current).isValid());
    case ui::gnbNext:
    case ui::gnbNextPage:
    case ui::gnbLast:
      return any && (!current.isValid() || rowsView_->indexBelow(current).isValid());
    case ui::gnbCancel:
      return editing;
    case ui::gnbRefresh:
      return ds != nullptr && !editing;
    case ui::gnbSaveBookmark:
      return ds != nullptr && dataController_.FocusedRecordIndex() >= 0;
    case ui::gnbGotoBookmark:
      return ds != nullptr && hasBookmark_;
    default:
      return false;  // the grid never inserts, deletes, edits or posts
  }
}

void TGridDBTableView::Run(ui::TGridNavigatorButton button) {
  TDataSet* ds = DataSet();
  if (ds == nullptr || !CanRun(button)) return;
  const QString& keys = dataController_.KeyFieldNames();
  switch (button) {
    case ui::gnbFirst:
      GoToFirst();
      break;
    case ui::gnbPriorPage:
      GoBy(-rowsView_->RowsPerPage());
      break;
    case ui::gnbPrior:
      GoBy(-1);
      break;
    case ui::gnbNext:
      GoBy(1);
      break;
    case ui::gnbNextPage:
      GoBy(rowsView_->RowsPerPage());
      break;
    case ui::gnbLast:
      GoToLast();
      break;
    case ui::gnbCancel:
      ds->Cancel();
      break;
    case ui::gnbRefresh:
      ds->Refresh();
      break;
    case ui::gnbSaveBookmark: {
      // The key names the row across reloads; without one, its place must do.
      const int row = dataController_.FocusedRecordIndex();
      if (keys.isEmpty()) {
        bookmark_ = row;
      } else {
        QVariantList values;
        for (const QString& name : keys.split(QLatin1Char(';'), Qt::SkipEmptyParts))
          values << ds->ValueAt(row, ds->FieldByName(name.trimmed())->Index());
        bookmark_ = values.size() == 1 ? values.first() : QVariant(values);
      }
      hasBookmark_ = true;
      break;
    }
    case ui::gnbGotoBookmark:
      if (keys.isEmpty())
        ds->SetRecNo(bookmark_.toInt() + 1);
      else
        ds->Locate(keys, bookmark_);
      break;
    default:
      break;
  }
}

// --- Printing --------------------------------------------------------------------------------------

std::vector<TGridPrintColumn> TGridDBTableView::PrintColumns() const {
  std::vector<TGridPrintColumn> printed;
  for (TGridColumn* column : VisibleColumns()) {
    const TField* field = column->Field();
    if (field == nullptr) continue;
    const bool isBoolean = field->DataType() == ftBoolean;
    printed.push_back({column->field_, column->Caption(), header_->sectionSize(LogicalOf(column)),
                       QtAlignment(column->headerAlignment_),
                       isBoolean ? Qt::AlignCenter : QtAlignment(field->Alignment()), isBoolean});
  }
  return printed;
}

std::vector<quintptr> TGridDBTableView::ShownItems(bool expandAll) const {
  std::vector<quintptr> items;
  if (rows_->Levels() == 0) {
    items.reserve(rows_->Count());
    for (uint32_t pos = 0; pos < rows_->Count(); ++pos) items.push_back(ui::GridModel::kRowTag | pos);
    return items;
  }
  const auto& nodes = rows_->Nodes();
  const int levels = rows_->Levels();
  auto visit = [&](auto&& self, uint32_t node) -> void {
    items.push_back(node);
    if (!expandAll && !rowsView_->isExpanded(model_->IndexOfNode(node))) return;
    const ui::GridGroupNode& n = nodes[node];
    if (n.level + 1 == levels) {
      for (uint32_t pos = n.first; pos < n.first + n.count; ++pos)
        items.push_back(ui::GridModel::kRowTag | pos);
    } else {
      for (uint32_t child = n.childBegin; child < n.childBegin + n.childCount; ++child) self(self, child);
    }
  };
  for (uint32_t top = 0; top < rows_->TopCount(); ++top) visit(visit, top);
  return items;
}

int TGridDBTableView::GroupLevels() const {
  return rows_->Levels();
}

bool TGridDBTableView::ItemIsGroup(quintptr item) const {
  return (item & ui::GridModel::kRowTag) == 0;
}

int TGridDBTableView::ItemLevel(quintptr item) const {
  return ItemIsGroup(item) ? rows_->Nodes()[static_cast<uint32_t>(item)].level : rows_->Levels();
}

QString TGridDBTableView::ItemGroupText(quintptr item) const {
  return ItemIsGroup(item) ? model_->GroupRowText(static_cast<uint32_t>(item)) : QString();
}

int TGridDBTableView::ItemDataRow(quintptr item) const {
  return ItemIsGroup(item)
             ? -1
             : static_cast<int>(rows_->RowAt(static_cast<uint32_t>(item & ~ui::GridModel::kRowTag)));
}

size_t TGridDBTableView::MemoryBytes() const {
  return rows_->MemoryBytes();
}

// --- TGrid -------------------------------------------------------------------------------------------

TGrid::TGrid(TComponent* owner, QWidget* parent)
    : QFrame(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)), TComponent(owner) {
  setFrameShape(QFrame::StyledPanel);
  setAccessibleName(QStringLiteral("Grade"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->setSpacing(0);
}

TGrid::~TGrid() {
  if (view_ != nullptr) view_->grid_ = nullptr;
}

void TGrid::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

void TGrid::SetView(TGridDBTableView* view) {
  view_ = view;
  layout()->addWidget(view);
  setFocusProxy(view);
}
