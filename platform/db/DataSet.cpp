#include "platform/db/DataSet.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>

#include "platform/db/DataSource.h"
#include "platform/rtl/Exceptions.h"

using db::DataEvent;
using db::Value;

namespace {

QStringList SplitNames(const QString& names) {
  QStringList result;
  for (const QString& part : names.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString name = part.trimmed();
    if (!name.isEmpty()) result << name;
  }
  return result;
}

bool SameInt(TFieldType a, TFieldType b) {
  return (a == ftAutoInc || a == ftInteger) && (b == ftAutoInc || b == ftInteger);
}

TField* CreateField(TComponent* owner, TFieldType type) {
  switch (type) {
    case ftAutoInc:
      return new TAutoIncField(owner);
    case ftInteger:
      return new TIntegerField(owner);
    case ftBCD:
      return new TBCDField(owner);
    case ftFloat:
      return new TFloatField(owner);
    case ftDateTime:
      return new TDateTimeField(owner);
    case ftBoolean:
      return new TBooleanField(owner);
    default:
      return new TWideStringField(owner);
  }
}

}  // namespace

// Follows the master's data source for a detail data set.
class TDataSet::MasterLink : public TDataLink {
 public:
  explicit MasterLink(TDataSet& detail) : detail_(detail) {}

 protected:
  bool IsVisual() const override { return false; }
  void ActiveChanged() override {
    if (DataSource() == nullptr) detail_.masterSource_ = nullptr;  // the source is gone
    detail_.MasterChanged(true);
  }
  void DataSetChanged() override { detail_.MasterChanged(false); }
  void DataSetScrolled(int /*distance*/) override { detail_.MasterChanged(false); }
  void RecordChanged(TField* field) override {
    if (field == nullptr ||
        SplitNames(detail_.masterFields_).contains(field->FieldName(), Qt::CaseInsensitive))
      detail_.MasterChanged(false);
  }
  void CheckBrowseMode() override {
    if (detail_.Active()) detail_.CheckBrowseMode();
  }

 private:
  TDataSet& detail_;
};

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  DetachEverything();
}

void TDataSet::DetachEverything() {
  masterLink_.reset();
  masterSource_ = nullptr;
  state_ = dsInactive;
  view_.clear();
  cursor_ = -1;
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) source->DataSetDestroyed();
  sources_.clear();
  for (TField* field : std::vector<TField*>(fields_)) {
    if (field->persistent_) continue;
    field->dataSet_ = nullptr;
    delete field;
  }
  for (TField* field : persistent_) {
    field->dataSet_ = nullptr;
    field->column_ = -1;
  }
  fields_.clear();
  aggFields_.clear();
  persistent_.clear();
}

void TDataSet::DatabaseError(const QString& message) const {
  throw EDatabaseError(message);
}

void TDataSet::CheckActive() const {
  if (!Active())
    DatabaseError(
        QStringLiteral("Operação não permitida: o conjunto de dados '%1' está fechado.").arg(Name()));
}

bool TDataSet::CanModify() const {
  return Active() && ReadOnlyReason().isEmpty();
}

void TDataSet::CheckCanModify() const {
  CheckActive();
  const QString reason = ReadOnlyReason();
  if (!reason.isEmpty()) DatabaseError(reason);
}

void TDataSet::SetState(TDataSetState state) {
  state_ = state;
  NotifyState();
}

void TDataSet::NotifyState() {
  Notify(DataEvent::StateChanged);
}

void TDataSet::Notify(DataEvent event, TField* field, int row, int count) {
  Changed();
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) continue;
    source->DataEvent(event, field, row, count);
  }
}

void TDataSet::ClearBuffers() {
  const size_t n = columns_.size();
  buffer_.assign(n, Value());
  oldRow_.assign(n, Value());
  assigned_.assign(n, false);
  modified_ = false;
}

