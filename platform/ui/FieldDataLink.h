#pragma once

#include <QString>
#include <functional>

#include "platform/db/DataSource.h"

class TField;

namespace ui {

// The link of a control that shows and edits one field of the current row
// (DataSource + DataField). It finds the field by name whenever the data set opens or
// its fields change, tells the control when to reload its display, and keeps the
// control's "pending edit" flag: set by the control when the user changes its text,
// cleared when the row is reloaded or the edit is written.
class TFieldDataLink : public TDataLink {
 public:
  TFieldDataLink() = default;

  const QString& FieldName() const { return fieldName_; }
  void SetFieldName(const QString& name);
  // The bound field; nullptr while inactive or when the data set has no such field.
  TField* Field() const { return field_; }

  // The field can be written from the control: link and field not read-only, data set
  // open and modifiable.
  bool CanModify() const;
  // Puts the data set into edit state (AutoEdit) when needed; false when it is not
  // editing afterwards or the field cannot be modified.
  bool Edit();

  bool Modified() const { return modified_; }
  void SetModified() { modified_ = true; }
  // Forgets the pending edit and has the control show the field again.
  void Reset();
  // Writes the pending edit through OnUpdateData; raises what the field raises, and the
  // edit stays pending then.
  void WritePending();

  // The control's hooks.
  std::function<void()> OnDataChange;     // show the field's value again
  std::function<void()> OnEditingChange;  // edit state entered or left
  std::function<void()> OnActiveChange;   // opened, closed or rebound
  std::function<void()> OnUpdateData;     // write the control's text into the field

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void DataSetChanged() override;
  void DataSetScrolled(int distance) override;
  void UpdateData() override;
  void CheckBrowseMode() override;

 private:
  void FindField();
  void DataChange();
  static void Call(const std::function<void()>& hook) {
    if (hook) hook();
  }

  QString fieldName_;
  TField* field_ = nullptr;
  bool modified_ = false;
  bool writing_ = false;
};

}  // namespace ui
