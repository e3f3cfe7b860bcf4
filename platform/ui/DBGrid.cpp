#include "platform/ui/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/DataSetModel.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/RecordActions.h"

namespace ui {

// The in-place editor of the grid's cells. A value the field refuses is reported and
// the editor stays open with the refused text, whichever way the user tried to leave.
class GridCellDelegate : public QStyledItemDelegate {
 public:
  GridCellDelegate(DataSetModel* model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("GridCellEditor"));
    editor->setAccessibleDescription(editor->objectName());
    editor->setFrame(false);
    if (const TField* field = model_->ColumnField(index.column())) {
      editor->setAccessibleName(field->DisplayLabel());
      if (field->DataType() == ftWideString && field->Size() > 0) editor->setMaxLength(field->Size());
      editor->setAlignment(index.data(Qt::TextAlignmentRole).value<Qt::Alignment>());
    }
    auto* self = const_cast<GridCellDelegate*>(this);
    self->editor_ = editor;
    self->index_ = QPersistentModelIndex(index);
    self->refused_ = false;
    QObject::connect(editor, &QLineEdit::textEdited, editor, [self, editor] { self->UserTyped(editor); });
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    // The row is shown again after every write; what the user typed stays.
    auto* line = static_cast<QLineEdit*>(editor);
    if (!line->isModified()) line->setText(index.data(Qt::EditRole).toString());
  }

  void setModelData(QWidget* editor, QAbstractItemModel* /*model*/, const QModelIndex& index) const override {
    // A refusal already reported is not reported again on the way out.
    if (refused_ && editor == editor_) return;
    const_cast<GridCellDelegate*>(this)->Commit(static_cast<QLineEdit*>(editor), index);
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& /*index*/) const override {
    editor->setGeometry(option.rect);
  }

  QLineEdit* Editor() const { return editor_; }
  QModelIndex EditIndex() const { return index_; }
  // The open editor holds text the field refused.
  bool HoldsRefusal() const { return editor_ != nullptr && refused_; }

  // A cancelled row takes the open editor's typing with it; left behind, that text would
  // be written into whatever row the next post or move found.
  void DiscardPending() {
    refused_ = false;
    if (editor_ == nullptr || !editor_->isModified()) return;
    editor_->setModified(false);
    if (index_.isValid()) editor_->setText(index_.data(Qt::EditRole).toString());
    emit closeEditor(editor_, RevertModelCache);
  }

  // Writes what the open editor holds, for the data set's post or move; raises.
  void WritePending() {
    if (editor_ == nullptr || !editor_->isModified() || !index_.isValid() || writing_) return;
    if (!RowEditing()) {
      DiscardPending();
      return;
    }
    writing_ = true;
    try {
      model_->WriteCell(index_, editor_->text());
    } catch (...) {
      writing_ = false;
      refused_ = true;
      throw;
    }
    writing_ = false;
    editor_->setModified(false);
    refused_ = false;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor == nullptr) return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
          return Leave(editor, NoHint);
        case Qt::Key_Tab:
          return Leave(editor, EditNextItem);
        case Qt::Key_Backtab:
          return Leave(editor, EditPreviousItem);
        case Qt::Key_Escape:
          // Undoes this cell only; Esc on the grid then cancels the row.
          editor->setModified(false);
          refused_ = false;
          emit closeEditor(editor, RevertModelCache);
          return true;
        default:
          break;
      }
    } else if (event->type() == QEvent::FocusOut) {
      if (reporting_ || writing_) return false;
      for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget())
        if (w == editor) return false;
      // A window switch keeps the edit as it is; the write comes on return or on post.
      if (static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason) return false;
      if (Commit(editor, index_)) {
        emit closeEditor(editor, NoHint);
      } else {
        QPointer<QLineEdit> guard(editor);
        QTimer::singleShot(0, editor, [guard] {
          if (guard) guard->setFocus();
        });
      }
      return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  // The first keystroke puts the row into edit state; a data set that will not edit
  // refuses the keystroke.
  void UserTyped(QLineEdit* editor) {
    TDataSet* ds = model_->DataSet();
    if (ds == nullptr || ds->State() == dsEdit || ds->State() == dsInsert) return;
    const QString typed = editor->text();
    bool editing = false;
    reporting_ = true;
    RunHandler([&] {
      if (model_->MoveCursorTo(index_.row()) && model_->DataSource() != nullptr) {
        model_->DataSource()->Edit();
        editing = ds->State() == dsEdit || ds->State() == dsInsert;
      }
    });
    reporting_ = false;
    if (!editing) {
      editor->setModified(false);
      editor->setText(index_.data(Qt::EditRole).toString());
      return;
    }
    if (editor->text() != typed) editor->setText(typed);
    editor->setModified(true);
  }

  bool RowEditing() const {
    const TDataSet* ds = model_->DataSet();
    return ds != nullptr && (ds->State() == dsEdit || ds->State() == dsInsert);
  }

  // Writes the editor's text; reports a refusal and answers false.
  bool Commit(QLineEdit* editor, const QModelIndex& index) {
    if (!editor->isModified() || !index.isValid()) return true;
    bool ok = false;
    reporting_ = true;
    writing_ = true;
    try {
      model_->WriteCell(index, editor->text());
      ok = true;
    } catch (...) {
      writing_ = false;
      ReportCurrentException();
    }
    writing_ = false;
    reporting_ = false;
    if (editor == editor_) refused_ = !ok;
    if (ok) editor->setModified(false);
    return ok;
  }

  bool Leave(QLineEdit* editor, EndEditHint hint) {
    if (Commit(editor, index_)) emit closeEditor(editor, hint);
    return true;
  }

  DataSetModel* model_;
  QPointer<QLineEdit> editor_;
  QPersistentModelIndex index_;
  bool refused_ = false;
  bool reporting_ = false;
  bool writing_ = false;
};

}  // namespace ui