// --- Life -------------------------------------------------------------------------------

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen);
  try {
    store_.Clear();
    columns_.clear();
    InternalOpen(store_, columns_);
    dead_.assign(static_cast<size_t>(store_.RowCount()), false);
    BindFields();
    indexColumns_ = masterSource_ != nullptr ? ColumnsOf(indexFieldNames_) : std::vector<int>();
    sortKeys_ = ParseSort(sort_);
    RebuildView();
  } catch (...) {
    UnbindFields();
    store_.Clear();
    columns_.clear();
    dead_.clear();
    view_.clear();
    InternalClose();
    throw;
  }
  cursor_ = view_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = view_.empty();
  ClearBuffers();
  insertPhysical_ = -1;
  SetState(dsBrowse);
  Fire(AfterOpen);
  if (!view_.empty()) Fire(AfterScroll);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(BeforeClose);
  ClearBuffers();
  insertPhysical_ = -1;
  view_.clear();
  cursor_ = -1;
  bof_ = eof_ = true;
  SetState(dsInactive);
  UnbindFields();
  store_.Clear();
  columns_.clear();
  dead_.clear();
  lastMasterValid_ = false;
  lastMasterValues_.clear();
  InternalClose();
  Fire(AfterClose);
}

void TDataSet::Refresh() {
  CheckActive();
  CheckBrowseMode();
  db::RowStore fresh;
  std::vector<db::ColumnDef> columns;
  InternalOpen(fresh, columns);
  bool sameShape = columns.size() == columns_.size();
  for (size_t c = 0; sameShape && c < columns.size(); ++c)
    sameShape = columns[c].name.compare(columns_[c].name, Qt::CaseInsensitive) == 0;
  if (!sameShape) {
    Close();
    Open();
    return;
  }
  // Keep the kinds the fields were bound with.
  for (size_t c = 0; c < columns.size(); ++c) {
    const TFieldType want = columns_[c].type;
    const TFieldType have = columns[c].type;
    if (want != have && !SameInt(want, have))
      fresh.Retype(static_cast<int>(c), db::StorageOf(want),
                   [have, want](const Value& v) { return db::ConvertValue(v, have, want); });
    columns[c].type = want;
  }
  int keyColumn = -1;
  for (size_t c = 0; c < columns_.size(); ++c)
    if (columns_[c].key) keyColumn = static_cast<int>(c);
  const Value key = keyColumn >= 0 ? CurrentCell(keyColumn) : Value();
  const int oldRecNo = RecNo();

  store_ = std::move(fresh);
  columns_ = std::move(columns);
  dead_.assign(static_cast<size_t>(store_.RowCount()), false);
  RebuildView();
  cursor_ = view_.empty() ? -1 : std::clamp(oldRecNo - 1, 0, RecordCount() - 1);
  if (keyColumn >= 0 && !key.isNull) {
    const db::Storage storage = store_.ColumnStorage(keyColumn);
    for (int row = 0; row < RecordCount(); ++row)
      if (store_.Get(static_cast<int>(view_[static_cast<size_t>(row)]), keyColumn).SameAs(key, storage)) {
        cursor_ = row;
        break;
      }
  }
  bof_ = eof_ = view_.empty();
  ClearBuffers();
  Notify(DataEvent::DataSetChanged);
}

// --- Fields -------------------------------------------------------------------------------

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount())
    DatabaseError(QStringLiteral("Índice de campo fora dos limites (%1).").arg(index));
  return fields_[static_cast<size_t>(index)];
}

TAggregateField* TDataSet::AggFields(int index) const {
  if (index < 0 || index >= AggFieldCount())
    DatabaseError(QStringLiteral("Índice de agregado fora dos limites (%1).").arg(index));
  return static_cast<TAggregateField*>(aggFields_[static_cast<size_t>(index)]);
}

TField* TDataSet::FindField(const QString& name) const {
  for (TField* field : fields_)
    if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0) return field;
  for (TField* field : aggFields_)
    if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0) return field;
  return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const {
  TField* field = FindField(name);
  if (field == nullptr) DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
  return field;
}

void TDataSet::AddField(TField* field) {
  field->dataSet_ = this;
  field->column_ = -1;
  persistent_.push_back(field);
  if (field->type_ == ftAggregate)
    aggFields_.push_back(field);
  else
    fields_.push_back(field);
}

