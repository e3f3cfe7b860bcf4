#include "platform/ui/FieldDataLink.h"

#include "platform/db/DataSet.h"
#include "platform/db/Field.h"

namespace ui {

void TFieldDataLink::SetFieldName(const QString& name) {
  if (name == fieldName_) return;
  fieldName_ = name;
  FindField();
  DataChange();
}

bool TFieldDataLink::CanModify() const {
  const TDataSet* ds = DataSet();
  return !ReadOnly() && field_ != nullptr && ds != nullptr && ds->Active() && ds->CanModify() &&
         field_->CanModify();
}

bool TFieldDataLink::Edit() {
  if (!CanModify()) return false;
  if (!Editing()) TDataLink::Edit();
  return Editing();
}

void TFieldDataLink::Reset() {
  DataChange();
}

void TFieldDataLink::WritePending() {
  if (!modified_ || field_ == nullptr || writing_) return;
  writing_ = true;
  try {
    Call(OnUpdateData);
  } catch (...) {
    writing_ = false;
    throw;
  }
  writing_ = false;
  modified_ = false;
}

void TFieldDataLink::FindField() {
  TDataSet* ds = DataSet();
  field_ = (Active() && ds != nullptr && !fieldName_.isEmpty()) ? ds->FindField(fieldName_) : nullptr;
}

void TFieldDataLink::DataChange() {
  modified_ = false;
  Call(OnDataChange);
}

void TFieldDataLink::ActiveChanged() {
  FindField();
  Call(OnActiveChange);
  DataChange();
}

void TFieldDataLink::EditingChanged() {
  Call(OnEditingChange);
}

void TFieldDataLink::LayoutChanged() {
  FindField();
  Call(OnActiveChange);
  DataChange();
}

void TFieldDataLink::RecordChanged(TField* field) {
  // The control's own write comes back here; what it wrote is what it shows.
  if (writing_) return;
  if (field == nullptr || field == field_) DataChange();
}

void TFieldDataLink::DataSetChanged() {
  DataChange();
}

void TFieldDataLink::DataSetScrolled(int /*distance*/) {
  DataChange();
}

void TFieldDataLink::UpdateData() {
  WritePending();
}

void TFieldDataLink::CheckBrowseMode() {
  WritePending();
}

}  // namespace ui
