#pragma once

#include <functional>
#include <vector>

#include "platform/db/DataTypes.h"
#include "platform/rtl/Component.h"

class TDataSet;
class TDataLink;
class TField;

namespace db {

// What a data set tells its data sources (see TDataSet for when each comes).
enum class DataEvent : int {
  StateChanged,
  FieldChanged,
  RecordChanged,
  DataSetChanged,
  Scrolled,
  LayoutChanged,
  UpdateData,
  CheckBrowseMode,
  RowsInserted,
  RowsRemoved,
  RowChanged
};

}  // namespace db

// Connects data-aware controls (through TDataLink) and handlers to one data set.
class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* owner = nullptr);
  ~TDataSource() override;

  QString ClassName() const override { return QStringLiteral("TDataSource"); }

  TDataSet* DataSet() const { return dataSet_; }
  // Binding to a data set that is already open or editing reports the state change
  // (links and OnStateChange) at once.
  void SetDataSet(TDataSet* dataSet);
  // The data set's state, dsInactive without one.
  TDataSetState State() const { return state_; }
  // Default true: controls may put the data set into edit state when the user types.
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
  // Edit on the data set when AutoEdit and browsing; otherwise nothing.
  void Edit();

  // After each state change of the data set (and when binding changes it).
  std::function<void(TDataSource&)> OnStateChange;
  // A field changed (field given), or the record, the rows or the layout did (nullptr).
  std::function<void(TDataSource&, TField*)> OnDataChange;
  // At the start of Post (after the links' UpdateData): last chance to set fields.
  std::function<void(TDataSource&)> OnUpdateData;

  int DataLinkCount() const { return static_cast<int>(links_.size()); }

 private:
  friend class TDataSet;
  friend class TDataLink;

  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);
  void UpdateState(bool runHandlers = true);
  void DataSetDestroyed();
  void DataEvent(db::DataEvent event, TField* field, int row, int count);
  template <typename F>
  void ForEachLink(F&& call);

  TDataSet* dataSet_ = nullptr;
  TDataSetState state_ = dsInactive;
  bool autoEdit_ = true;
  std::vector<TDataLink*> links_;
};

// Base of everything that follows a data source: grid adapters, edit boxes, navigators,
// lookup boxes, and the master link of a detail data set. Override the hooks needed;
// the defaults pass structural changes on to DataSetChanged, which passes on to
// RecordChanged(nullptr). Non-visual links (IsVisual false) are told before visual ones.
// A link detaches itself when destroyed, and is detached when its source goes.
//
// When RowsInserted/RowsRemoved arrive, RecordCount already counts the change: a grid
// model keeps its own row count and moves it in these calls (and resets it in
// DataSetChanged/ActiveChanged). Links are told of a new row before the insert state
// begins, and of a removed row before the state goes back to browse.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  // The data set is open.
  bool Active() const;
  // The data set is in edit or insert state.
  bool Editing() const;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // For a control about to change a value: asks the source to Edit (AutoEdit) and
  // tells whether the data set is now editing. A read-only link never edits.
  bool Edit();
  // Runs the data set's UpdateRecord (all links' UpdateData and OnUpdateData).
  void UpdateRecord();

 protected:
  friend class TDataSource;

  virtual bool IsVisual() const { return true; }
  // Opened, closed, or bound to another source or data set.
  virtual void ActiveChanged() {}
  // Entered or left edit/insert state.
  virtual void EditingChanged() {}
  // Rows changed wholesale (filter, sort, refresh, master moved).
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  // The cursor moved by distance rows (0 when the distance is unknown).
  virtual void DataSetScrolled(int distance);
  // Field settings (labels, visibility, widths, formats) changed.
  virtual void LayoutChanged() { DataSetChanged(); }
  // A field of the current row changed (field given), or the whole row (nullptr).
  virtual void RecordChanged(TField* field);
  // Post is about to write the row: copy pending control edits into the fields.
  virtual void UpdateData() {}
  // The data set is about to move or change rows: finish what is pending.
  virtual void CheckBrowseMode() {}
  // Rows [first, first + count) were listed (an Append/Insert) or unlisted (Delete,
  // Cancel of an insert); a row's values changed (Post). For O(1) grid updates.
  virtual void RowsInserted(int first, int count);
  virtual void RowsRemoved(int first, int count);
  virtual void RowChanged(int row);

 private:
  // Compares with what the link knew and calls ActiveChanged/EditingChanged.
  void UpdateState();

  TDataSource* source_ = nullptr;
  bool readOnly_ = false;
  bool active_ = false;
  bool editing_ = false;
};