void TDataSet::RemoveField(TField* field) {
  std::erase(persistent_, field);
  std::erase(fields_, field);
  std::erase(aggFields_, field);
  field->dataSet_ = nullptr;
  field->column_ = -1;
  if (Active()) Notify(DataEvent::LayoutChanged);
}

void TDataSet::FieldLayoutChanged() {
  if (Active()) Notify(DataEvent::LayoutChanged);
}

void TDataSet::RetypeColumn(int column, TFieldType type) {
  db::ColumnDef& def = columns_[static_cast<size_t>(column)];
  const TFieldType from = def.type;
  store_.Retype(column, db::StorageOf(type),
                [from, type](const Value& v) { return db::ConvertValue(v, from, type); });
  def.type = type;
}

void TDataSet::BindFields() {
  std::vector<TField*> data;
  for (TField* field : persistent_)
    if (field->type_ != ftAggregate) data.push_back(field);
  if (data.empty()) {
    fields_.clear();
    for (size_t c = 0; c < columns_.size(); ++c) {
      const db::ColumnDef& def = columns_[c];
      TField* field = CreateField(this, def.type);
      field->persistent_ = false;
      field->dataSet_ = this;
      field->fieldName_ = def.name;
      field->column_ = static_cast<int>(c);
      if (def.type == ftWideString) field->size_ = def.size;
      field->providerFlags_ = pfInUpdate | pfInWhere | (def.key ? pfInKey : 0U);
      fields_.push_back(field);
    }
    return;
  }
  for (TField* field : data) {
    int column = -1;
    for (size_t c = 0; c < columns_.size() && column < 0; ++c)
      if (columns_[c].name.compare(field->fieldName_, Qt::CaseInsensitive) == 0) column = static_cast<int>(c);
    if (column < 0) DatabaseError(QStringLiteral("Field '%1' not found").arg(field->fieldName_));
    const db::ColumnDef& def = columns_[static_cast<size_t>(column)];
    const TFieldType want = field->type_;
    if (want != def.type && !SameInt(want, def.type)) {
      const bool convertible = !def.typed || (db::IsNumericType(want) && db::IsNumericType(def.type)) ||
                               (want == ftBoolean && db::IsNumericType(def.type));
      if (!convertible)
        DatabaseError(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                          .arg(field->fieldName_, db::FieldTypeName(want), db::FieldTypeName(def.type)));
      RetypeColumn(column, want);
    }
    field->column_ = column;
    if (want == ftWideString && field->size_ == 0) field->size_ = def.size;
  }
  fields_ = data;
}

void TDataSet::UnbindFields() {
  for (TField* field : std::vector<TField*>(fields_)) {
    if (field->persistent_) continue;
    field->dataSet_ = nullptr;
    delete field;
  }
  fields_.clear();
  for (TField* field : persistent_) {
    field->column_ = -1;
    if (field->type_ != ftAggregate) fields_.push_back(field);
  }
}

int TDataSet::ColumnOf(const QString& fieldName) const {
  const TField* field = FindField(fieldName);
  return field != nullptr ? field->column_ : -1;
}

std::vector<int> TDataSet::ColumnsOf(const QString& fieldNames) const {
  std::vector<int> columns;
  for (const QString& name : SplitNames(fieldNames)) {
    const int column = ColumnOf(name);
    if (column < 0) DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    columns.push_back(column);
  }
  return columns;
}

// --- Values ---------------------------------------------------------------------------------

std::vector<Value> TDataSet::RowValues(uint32_t physicalRow) const {
  std::vector<Value> values;
  values.reserve(columns_.size());
  for (int c = 0; c < store_.ColumnCount(); ++c)
    values.push_back(store_.Get(static_cast<int>(physicalRow), c));
  return values;
}

Value TDataSet::ViewCell(int row, int column) const {
  if (row < 0 || row >= RecordCount() || column < 0 || column >= store_.ColumnCount()) return Value();
  if (IsCurrentEditRow(row)) return buffer_[static_cast<size_t>(column)];
  return store_.Get(static_cast<int>(view_[static_cast<size_t>(row)]), column);
}

