#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/DataTypes.h"
#include "platform/db/Field.h"
#include "platform/db/RowStore.h"
#include "platform/rtl/Component.h"

class TDataSource;
class TDataLink;

namespace db {

enum class DataEvent : int;

// A result column as the provider describes it at Open.
struct ColumnDef {
  QString name;  // as the database names it: "id", "c.nome"
  TFieldType type = ftWideString;
  int size = 0;            // text: declared size, 0 = no limit
  bool typed = true;       // false: an expression; its kind was guessed from its values
  bool updatable = false;  // a column of the one table the data set writes to
  bool key = false;        // that table's primary key
};

}  // namespace db

// A cursor over a static snapshot of rows with typed fields, edit states, master-detail,
// client-side sort and data-source notifications. TADODataSet supplies the rows and
// writes them; everything else lives here.
//
// Rows and RecNo: RecNo is 1-based over the visible rows (after the master-detail
// filter and Sort); the row-access functions (ValueAt, DisplayTextAt) take 0-based row
// indexes over the same visible rows and never move the cursor. While a row is being
// inserted it is already listed (RecordCount counts it) and reads its typed values.
//
// Order of events (each "notify" reaches the data sources, which tell master-detail
// links first, then the other links, then run their own OnStateChange/OnDataChange/
// OnUpdateData):
//   Open:   BeforeOpen, rows loaded, fields bound, state browse (notify ActiveChanged,
//           OnStateChange), AfterOpen, AfterScroll (when not empty).
//   Close:  BeforeClose, pending edit discarded, state inactive (notify), AfterClose.
//   Scroll (First, Last, Next, Prior, MoveBy, SetRecNo, Locate): CheckBrowseMode (posts
//           a modified row, cancels an untouched one), BeforeScroll, move, notify
//           DataSetScrolled (only if it moved), AfterScroll.
//   Edit:   BeforeEdit, buffer filled, state edit (notify EditingChanged, OnStateChange),
//           notify RecordChanged, AfterEdit. On an empty data set Edit inserts.
//   Append/Insert: CheckBrowseMode, BeforeInsert, BeforeScroll, row listed, state insert
//           (notify, OnStateChange: handlers may already set fields), OnNewRecord, the
//           master's values copied into the detail's index fields, Modified reset,
//           notify RowsInserted, AfterInsert, AfterScroll.
//   Set a field: notify RecordChanged(field) and OnDataChange(field), then OnChange.
//   Post:   notify UpdateData (links write their pending edits) and OnUpdateData,
//           BeforePost, required-field check, write to the database (committed when it
//           returns), row stored in the snapshot, state browse (notify, OnStateChange),
//           notify RowChanged (or DataSetChanged when Sort moved it), AfterPost.
//           A failure anywhere before the write's success leaves the state, the buffer
//           and the snapshot as they were: Post can be retried.
//   Cancel: BeforeCancel, buffer dropped (an inserted row unlisted), state browse
//           (notify), notify RowsRemoved or RecordChanged, AfterCancel.
//   Delete: an inserting row is cancelled instead. Otherwise notify CheckBrowseMode,
//           BeforeDelete (EAbort there cancels: it propagates, nothing changed),
//           BeforeScroll, delete in the database, row unlisted, state browse, notify
//           RowsRemoved, AfterDelete, AfterScroll.
class TDataSet : public TComponent {
 public:
  using TDataSetNotifyEvent = std::function<void(TDataSet&)>;

  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;

  QString ClassName() const override { return QStringLiteral("TDataSet"); }

