#include "platform/db/DataSource.h"

#include <algorithm>

#include "platform/db/DataSet.h"

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  if (dataSet_ != nullptr) dataSet_->RemoveSource(this);
  dataSet_ = nullptr;
  state_ = dsInactive;
  for (TDataLink* link : std::vector<TDataLink*>(links_)) {
    link->source_ = nullptr;
    link->UpdateState();
  }
  links_.clear();
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr) dataSet_->RemoveSource(this);
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) dataSet_->AddSource(this);
  const TDataSetState before = state_;
  UpdateState();
  // Another open data set in the same state is still another data set to show.
  if (state_ == before && state_ != dsInactive) ForEachLink([](TDataLink* link) { link->ActiveChanged(); });
}

void TDataSource::Edit() {
  if (autoEdit_ && dataSet_ != nullptr && dataSet_->State() == dsBrowse) dataSet_->Edit();
}

void TDataSource::AddLink(TDataLink* link) {
  links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) {
  std::erase(links_, link);
}

template <typename F>
void TDataSource::ForEachLink(F&& call) {
  // Handlers may attach or detach links while we go: walk a copy, skip the departed.
  const std::vector<TDataLink*> snapshot = links_;
  for (bool visual : {false, true}) {
    for (TDataLink* link : snapshot) {
      if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
      if (link->IsVisual() == visual) call(link);
    }
  }
}

void TDataSource::UpdateState(bool runHandlers) {
  const TDataSetState state = dataSet_ != nullptr ? dataSet_->State() : dsInactive;
  if (state == state_) return;
  state_ = state;
  ForEachLink([](TDataLink* link) { link->UpdateState(); });
  if (runHandlers && OnStateChange) OnStateChange(*this);
}

void TDataSource::DataSetDestroyed() {
  dataSet_ = nullptr;
  UpdateState(false);
}

void TDataSource::DataEvent(db::DataEvent event, TField* field, int row, int count) {
  using db::DataEvent;
  if (event == DataEvent::StateChanged) return UpdateState();
  if (state_ == dsInactive) return;
  ForEachLink([&](TDataLink* link) {
    switch (event) {
      case DataEvent::FieldChanged:
        link->RecordChanged(field);
        break;
      case DataEvent::RecordChanged:
        link->RecordChanged(nullptr);
        break;
      case DataEvent::DataSetChanged:
        link->DataSetChanged();
        break;
      case DataEvent::Scrolled:
        link->DataSetScrolled(count);
        break;
      case DataEvent::LayoutChanged:
        link->LayoutChanged();
        break;
      case DataEvent::UpdateData:
        link->UpdateData();
        break;
      case DataEvent::CheckBrowseMode:
        link->CheckBrowseMode();
        break;
      case DataEvent::RowsInserted:
        link->RowsInserted(row, count);
        break;
      case DataEvent::RowsRemoved:
        link->RowsRemoved(row, count);
        break;
      case DataEvent::RowChanged:
        link->RowChanged(row);
        break;
      case DataEvent::StateChanged:
        break;
    }
  });
  switch (event) {
    case DataEvent::UpdateData:
      if (OnUpdateData) OnUpdateData(*this);
      break;
    case DataEvent::CheckBrowseMode:
      break;
    case DataEvent::FieldChanged:
      if (OnDataChange) OnDataChange(*this, field);
      break;
    default:
      if (OnDataChange) OnDataChange(*this, nullptr);
      break;
  }
}

// --- TDataLink -------------------------------------------------------------------------

TDataLink::~TDataLink() {
  if (source_ != nullptr) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_ != nullptr) source_->RemoveLink(this);
  source_ = source;
  if (source_ != nullptr) source_->AddLink(this);
  const bool wasActive = active_;
  UpdateState();
  // Same activity on another source is still another data set to show.
  if (wasActive && active_) ActiveChanged();
}

TDataSet* TDataLink::DataSet() const {
  return source_ != nullptr ? source_->DataSet() : nullptr;
}

bool TDataLink::Active() const {
  return source_ != nullptr && source_->State() != dsInactive;
}

bool TDataLink::Editing() const {
  const TDataSetState state = source_ != nullptr ? source_->State() : dsInactive;
  return state == dsEdit || state == dsInsert;
}

bool TDataLink::Edit() {
  if (!readOnly_ && source_ != nullptr && !Editing()) source_->Edit();
  return Editing();
}

void TDataLink::UpdateRecord() {
  if (TDataSet* ds = DataSet()) ds->UpdateRecord();
}

void TDataLink::UpdateState() {
  const bool active = Active();
  const bool editing = Editing();
  if (active != active_) {
    active_ = active;
    ActiveChanged();
  }
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

void TDataLink::DataSetScrolled(int /*distance*/) {
  DataSetChanged();
}
void TDataLink::RecordChanged(TField* /*field*/) {}
void TDataLink::RowsInserted(int /*first*/, int /*count*/) {
  DataSetChanged();
}
void TDataLink::RowsRemoved(int /*first*/, int /*count*/) {
  DataSetChanged();
}
void TDataLink::RowChanged(int /*row*/) {
  DataSetChanged();
}