Value TDataSet::CurrentCell(int column) const {
  if (!Active() || cursor_ < 0) return Value();
  return ViewCell(cursor_, column);
}

Value TDataSet::OldCell(int column) const {
  if (Editing()) return oldRow_[static_cast<size_t>(column)];
  return CurrentCell(column);
}

void TDataSet::SetCurrentCell(TField* field, const Value& value) {
  const size_t column = static_cast<size_t>(field->column_);
  buffer_[column] = value;
  assigned_[column] = true;
  modified_ = true;
  Notify(DataEvent::FieldChanged, field);
}

Value TDataSet::CellAt(int row, int fieldIndex) const {
  if (fieldIndex < 0 || fieldIndex >= FieldCount()) return Value();
  return ViewCell(row, fields_[static_cast<size_t>(fieldIndex)]->column_);
}

QVariant TDataSet::ValueAt(int row, int fieldIndex) const {
  if (fieldIndex < 0 || fieldIndex >= FieldCount()) return QVariant();
  return fields_[static_cast<size_t>(fieldIndex)]->VariantOf(CellAt(row, fieldIndex));
}

bool TDataSet::IsNullAt(int row, int fieldIndex) const {
  return CellAt(row, fieldIndex).isNull;
}

QString TDataSet::DisplayTextAt(int row, int fieldIndex) const {
  if (fieldIndex < 0 || fieldIndex >= FieldCount()) return QString();
  return fields_[static_cast<size_t>(fieldIndex)]->DisplayTextOf(CellAt(row, fieldIndex));
}

size_t TDataSet::SnapshotBytes() const {
  return store_.MemoryBytes() + view_.capacity() * sizeof(uint32_t) + dead_.capacity() / 8;
}

// --- Navigation ------------------------------------------------------------------------------

void TDataSet::Scroll(int target, int distance, bool bof, bool eof) {
  const int old = cursor_;
  cursor_ = view_.empty() ? -1 : std::clamp(target, 0, RecordCount() - 1);
  bof_ = bof || view_.empty();
  eof_ = eof || view_.empty();
  if (cursor_ != old) Notify(DataEvent::Scrolled, nullptr, -1, distance != 0 ? cursor_ - old : 0);
  Fire(AfterScroll);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  Scroll(0, 1, true, false);
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  Scroll(RecordCount() - 1, 1, false, true);
}

int TDataSet::MoveBy(int distance) {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  const int old = cursor_;
  const int64_t target = static_cast<int64_t>(cursor_) + distance;
  bool bof = bof_;
  bool eof = eof_;
  if (distance > 0) {
    bof = false;
    eof = target > RecordCount() - 1;
  } else if (distance < 0) {
    eof = false;
    bof = target < 0;
  }
  Scroll(static_cast<int>(std::clamp<int64_t>(target, 0, std::max(0, RecordCount() - 1))), distance, bof,
         eof);
  return cursor_ - old;
}

void TDataSet::Next() {
  MoveBy(1);
}
void TDataSet::Prior() {
  MoveBy(-1);
}

void TDataSet::SetRecNo(int recNo) {
  CheckActive();
  if (view_.empty() || std::clamp(recNo - 1, 0, RecordCount() - 1) == cursor_) return;
  CheckBrowseMode();
  Fire(BeforeScroll);
  Scroll(recNo - 1, 1, false, false);
}