  // --- Life ---------------------------------------------------------------------------
  void Open();
  void Close();
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool active) { active ? Open() : Close(); }
  // Reloads the rows and goes back to the row with the same key (or the same RecNo).
  void Refresh();
  TDataSetState State() const { return state_; }
  // A field was set since Edit/Append/Insert.
  bool Modified() const { return modified_; }
  // The data set accepts Edit, Append, Insert and Delete.
  bool CanModify() const;

  // --- Navigation ----------------------------------------------------------------------
  void First();
  void Last();
  void Next();
  void Prior();
  // Gives the distance actually moved.
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return view_.empty(); }
  int RecordCount() const { return static_cast<int>(view_.size()); }
  // 1-based; 0 when empty. SetRecNo clamps to the rows there are.
  int RecNo() const { return cursor_ + 1; }
  void SetRecNo(int recNo);
  // Moves to the first visible row whose field equals value; false (and no move)
  // when there is none. Text compares exactly unless loCaseInsensitive; loPartialKey
  // matches a text prefix. Several fields: "a;b" with a QVariantList.
  bool Locate(const QString& fieldNames, const QVariant& value, TLocateOptions options = 0);

  // --- Editing -------------------------------------------------------------------------
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Posts a modified row or cancels an untouched one; asks detail data sets first.
  void CheckBrowseMode();
  // Lets the data links and OnUpdateData write pending edits into the fields.
  void UpdateRecord();

  // --- Fields ---------------------------------------------------------------------------
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField* Fields(int index) const;
  // Letter case is ignored; raises EDatabaseError "Field '%s' not found".
  TField* FieldByName(const QString& name) const;
  TField* FindField(const QString& name) const;
  int AggFieldCount() const { return static_cast<int>(aggFields_.size()); }
  TAggregateField* AggFields(int index) const;

  // --- Client-side order ------------------------------------------------------------------
  // "id", "nome DESC, id": a comma-separated list of fields, each optionally ASC or DESC.
  // Nulls come first; text compares without case. "" restores the query's order.
  const QString& Sort() const { return sort_; }
  void SetSort(const QString& sort);

  // --- Master-detail ---------------------------------------------------------------------
  // With a master source, only rows whose IndexFieldNames equal the master's MasterFields
  // on the master's current row are visible ("a;b" pairs by position); the view follows
  // the master, and a new row gets the master's values. A master without a current row,
  // or with a null value, shows no rows.
  TDataSource* DataSource() const { return masterSource_; }
  void SetDataSource(TDataSource* source);
  const QString& MasterFields() const { return masterFields_; }
  void SetMasterFields(const QString& names);
  const QString& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(const QString& names);

  // --- Rows without moving the cursor (0-based visible rows) --------------------------------
  QVariant ValueAt(int row, int fieldIndex) const;
  bool IsNullAt(int row, int fieldIndex) const;
  QString DisplayTextAt(int row, int fieldIndex) const;
  db::Value CellAt(int row, int fieldIndex) const;
  // The cursor as a 0-based row, -1 when empty.
  int CurrentRow() const { return cursor_; }
  // Bytes held by the snapshot and the list of visible rows.
  size_t SnapshotBytes() const;

  // --- Events ------------------------------------------------------------------------------
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent OnNewRecord;

 protected:
  // Loads every row into store and describes the columns; raises on failure.
  virtual void InternalOpen(db::RowStore& store, std::vector<db::ColumnDef>& columns) = 0;
  virtual void InternalClose() {}
  // Why the data set cannot be written ("" when it can).
  virtual QString ReadOnlyReason() const = 0;
  // Writes a new row: only the listed columns are sent; gives back the row as stored
  // (the database's id and defaults included) in row.
  virtual void InternalInsert(std::vector<db::Value>& row, const std::vector<int>& columns) = 0;
  // Writes the listed columns of the row whose key is in oldRow; gives back the row as
  // stored. A row that no longer exists raises EDatabaseError.
  virtual void InternalUpdate(const std::vector<db::Value>& oldRow, std::vector<db::Value>& row,
                              const std::vector<int>& columns) = 0;
  // Deletes the row whose key is in row; false when it was no longer there.
  virtual bool InternalDelete(const std::vector<db::Value>& row) = 0;

  const std::vector<db::ColumnDef>& Columns() const { return columns_; }
  [[noreturn]] void DatabaseError(const QString& message) const;

 private:
  friend class TField;
  friend class TAggregateField;
  friend class TDataSource;
  class MasterLink;
  struct SortKey {
    int column;
    bool descending;
  };

  void CheckActive() const;
  void CheckCanModify() const;
  bool Editing() const { return state_ == dsEdit || state_ == dsInsert; }
  // Sets the state and tells the sources; raw changes first, then one notification.
  void SetState(TDataSetState state);
  void NotifyState();
  void Notify(db::DataEvent event, TField* field = nullptr, int row = -1, int count = 0);
  void Fire(const TDataSetNotifyEvent& handler) {
    if (handler) handler(*this);
  }

  void BindFields();
  void UnbindFields();
  void RetypeColumn(int column, TFieldType type);
  void AddField(TField* field);
  void RemoveField(TField* field);
  void FieldLayoutChanged();
  void AddSource(TDataSource* source);
  void RemoveSource(TDataSource* source);
  void DetachEverything();

  void BeginInsert(bool append);
  void CopyMasterValues();
  void ClearBuffers();
  void Scroll(int target, int distance, bool bof, bool eof);
  int ColumnOf(const QString& fieldName) const;
  std::vector<int> ColumnsOf(const QString& fieldNames) const;
  std::vector<SortKey> ParseSort(const QString& sort) const;
  void RebuildView();
  void ApplySort(std::vector<uint32_t>& rows) const;
  bool MasterValues(std::vector<db::Value>& values) const;
  void MasterChanged(bool force);
  bool RowMatches(uint32_t physicalRow, const std::vector<int>& columns,
                  const std::vector<db::Value>& values) const;
  std::vector<db::Value> RowValues(uint32_t physicalRow) const;
  db::Value CurrentCell(int column) const;
  db::Value OldCell(int column) const;
  db::Value ViewCell(int row, int column) const;
  void SetCurrentCell(TField* field, const db::Value& value);
  bool IsCurrentEditRow(int row) const { return row == cursor_ && Editing(); }
  uint64_t Version() const { return version_; }
  void Changed() { ++version_; }

  TDataSetState state_ = dsInactive;
  db::RowStore store_;
  std::vector<db::ColumnDef> columns_;
  std::vector<bool> dead_;      // per physical row: deleted or a cancelled insert
  std::vector<uint32_t> view_;  // visible physical rows, in order
  int cursor_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  std::vector<db::Value> buffer_;
  std::vector<db::Value> oldRow_;
  std::vector<bool> assigned_;
  int insertPhysical_ = -1;
  uint64_t version_ = 1;

  std::vector<TField*> fields_;
  std::vector<TField*> aggFields_;  // each a TAggregateField
  std::vector<TField*> persistent_;
  std::vector<TDataSource*> sources_;

  QString sort_;
  std::vector<SortKey> sortKeys_;
  TDataSource* masterSource_ = nullptr;
  std::unique_ptr<MasterLink> masterLink_;
  QString masterFields_;
  QString indexFieldNames_;
  std::vector<int> indexColumns_;
  std::vector<db::Value> lastMasterValues_;
  bool lastMasterValid_ = false;
};
