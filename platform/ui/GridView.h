#pragma once

#include <QFrame>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/db/DataTypes.h"
#include "platform/rtl/Component.h"
#include "platform/ui/GridNavigator.h"

class QLabel;
class QToolButton;
class TDataSource;
class TDataSet;
class TField;
class TGrid;
class TGridDBTableView;

namespace ui {
class GridFilterPopup;
class GridFooter;
class GridGroupBox;
class GridHeader;
class GridModel;
class GridRows;
class GridTreeView;
}  // namespace ui

enum TGridSortOrder { soNone, soAscending, soDescending };

// A column of a data-bound table view: one field of the data set (DataBinding), its
// title and place. Sorting, grouping and filtering are set here or by the operator.
class TGridColumn : public QObject, public TComponent {
  Q_OBJECT

 public:
  static constexpr int kDefaultWidth = 64;

  // Appended to the view's columns; the view owns it.
  explicit TGridColumn(TGridDBTableView* view);
  ~TGridColumn() override;

  QString ClassName() const override { return QStringLiteral("TGridColumn"); }
  TGridDBTableView* GridView() const { return view_; }

  // --- DataBinding ---------------------------------------------------------------------
  const QString& FieldName() const { return fieldName_; }
  void SetFieldName(const QString& name);
  // The bound field while the data set is open, else nullptr.
  TField* Field() const;
  int FieldIndex() const { return field_; }

  // --- Presentation --------------------------------------------------------------------
  // The field's display label unless set.
  QString Caption() const;
  void SetCaption(const QString& caption);
  TAlignment HeaderAlignmentHorz() const { return headerAlignment_; }
  void SetHeaderAlignmentHorz(TAlignment alignment);
  int Width() const { return width_; }
  void SetWidth(int width);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Position among the view's columns, as shown from the left (hidden ones included).
  int Index() const;
  void SetIndex(int index);

  // --- Data operations -----------------------------------------------------------------
  // Setting an order adds the column as the last sort key; soNone removes it. For a
  // grouped column it is the order of its groups.
  TGridSortOrder SortOrder() const { return sortOrder_; }
  void SetSortOrder(TGridSortOrder order);
  // Place among the sort keys, -1 when not sorted (or grouped).
  int SortIndex() const;
  // Level of grouping, -1 when not grouped. Setting moves it there (or ungroups).
  int GroupIndex() const;
  void SetGroupIndex(int index);
  // Shows only the rows whose display text is one of values (blanks: also the empty
  // ones).
  bool Filtered() const { return filtered_; }
  QStringList FilterValues() const;
  bool FilterBlanks() const { return filterBlanks_; }
  void SetFilter(const QStringList& values, bool blanks = false);
  void ClearFilter();

 protected:
  void NameChanged() override;

 private:
  friend class TGridDBTableView;

  TGridDBTableView* view_;
  QString fieldName_;
  QString caption_;
  TAlignment headerAlignment_ = taLeftJustify;
  int width_ = kDefaultWidth;
  bool visible_ = true;
  TGridSortOrder sortOrder_ = soNone;
  bool filtered_ = false;
  QSet<QString> filterValues_;
  bool filterBlanks_ = false;
  int field_ = -1;
};

// --- Summaries ----------------------------------------------------------------------------