bool TDataSet::Locate(const QString& fieldNames, const QVariant& value, TLocateOptions options) {
  CheckActive();
  CheckBrowseMode();
  const std::vector<int> columns = ColumnsOf(fieldNames);
  QVariantList wanted;
  if (columns.size() == 1)
    wanted << value;
  else
    wanted = value.toList();
  if (columns.empty() || wanted.size() != static_cast<qsizetype>(columns.size())) return false;
  std::vector<Value> targets;
  const QStringList names = SplitNames(fieldNames);
  for (size_t i = 0; i < columns.size(); ++i)
    targets.push_back(
        FieldByName(names[static_cast<qsizetype>(i)])->FromVariant(wanted[static_cast<qsizetype>(i)]));
  const Qt::CaseSensitivity cs = (options & loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
  for (int row = 0; row < RecordCount(); ++row) {
    bool match = true;
    for (size_t i = 0; i < columns.size() && match; ++i) {
      const Value cell = ViewCell(row, columns[i]);
      const Value& target = targets[i];
      if (store_.ColumnStorage(columns[i]) == db::Storage::Text && !cell.isNull && !target.isNull)
        match =
            (options & loPartialKey) ? cell.s.startsWith(target.s, cs) : cell.s.compare(target.s, cs) == 0;
      else
        match = cell.SameAs(target, store_.ColumnStorage(columns[i]));
    }
    if (!match) continue;
    Fire(BeforeScroll);
    Scroll(row, 1, false, false);
    return true;
  }
  return false;
}

// --- Order and master-detail ------------------------------------------------------------------

std::vector<TDataSet::SortKey> TDataSet::ParseSort(const QString& sort) const {
  std::vector<SortKey> keys;
  for (const QString& part : sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    QStringList words = part.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) continue;
    bool descending = false;
    if (words.size() > 1 && (words.last().compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0 ||
                             words.last().compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0)) {
      descending = words.last().compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
      words.removeLast();
    }
    const QString name = words.join(QLatin1Char(' '));
    const int column = ColumnOf(name);
    if (column < 0) DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    keys.push_back({column, descending});
  }
  return keys;
}

void TDataSet::SetSort(const QString& sort) {
  if (!Active()) {
    sort_ = sort;
    return;
  }
  CheckBrowseMode();
  std::vector<SortKey> keys = ParseSort(sort);
  const int physical = cursor_ >= 0 ? static_cast<int>(view_[static_cast<size_t>(cursor_)]) : -1;
  sort_ = sort;
  sortKeys_ = std::move(keys);
  RebuildView();
  const auto it = std::find(view_.begin(), view_.end(), static_cast<uint32_t>(physical));
  cursor_ = it != view_.end() ? static_cast<int>(it - view_.begin()) : (view_.empty() ? -1 : 0);
  Notify(DataEvent::DataSetChanged);
}

void TDataSet::ApplySort(std::vector<uint32_t>& rows) const {
  if (sortKeys_.empty() || rows.size() < 2) return;
  // Keys are extracted once per row, so each comparison is cheap.
  struct Keys {
    db::Storage storage;
    bool descending;
    std::vector<uint8_t> nulls;
    std::vector<int64_t> ints;
    std::vector<double> floats;
    std::vector<QCollatorSortKey> texts;
  };
  QCollator collator{QLocale(QLocale::Portuguese, QLocale::Brazil)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(false);
  std::vector<Keys> keys;
  for (const SortKey& key : sortKeys_) {
    Keys k{store_.ColumnStorage(key.column), key.descending, {}, {}, {}, {}};
    k.nulls.reserve(rows.size());
    for (uint32_t physical : rows) {
      const int r = static_cast<int>(physical);
      const bool isNull = store_.IsNull(r, key.column);
      k.nulls.push_back(isNull ? 1 : 0);
      switch (k.storage) {
        case db::Storage::Int:
          k.ints.push_back(isNull ? 0 : store_.Int(r, key.column));
          break;
        case db::Storage::Float:
          k.floats.push_back(isNull ? 0 : store_.Float(r, key.column));
          break;
        case db::Storage::Text:
          k.texts.push_back(collator.sortKey(isNull ? QString() : store_.Text(r, key.column).toCaseFolded()));
          break;
      }
    }
    keys.push_back(std::move(k));
  }
  std::vector<uint32_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0U);
  std::stable_sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) {
    for (const Keys& k : keys) {
      int cmp;
      if (k.nulls[a] || k.nulls[b]) {
        cmp = int(k.nulls[b]) - int(k.nulls[a]);  // nulls first
      } else if (k.storage == db::Storage::Int) {
        cmp = k.ints[a] < k.ints[b] ? -1 : (k.ints[a] > k.ints[b] ? 1 : 0);
      } else if (k.storage == db::Storage::Float) {
        cmp = k.floats[a] < k.floats[b] ? -1 : (k.floats[a] > k.floats[b] ? 1 : 0);
      } else {
        cmp = k.texts[a].compare(k.texts[b]);
      }
      if (cmp != 0) return k.descending ? cmp > 0 : cmp < 0;
    }
    return false;
  });
  std::vector<uint32_t> sorted;
  sorted.reserve(rows.size());
  for (uint32_t i : order) sorted.push_back(rows[i]);
  rows.swap(sorted);
}