using ui::DataSetModel;

TDBGrid::TDBGrid(TComponent* owner, QWidget* parent)
    : QTableView(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)), TComponent(owner) {
  model_ = new DataSetModel(this);
  delegate_ = new ui::GridCellDelegate(model_, this);
  setModel(model_);
  setItemDelegate(delegate_);
  model_->CommitPending = [this] { delegate_->WritePending(); };

  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  // Fixed row heights keep a hundred thousand rows cheap to lay out.
  QHeaderView* rows = verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(fontMetrics().height() + 6);
  rows->setFixedWidth(16);
  rows->setDefaultAlignment(Qt::AlignCenter);
  rows->setHighlightSections(false);
  setAccessibleName(QStringLiteral("Grade de registros"));

  connect(model_, &DataSetModel::CursorMoved, this, [this] { SelectCursorRow(); });
  connect(model_, &DataSetModel::ColumnsChanged, this, [this] { ApplyColumnWidths(); });
  connect(model_, &DataSetModel::EditingChanged, this, [this] {
    const TDataSet* ds = model_->DataSet();
    if (ds == nullptr || (ds->State() != dsEdit && ds->State() != dsInsert)) delegate_->DiscardPending();
  });
  connect(model_, &DataSetModel::IndicatorMoved, this, [this] { verticalHeader()->viewport()->update(); });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
          ui::Guarded([this](int section) { SortByColumn(section); }));
  ApplyOptions();
}

TDBGrid::~TDBGrid() {
  // The model's link must leave its source before the widgets go.
  model_->CommitPending = nullptr;
  model_->SetDataSource(nullptr);
}

void TDBGrid::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

TDataSource* TDBGrid::DataSource() const {
  return model_->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* source) {
  model_->SetDataSource(source);
}

TDataSet* TDBGrid::DataSet() const {
  return model_->DataSet();
}

void TDBGrid::SetOptions(TDBGridOptions options) {
  options_ = options;
  ApplyOptions();
}

void TDBGrid::SetConfirmDelete(bool confirm) {
  SetOptions(confirm ? (options_ | dgConfirmDelete) : (options_ & ~static_cast<unsigned>(dgConfirmDelete)));
}

void TDBGrid::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  ApplyOptions();
}

void TDBGrid::ApplyOptions() {
  const bool editing = (options_ & dgEditing) != 0 && !readOnly_;
  model_->SetEditable(editing);
  setEditTriggers(editing ? (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed)
                          : QAbstractItemView::NoEditTriggers);
  horizontalHeader()->setVisible((options_ & dgTitles) != 0);
  verticalHeader()->setVisible((options_ & dgIndicator) != 0);
  horizontalHeader()->setSectionResizeMode((options_ & dgColumnResize) != 0 ? QHeaderView::Interactive
                                                                            : QHeaderView::Fixed);
  horizontalHeader()->setSectionsClickable((options_ & dgTitleSort) != 0);
  horizontalHeader()->setSortIndicatorShown((options_ & dgTitleSort) != 0);
}

