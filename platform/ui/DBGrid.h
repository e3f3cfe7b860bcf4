#pragma once

#include <QHash>
#include <QString>
#include <QTableView>

#include "platform/rtl/Component.h"

class TDataSource;
class TDataSet;
class TField;

namespace ui {
class DataSetModel;
class GridCellDelegate;
}  // namespace ui

enum TDBGridOption : unsigned {
  dgEditing = 0x01,        // cells can be edited (the data set goes into edit state)
  dgTitles = 0x02,         // column titles shown
  dgIndicator = 0x04,      // the row indicator column shown
  dgColumnResize = 0x08,   // the user may resize columns
  dgConfirmDelete = 0x10,  // Ctrl+Delete asks "Delete record?" first
  dgTitleSort = 0x20,      // a click on a title sorts the rows by that column
};
using TDBGridOptions = unsigned;

// A grid over the visible fields of a data source's data set: one column per visible
// field in field order, titled with its DisplayLabel, cells formatted by DisplayText and
// aligned by the field's Alignment, widths from DisplayWidth (characters) unless set in
// pixels. The selected row and the data set's cursor follow each other.
//
// Keys: Ctrl+Delete deletes the current row (asking first with dgConfirmDelete). With
// dgEditing: typing edits the current cell (the data set goes into edit state; the field
// is written on Enter, Tab, leaving the cell, or when the row is posted; a refused value
// is reported and the text stays for correction), Esc in a cell undoes it and Esc on
// the grid cancels the row, Insert inserts, Down on the last row appends.
//
// It draws only the rows on screen and reads them without moving the cursor, so it
// stays smooth with a hundred thousand rows.
class TDBGrid : public QTableView, public TComponent {
  Q_OBJECT

 public:
  static constexpr TDBGridOptions kDefaultOptions =
      dgEditing | dgTitles | dgIndicator | dgColumnResize | dgConfirmDelete;

  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TDBGrid(TComponent* owner, QWidget* parent = nullptr);
  ~TDBGrid() override;

  QString ClassName() const override { return QStringLiteral("TDBGrid"); }

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;

  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions options);
  bool ConfirmDelete() const { return (options_ & dgConfirmDelete) != 0; }
  void SetConfirmDelete(bool confirm);
  // No editing and no deleting, whatever the options.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);

  // A column's width in pixels, instead of the field's DisplayWidth (letter case of the
  // field name ignored); 0 returns to DisplayWidth.
  void SetColumnWidth(const QString& fieldName, int pixels);
  void SetTitleAlignment(Qt::Alignment alignment);

  // The field of the current column; nullptr when there is none.
  TField* SelectedField() const;
  // The column of a field, -1 when it is not shown.
  int ColumnOfField(const QString& fieldName) const;

  // Ctrl+Delete: the current row is deleted, after the question with ConfirmDelete.
  // Cancel deletes nothing; errors (EAbort from BeforeDelete included) travel on.
  void DeleteRecord();

  ui::DataSetModel* Model() const { return model_; }
  // The open cell editor, nullptr when no cell is being edited.
  QWidget* CellEditor() const;

 protected:
  void NameChanged() override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void ApplyOptions();
  void ApplyColumnWidths();
  void SelectCursorRow();
  void MoveCursorTo(int row);
  void SortByColumn(int column);
  bool CanChangeRows() const;
  bool HandleEditingKey(QKeyEvent* event);

  ui::DataSetModel* model_ = nullptr;
  ui::GridCellDelegate* delegate_ = nullptr;
  TDBGridOptions options_ = kDefaultOptions;
  bool readOnly_ = false;
  bool syncing_ = false;
  QHash<QString, int> columnWidths_;  // lower-cased field name -> pixels
};