bool TDataSet::MasterValues(std::vector<Value>& values) const {
  values.clear();
  const QStringList names = SplitNames(masterFields_);
  if (masterSource_ == nullptr || indexColumns_.empty() ||
      names.size() != static_cast<qsizetype>(indexColumns_.size()))
    return true;  // not linked (yet): every row
  const TDataSet* master = masterSource_->DataSet();
  if (master == nullptr || !master->Active() || master->IsEmpty()) return false;
  for (qsizetype i = 0; i < names.size(); ++i) {
    const TField* field = master->FindField(names[i]);
    if (field == nullptr) return false;
    const Value v =
        db::ConvertValue(field->CurrentValue(), field->ValueType(),
                         columns_[static_cast<size_t>(indexColumns_[static_cast<size_t>(i)])].type);
    if (v.isNull) return false;
    values.push_back(v);
  }
  return true;
}

bool TDataSet::RowMatches(uint32_t physicalRow, const std::vector<int>& columns,
                          const std::vector<Value>& values) const {
  const int row = static_cast<int>(physicalRow);
  for (size_t i = 0; i < columns.size(); ++i) {
    const int c = columns[i];
    if (store_.IsNull(row, c)) return false;
    switch (store_.ColumnStorage(c)) {
      case db::Storage::Int:
        if (store_.Int(row, c) != values[i].i) return false;
        break;
      case db::Storage::Float:
        if (store_.Float(row, c) != values[i].f) return false;
        break;
      case db::Storage::Text:
        if (store_.Text(row, c).compare(values[i].s, Qt::CaseInsensitive) != 0) return false;
        break;
    }
  }
  return true;
}

void TDataSet::RebuildView() {
  std::vector<Value> values;
  const bool valid = MasterValues(values);
  const bool filtered = !values.empty();
  lastMasterValues_ = values;
  lastMasterValid_ = valid;
  view_.clear();
  if (valid) {
    view_.reserve(static_cast<size_t>(store_.RowCount()));
    for (int r = 0; r < store_.RowCount(); ++r) {
      const uint32_t physical = static_cast<uint32_t>(r);
      if (dead_[physical]) continue;
      if (filtered && !RowMatches(physical, indexColumns_, values)) continue;
      view_.push_back(physical);
    }
    if (filtered) view_.shrink_to_fit();
  }
  ApplySort(view_);
  Changed();
}

void TDataSet::MasterChanged(bool force) {
  if (!Active()) return;
  if (force) indexColumns_ = masterSource_ != nullptr ? ColumnsOf(indexFieldNames_) : std::vector<int>();
  std::vector<Value> values;
  const bool valid = MasterValues(values);
  if (!force && valid == lastMasterValid_ && values.size() == lastMasterValues_.size()) {
    bool same = true;
    for (size_t i = 0; i < values.size() && same; ++i)
      same = values[i].SameAs(lastMasterValues_[i], store_.ColumnStorage(indexColumns_[i]));
    if (same) return;
  }
  if (Editing()) CheckBrowseMode();
  RebuildView();
  cursor_ = view_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = view_.empty();
  Notify(DataEvent::DataSetChanged);
  Fire(AfterScroll);
}

void TDataSet::SetDataSource(TDataSource* source) {
  if (source == masterSource_) return;
  if (source != nullptr && source->DataSet() == this)
    DatabaseError(
        QStringLiteral("Referência circular: o conjunto de dados '%1' não pode ser mestre de si mesmo.")
            .arg(Name()));
  if (Active()) CheckBrowseMode();
  if (Active() && source != nullptr) ColumnsOf(indexFieldNames_);  // refuses unknown fields first
  masterSource_ = source;
  if (!masterLink_) masterLink_ = std::make_unique<MasterLink>(*this);
  masterLink_->SetDataSource(source);
  MasterChanged(true);
}