void TDBGrid::SetColumnWidth(const QString& fieldName, int pixels) {
  if (pixels > 0)
    columnWidths_.insert(fieldName.toLower(), pixels);
  else
    columnWidths_.remove(fieldName.toLower());
  ApplyColumnWidths();
}

void TDBGrid::SetTitleAlignment(Qt::Alignment alignment) {
  model_->SetTitleAlignment(alignment);
}

void TDBGrid::ApplyColumnWidths() {
  const QFontMetrics metrics(font());
  const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
  for (int column = 0; column < model_->FieldColumnCount(); ++column) {
    const TField* field = model_->ColumnField(column);
    int width = columnWidths_.value(field->FieldName().toLower(), 0);
    if (width <= 0) {
      width = std::max(field->DisplayWidth() * metrics.averageCharWidth(),
                       metrics.horizontalAdvance(field->DisplayLabel())) +
              padding;
    }
    horizontalHeader()->resizeSection(column, width);
  }
}

TField* TDBGrid::SelectedField() const {
  const QModelIndex current = currentIndex();
  return model_->ColumnField(current.isValid() ? current.column() : 0);
}

int TDBGrid::ColumnOfField(const QString& fieldName) const {
  for (int column = 0; column < model_->FieldColumnCount(); ++column)
    if (model_->ColumnField(column)->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return column;
  return -1;
}

QWidget* TDBGrid::CellEditor() const {
  return state() == QAbstractItemView::EditingState ? delegate_->Editor() : nullptr;
}

bool TDBGrid::CanChangeRows() const {
  const TDataSet* ds = DataSet();
  return !readOnly_ && ds != nullptr && ds->CanModify();
}

void TDBGrid::DeleteRecord() {
  TDataSet* ds = DataSet();
  if (ds == nullptr || !CanChangeRows()) return;
  ui::DeleteCurrentRecord(*ds, ConfirmDelete());
}

void TDBGrid::SelectCursorRow() {
  const int row = model_->CursorRow();
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex current = currentIndex();
  if (current.isValid() && current.row() == row) return;
  const int column = current.isValid() ? current.column() : 0;
  const QModelIndex target = model_->index(row, column);
  const bool wasSyncing = syncing_;
  syncing_ = true;
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  syncing_ = wasSyncing;
  scrollTo(target);
}

void TDBGrid::MoveCursorTo(int row) {
  syncing_ = true;
  ui::RunHandler([&] { model_->MoveCursorTo(row); });
  syncing_ = false;
  // A move that failed (a post refused on the way) leaves the selection on the cursor.
  SelectCursorRow();
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (!syncing_ && delegate_->HoldsRefusal() && previous.isValid() && previous == delegate_->EditIndex()) {
    // The refused text stays in its cell until corrected or undone with Esc.
    syncing_ = true;
    selectionModel()->setCurrentIndex(previous,
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
    return;
  }
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  if (current.row() != model_->CursorRow()) MoveCursorTo(current.row());
}

void TDBGrid::SortByColumn(int column) {
  if ((options_ & dgTitleSort) == 0) return;
  TDataSet* ds = DataSet();
  const TField* field = model_->ColumnField(column);
  if (ds == nullptr || field == nullptr) return;
  const bool descending = ds->Sort().compare(field->FieldName(), Qt::CaseInsensitive) == 0;
  ds->SetSort(descending ? field->FieldName() + QStringLiteral(" DESC") : field->FieldName());
  horizontalHeader()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool TDBGrid::HandleEditingKey(QKeyEvent* event) {
  TDataSet* ds = DataSet();
  if (ds == nullptr || (options_ & dgEditing) == 0 || !CanChangeRows() ||
      event->modifiers() != Qt::NoModifier)
    return false;
  const bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
  switch (event->key()) {
    case Qt::Key_Escape:
      if (!editing) return false;
      ds->Cancel();
      return true;
    case Qt::Key_Insert:
      ds->Insert();
      return true;
    case Qt::Key_Down:
      // Down from the last row appends, unless that row is a new one left untouched.
      if (ds->RecNo() < ds->RecordCount() || (ds->State() == dsInsert && !ds->Modified())) return false;
      ds->Append();
      return true;
    default:
      return false;
  }
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
    ui::RunHandler([this] { DeleteRecord(); });
    event->accept();
    return;
  }
  bool handled = false;
  ui::RunHandler([&] { handled = HandleEditingKey(event); });
  if (handled) {
    event->accept();
    return;
  }
  // Esc with nothing to undo belongs to the window (its cancel button).
  if (event->key() == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  QTableView::keyPressEvent(event);
}