enum TGridSummaryKind { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TGridSummaryPosition { spGroup, spFooter };

struct TGridSummaryItem {
  QString FieldName;
  TGridSummaryKind Kind = skSum;
  QString Format;  // FormatFloat/FormatCurr pattern, "0.00"
  TGridSummaryPosition Position = spGroup;
};

class TGridSummaryItems {
 public:
  int Add(const TGridSummaryItem& item) {
    items_.push_back(item);
    return Count() - 1;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  const TGridSummaryItem& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TGridSummaryItem& Items(int index) { return items_.at(static_cast<size_t>(index)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TGridSummaryItem> items_;
};

struct TGridSummary {
  // Over all shown rows, in the footer row.
  TGridSummaryItems FooterSummaryItems;
  // Over each group's rows, for every group (in its footer or its row, by Position).
  TGridSummaryItems DefaultGroupSummaryItems;
};

// The view's link to its data: the source, the key, the summaries.
class TGridDataController {
 public:
  explicit TGridDataController(TGridDBTableView& view) : view_(view) {}

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  // "id": the field that names a row, for bookmarks.
  const QString& KeyFieldNames() const { return keyFieldNames_; }
  void SetKeyFieldNames(const QString& names) { keyFieldNames_ = names; }
  TGridSummary& Summary() { return summary_; }
  const TGridSummary& Summary() const { return summary_; }

  // Data rows the grid shows (after its filter).
  int RecordCount() const;
  // The data set row (0-based) of the focused data row, -1 when none.
  int FocusedRecordIndex() const;

  // Summaries: null when there is nothing to sum. Group rows are model indexes of the
  // view's rows.
  QVariant FooterSummaryValue(int item) const;
  QString FooterSummaryText(int item) const;
  QVariant GroupSummaryValue(const QModelIndex& groupRow, int item) const;
  QString GroupSummaryText(const QModelIndex& groupRow, int item) const;

 private:
  QVariant SummaryOver(const TGridSummaryItem& item, uint32_t first, uint32_t count) const;
  QString SummaryText(const TGridSummaryItem& item, const QVariant& value) const;

  TGridDBTableView& view_;
  QString keyFieldNames_;
  TGridSummary summary_;
};

struct TGridOptionsView {
  bool GroupByBox = true;
  bool Footer = false;
  bool GroupFooters = false;  // group footers are not drawn by this grid
};

struct TGridOptionsCustomize {
  bool ColumnSorting = true;
  bool ColumnGrouping = true;
  bool ColumnFiltering = true;
  bool ColumnMoving = true;
  bool ColumnHorzSizing = true;
};

// A column as the grid shows it, for printing.
struct TGridPrintColumn {
  int field = -1;
  QString caption;
  int width = 0;
  Qt::Alignment headerAlignment;
  Qt::Alignment cellAlignment;
  bool isBoolean = false;
};

// The table view of a TGrid bound to a data set: group panel, column titles, rows
// (group rows included), an optional footer and its own navigator. It never edits.
// The focused row and the data set's cursor follow each other. Sorting, grouping and
// filtering work on row index vectors (see GridRows), never on the data set's order.
class TGridDBTableView : public QWidget, public TComponent {
  Q_OBJECT

 public:
  TGridDBTableView(TComponent* owner, TGrid* grid);
  ~TGridDBTableView() override;

  QString ClassName() const override { return QStringLiteral("TGridDBTableView"); }
  TGrid* Grid() const { return grid_; }

  TGridDataController& DataController() { return dataController_; }
  const TGridDataController& DataController() const { return dataController_; }
  TDataSet* DataSet() const;

  // --- Columns ---------------------------------------------------------------------------
  TGridColumn* CreateColumn();
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // In creation order.
  TGridColumn* Columns(int index) const { return columns_.at(static_cast<size_t>(index)); }
  TGridColumn* ColumnByFieldName(const QString& fieldName) const;
  // Shown in the header (visible and not grouped), left to right.
  std::vector<TGridColumn*> VisibleColumns() const;
  int GroupedColumnCount() const { return static_cast<int>(grouped_.size()); }
  TGridColumn* GroupedColumns(int index) const { return grouped_.at(static_cast<size_t>(index)); }
  int SortedColumnCount() const { return static_cast<int>(sorted_.size()); }
  TGridColumn* SortedColumns(int index) const { return sorted_.at(static_cast<size_t>(index)); }

  // --- Options ---------------------------------------------------------------------------
  const TGridOptionsView& OptionsView() const { return optionsView_; }
  void SetOptionsView(const TGridOptionsView& options);
  const TGridOptionsCustomize& OptionsCustomize() const { return optionsCustomize_; }
  void SetOptionsCustomize(const TGridOptionsCustomize& options);
  bool NavigatorVisible() const { return navigatorVisible_; }
  void SetNavigatorVisible(bool visible);
  ui::GridNavigator* Navigator() const { return navigator_; }

  // --- Operations --------------------------------------------------------------------------
  // Many changes, one rebuild.
  void BeginUpdate();
  void EndUpdate();
  void ClearSorting();
  void ClearGrouping();
  void ClearFiltering();
  void ExpandAll();
  void CollapseAll();
  // Moves the focus (and the data set) by rows as shown; false when it cannot.
  bool GoToFirst();
  bool GoToLast();
  bool GoBy(int rows);

  // --- Parts, for tests and the report link -------------------------------------------------
  ui::GridHeader* Header() const { return header_; }
  ui::GridGroupBox* GroupByBox() const { return groupBox_; }
  ui::GridTreeView* Rows() const { return rowsView_; }
  ui::GridModel* Model() const { return model_.get(); }
  QWidget* FilterBox() const { return filterBox_; }
  QWidget* Footer() const;
  // The filter list open now, else nullptr.
  ui::GridFilterPopup* FilterPopup() const;

  // What is shown, for printing: columns left to right with their widths, and the rows
  // top to bottom (group rows included; expandAll opens every group). Items are model
  // internal ids (GridModel).
  std::vector<TGridPrintColumn> PrintColumns() const;
  std::vector<quintptr> ShownItems(bool expandAll = false) const;
  int GroupLevels() const;
  bool ItemIsGroup(quintptr item) const;
  int ItemLevel(quintptr item) const;
  QString ItemGroupText(quintptr item) const;
  int ItemDataRow(quintptr item) const;
  // Bytes of the grid's index vectors and keys.
  size_t MemoryBytes() const;

 protected:
  void NameChanged() override;

 private:
  friend class TGridColumn;
  friend class TGridDataController;
  friend class TGrid;
  class Link;

  void BuildParts();
  void NameParts();
  // Columns changed: model columns and header sections again.
  void ColumnsChanged();
  void ApplyHeaderState();
  void UpdateSection(TGridColumn* column);
  void BindFields();
  // Rows must be built again; dataChanged: the data set's rows changed too.
  void RowsChanged(bool dataChanged);
  void RestoreExpanded();
  void CaptureExpanded();
  void SyncToCursor(bool pullDataSet);
  void FocusChanged(const QModelIndex& current);
  void ExpandTo(const QModelIndex& index);
  void UpdateDecorations();
  void UpdateNavigator();
  bool CanRun(ui::TGridNavigatorButton button) const;
  void Run(ui::TGridNavigatorButton button);
  bool FocusIndex(const QModelIndex& index);

  void SortClicked(int logical, Qt::KeyboardModifiers modifiers);
  void SectionDropped(int logical, const QPoint& globalPos);
  void GroupItemClicked(int level);
  void GroupItemDropped(int level, const QPoint& globalPos);
  void ShowFilter(int logical);
  bool Over(QWidget* widget, const QPoint& globalPos, int slack = 0) const;

  // Column changes, from TGridColumn.
  void RemoveColumn(TGridColumn* column);
  void SetColumnSort(TGridColumn* column, TGridSortOrder order, bool keepOthers);
  void GroupColumn(TGridColumn* column, int level);
  void UngroupColumn(TGridColumn* column, int visualIndex);
  int LogicalOf(const TGridColumn* column) const;

  TGrid* grid_;
  TGridDataController dataController_;
  std::unique_ptr<Link> link_;
  std::unique_ptr<ui::GridRows> rows_;
  std::unique_ptr<ui::GridModel> model_;
  std::vector<TGridColumn*> columns_;
  std::vector<TGridColumn*> sorted_;
  std::vector<TGridColumn*> grouped_;
  TGridOptionsView optionsView_;
  TGridOptionsCustomize optionsCustomize_;
  bool navigatorVisible_ = false;
  QVariant bookmark_;
  bool hasBookmark_ = false;

  ui::GridGroupBox* groupBox_ = nullptr;
  ui::GridHeader* header_ = nullptr;
  ui::GridTreeView* rowsView_ = nullptr;
  QWidget* filterBox_ = nullptr;
  QLabel* filterText_ = nullptr;
  QToolButton* filterClear_ = nullptr;
  ui::GridFooter* footer_ = nullptr;
  ui::GridNavigator* navigator_ = nullptr;
  QPointer<ui::GridFilterPopup> filterPopup_;

  int updateLock_ = 0;
  bool pendingRows_ = false;
  bool pendingData_ = false;
  bool syncing_ = false;
  bool destroying_ = false;
};

// The grid control: a frame holding its one table view.
class TGrid : public QFrame, public TComponent {
  Q_OBJECT

 public:
  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TGrid(TComponent* owner, QWidget* parent = nullptr);
  ~TGrid() override;

  QString ClassName() const override { return QStringLiteral("TGrid"); }
  TGridDBTableView* View() const { return view_; }

 protected:
  void NameChanged() override;

 private:
  friend class TGridDBTableView;
  void SetView(TGridDBTableView* view);

  TGridDBTableView* view_ = nullptr;
};