void TDataSet::SetMasterFields(const QString& names) {
  if (Active()) CheckBrowseMode();
  masterFields_ = names;
  MasterChanged(true);
}

void TDataSet::SetIndexFieldNames(const QString& names) {
  if (Active()) {
    CheckBrowseMode();
    if (masterSource_ != nullptr) ColumnsOf(names);
  }
  indexFieldNames_ = names;
  MasterChanged(true);
}

void TDataSet::AddSource(TDataSource* source) {
  sources_.push_back(source);
}

void TDataSet::RemoveSource(TDataSource* source) {
  std::erase(sources_, source);
}

// --- Editing ------------------------------------------------------------------------------------

void TDataSet::Edit() {
  if (Editing()) return;
  CheckActive();
  if (view_.empty()) return Insert();
  CheckCanModify();
  Fire(BeforeEdit);
  buffer_ = RowValues(view_[static_cast<size_t>(cursor_)]);
  oldRow_ = buffer_;
  assigned_.assign(columns_.size(), false);
  modified_ = false;
  SetState(dsEdit);
  Notify(DataEvent::RecordChanged);
  Fire(AfterEdit);
}

void TDataSet::Append() {
  BeginInsert(true);
}
void TDataSet::Insert() {
  BeginInsert(false);
}

void TDataSet::BeginInsert(bool append) {
  CheckActive();
  CheckBrowseMode();
  CheckCanModify();
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  const int physical = store_.AppendRow();
  dead_.push_back(false);
  const int position = append || cursor_ < 0 ? RecordCount() : cursor_;
  view_.insert(view_.begin() + position, static_cast<uint32_t>(physical));
  cursor_ = position;
  bof_ = eof_ = false;
  insertPhysical_ = physical;
  ClearBuffers();
  Notify(DataEvent::RowsInserted, nullptr, position, 1);
  try {
    SetState(dsInsert);
    Fire(OnNewRecord);
    CopyMasterValues();
  } catch (...) {
    if (Editing()) {
      // The new row never existed: take it back out.
      dead_[static_cast<size_t>(physical)] = true;
      const auto it = std::find(view_.begin(), view_.end(), static_cast<uint32_t>(physical));
      if (it != view_.end()) {
        const int removed = static_cast<int>(it - view_.begin());
        view_.erase(it);
        cursor_ = view_.empty() ? -1 : std::min(removed, RecordCount() - 1);
        state_ = dsBrowse;
        insertPhysical_ = -1;
        ClearBuffers();
        Notify(DataEvent::RowsRemoved, nullptr, removed, 1);
        NotifyState();
      }
    }
    throw;
  }
  modified_ = false;
  Fire(AfterInsert);
  Fire(AfterScroll);
}

void TDataSet::CopyMasterValues() {
  if (masterSource_ == nullptr || indexColumns_.empty()) return;
  std::vector<Value> values;
  const bool valid = MasterValues(values);
  if (values.empty() && valid) return;  // not linked
  for (size_t i = 0; i < indexColumns_.size(); ++i) {
    const int column = indexColumns_[i];
    buffer_[static_cast<size_t>(column)] = valid ? values[i] : Value();
    assigned_[static_cast<size_t>(column)] = true;
    for (TField* field : fields_)
      if (field->column_ == column) Notify(DataEvent::FieldChanged, field);
  }
}

void TDataSet::UpdateRecord() {
  if (Editing()) Notify(DataEvent::UpdateData);
}

void TDataSet::CheckBrowseMode() {
  if (!Active()) return;
  Notify(DataEvent::CheckBrowseMode);
  if (!Editing()) return;
  UpdateRecord();
  if (modified_)
    Post();
  else
    Cancel();
}

void TDataSet::Post() {
  CheckActive();
  if (!Editing()) DatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
  UpdateRecord();
  Fire(BeforePost);
  if (!Editing()) return;  // a handler cancelled
  for (TField* field : fields_) {
    if (!field->Required() || field->ReadOnly() || field->DataType() == ftAutoInc) continue;
    if (CurrentCell(field->column_).isNull)
      DatabaseError(QStringLiteral("Field '%1' must have a value").arg(field->DisplayName()));
  }
  const bool inserting = state_ == dsInsert;
  std::vector<int> written;
  for (size_t c = 0; c < columns_.size(); ++c) {
    const db::ColumnDef& def = columns_[c];
    if (!def.updatable || def.type == ftAutoInc) continue;
    const TField* field = nullptr;
    for (TField* f : fields_)
      if (f->column_ == static_cast<int>(c)) field = f;
    if (field == nullptr || !(field->ProviderFlags() & pfInUpdate)) continue;
    if (!assigned_[c] && (inserting ? buffer_[c].isNull : true)) continue;
    if (!inserting && buffer_[c].SameAs(oldRow_[c], store_.ColumnStorage(static_cast<int>(c)))) continue;
    written.push_back(static_cast<int>(c));
  }
  std::vector<Value> row = buffer_;
  if (inserting)
    InternalInsert(row, written);
  else if (!written.empty())
    InternalUpdate(oldRow_, row, written);

  // The database has the row: from here on nothing can fail.
  const uint32_t physical =
      inserting ? static_cast<uint32_t>(insertPhysical_) : view_[static_cast<size_t>(cursor_)];
  for (size_t c = 0; c < columns_.size(); ++c)
    store_.Set(static_cast<int>(physical), static_cast<int>(c), row[c]);
  bool moved = false;
  for (const SortKey& key : sortKeys_)
    moved = moved || inserting || std::find(written.begin(), written.end(), key.column) != written.end();
  if (!lastMasterValues_.empty() && !RowMatches(physical, indexColumns_, lastMasterValues_)) moved = true;
  const int row0 = cursor_;
  state_ = dsBrowse;
  insertPhysical_ = -1;
  ClearBuffers();
  if (moved) {
    RebuildView();
    const auto it = std::find(view_.begin(), view_.end(), physical);
    cursor_ = it != view_.end() ? static_cast<int>(it - view_.begin())
                                : (view_.empty() ? -1 : std::min(row0, RecordCount() - 1));
  }
  NotifyState();
  if (moved)
    Notify(DataEvent::DataSetChanged);
  else
    Notify(DataEvent::RowChanged, nullptr, cursor_, 1);
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  if (!Editing()) return;
  Fire(BeforeCancel);
  if (!Editing()) return;
  const bool inserting = state_ == dsInsert;
  const int position = cursor_;
  state_ = dsBrowse;
  ClearBuffers();
  if (inserting) {
    dead_[static_cast<size_t>(insertPhysical_)] = true;
    insertPhysical_ = -1;
    view_.erase(view_.begin() + position);
    cursor_ = view_.empty() ? -1 : std::min(position, RecordCount() - 1);
    bof_ = eof_ = view_.empty();
    Notify(DataEvent::RowsRemoved, nullptr, position, 1);
  }
  NotifyState();
  if (!inserting) Notify(DataEvent::RecordChanged);
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) return Cancel();
  if (view_.empty())
    DatabaseError(QStringLiteral("Não há registro para excluir: o conjunto de dados está vazio."));
  CheckCanModify();
  Notify(DataEvent::CheckBrowseMode);
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  if (view_.empty() || cursor_ < 0) return;
  const uint32_t physical = view_[static_cast<size_t>(cursor_)];
  const std::vector<Value> row = state_ == dsEdit ? oldRow_ : RowValues(physical);
  // A row another program deleted already is gone either way: it leaves the list too.
  InternalDelete(row);
  const int position = cursor_;
  const bool wasEditing = Editing();
  dead_[physical] = true;
  view_.erase(view_.begin() + position);
  cursor_ = view_.empty() ? -1 : std::min(position, RecordCount() - 1);
  bof_ = eof_ = view_.empty();
  state_ = dsBrowse;
  ClearBuffers();
  Notify(DataEvent::RowsRemoved, nullptr, position, 1);
  if (wasEditing) NotifyState();
  Fire(AfterDelete);
  Fire(AfterScroll);
}
