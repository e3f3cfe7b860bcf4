#include "platform/db/RowStore.h"

#include <QString>
#include <cmath>
#include <cstring>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Exceptions.h"

namespace db {

namespace {

constexpr int kLengthBits = 24;
constexpr uint64_t kLengthMask = (uint64_t(1) << kLengthBits) - 1;

uint64_t PackText(size_t offset, size_t length) {
  return (uint64_t(offset) << kLengthBits) | length;
}

}  // namespace

Storage StorageOf(TFieldType type) {
  switch (type) {
    case ftFloat:
    case ftDateTime:
      return Storage::Float;
    case ftWideString:
    case ftUnknown:
      return Storage::Text;
    default:
      return Storage::Int;
  }
}

int64_t CurrencyRawFromDouble(double value) {
  // Most stored amounts have at most four decimals: take those without the slow path.
  const double scaled = value * static_cast<double>(Currency::Scale);
  if (std::fabs(scaled) < 9.0e15) {
    const double rounded = std::nearbyint(scaled);
    if (std::fabs(scaled - rounded) < 1e-6) return static_cast<int64_t>(rounded);
  }
  return Currency::FromDouble(value).Raw();
}

namespace {

bool IsIntKind(TFieldType t) {
  return t == ftAutoInc || t == ftInteger || t == ftBoolean;
}

// The number a value stands for; false for text that is none.
bool AsDouble(const Value& v, TFieldType from, double& out) {
  if (IsIntKind(from)) {
    out = static_cast<double>(v.i);
  } else if (from == ftBCD) {
    out = static_cast<double>(v.i) / static_cast<double>(Currency::Scale);
  } else if (from == ftFloat || from == ftDateTime) {
    out = v.f;
  } else {
    bool ok = false;
    out = v.s.trimmed().toDouble(&ok);
    return ok;
  }
  return true;
}

}  // namespace

Value ConvertValue(const Value& value, TFieldType from, TFieldType to) {
  if (value.isNull || from == to) return value;
  if (IsIntKind(from) && IsIntKind(to)) {
    if (to == ftBoolean) return Value::Int(value.i != 0 ? -1 : 0);
    return value;
  }
  if (to == ftWideString || to == ftUnknown) {
    if (IsIntKind(from)) return Value::Text(QString::number(value.i));
    if (from == ftBCD) return Value::Text(QString::number(Currency::FromRaw(value.i).ToDouble(), 'g', 19));
    if (from == ftFloat || from == ftDateTime) return Value::Text(QString::number(value.f, 'g', 15));
    return Value::Text(value.s);
  }
  if (from == ftBCD && IsIntKind(to)) {
    const int64_t units = value.i / Currency::Scale;
    return to == ftBoolean ? Value::Int(value.i != 0 ? -1 : 0) : Value::Int(units);
  }
  if (IsIntKind(from) && to == ftBCD) return Value::Int(value.i * Currency::Scale);
  double number = 0;
  if (!AsDouble(value, from, number) || !std::isfinite(number)) return Value::Null();
  switch (to) {
    case ftBCD:
      return Value::Int(CurrencyRawFromDouble(number));
    case ftFloat:
    case ftDateTime:
      return Value::Float(number);
    case ftBoolean:
      return Value::Int(number != 0 ? -1 : 0);
    default:
      return Value::Int(static_cast<int64_t>(std::nearbyint(number)));
  }
}

bool Value::SameAs(const Value& other, Storage storage) const {
  if (isNull || other.isNull) return isNull == other.isNull;
  switch (storage) {
    case Storage::Int:
      return i == other.i;
    case Storage::Float:
      return f == other.f;
    case Storage::Text:
      return s == other.s;
  }
  return false;
}

void RowStore::Reset(std::vector<Storage> columns) {
  Clear();
  storage_ = std::move(columns);
}

void RowStore::Clear() {
  storage_.clear();
  std::vector<uint64_t>().swap(cells_);
  std::vector<uint64_t>().swap(nulls_);
  std::vector<char>().swap(text_);
  rows_ = 0;
}

void RowStore::Reserve(int rows) {
  const size_t cells = static_cast<size_t>(rows) * storage_.size();
  cells_.reserve(cells);
  nulls_.reserve(cells / 64 + 1);
}

int RowStore::AppendRow() {
  const size_t first = cells_.size();
  cells_.resize(first + storage_.size(), 0);
  const size_t words = (cells_.size() + 63) / 64;
  if (nulls_.size() < words) nulls_.resize(words, 0);
  for (size_t bit = first; bit < cells_.size(); ++bit) nulls_[bit >> 6] |= uint64_t(1) << (bit & 63);
  return rows_++;
}

void RowStore::Shrink() {
  cells_.shrink_to_fit();
  nulls_.shrink_to_fit();
  text_.shrink_to_fit();
}

double RowStore::Float(int row, int column) const {
  double value;
  std::memcpy(&value, &cells_[Index(row, column)], sizeof value);
  return value;
}

std::string_view RowStore::Utf8(int row, int column) const {
  const uint64_t cell = cells_[Index(row, column)];
  const size_t length = cell & kLengthMask;
  if (length == 0) return {};
  return std::string_view(text_.data() + (cell >> kLengthBits), length);
}

QString RowStore::Text(int row, int column) const {
  const std::string_view utf8 = Utf8(row, column);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Value RowStore::Get(int row, int column) const {
  if (IsNull(row, column)) return Value::Null();
  switch (ColumnStorage(column)) {
    case Storage::Int:
      return Value::Int(Int(row, column));
    case Storage::Float:
      return Value::Float(Float(row, column));
    case Storage::Text:
      return Value::Text(Text(row, column));
  }
  return Value::Null();
}

void RowStore::SetNullBit(size_t bit, bool isNull) {
  const uint64_t mask = uint64_t(1) << (bit & 63);
  if (isNull)
    nulls_[bit >> 6] |= mask;
  else
    nulls_[bit >> 6] &= ~mask;
}

void RowStore::SetNull(int row, int column) {
  const size_t bit = Index(row, column);
  cells_[bit] = 0;
  SetNullBit(bit, true);
}

void RowStore::SetInt(int row, int column, int64_t value) {
  const size_t bit = Index(row, column);
  cells_[bit] = static_cast<uint64_t>(value);
  SetNullBit(bit, false);
}

void RowStore::SetFloat(int row, int column, double value) {
  const size_t bit = Index(row, column);
  std::memcpy(&cells_[bit], &value, sizeof value);
  SetNullBit(bit, false);
}

void RowStore::SetUtf8(int row, int column, std::string_view utf8) {
  if (static_cast<int64_t>(utf8.size()) > kMaxTextBytes)
    throw EDatabaseError(
        QStringLiteral("Texto grande demais para o conjunto de dados (%1 bytes; o máximo é %2).")
            .arg(utf8.size())
            .arg(kMaxTextBytes));
  const size_t bit = Index(row, column);
  const size_t offset = text_.size();
  text_.insert(text_.end(), utf8.begin(), utf8.end());
  cells_[bit] = PackText(utf8.empty() ? 0 : offset, utf8.size());
  SetNullBit(bit, false);
}

void RowStore::SetText(int row, int column, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  SetUtf8(row, column, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void RowStore::Set(int row, int column, const Value& value) {
  if (value.isNull) return SetNull(row, column);
  switch (ColumnStorage(column)) {
    case Storage::Int:
      return SetInt(row, column, value.i);
    case Storage::Float:
      return SetFloat(row, column, value.f);
    case Storage::Text:
      return SetText(row, column, value.s);
  }
}

void RowStore::Retype(int column, Storage to, const std::function<Value(const Value&)>& convert) {
  std::vector<Value> values;
  values.reserve(static_cast<size_t>(rows_));
  for (int row = 0; row < rows_; ++row) values.push_back(convert(Get(row, column)));
  storage_[static_cast<size_t>(column)] = to;
  for (int row = 0; row < rows_; ++row) Set(row, column, values[static_cast<size_t>(row)]);
}

size_t RowStore::MemoryBytes() const {
  return cells_.capacity() * sizeof(uint64_t) + nulls_.capacity() * sizeof(uint64_t) + text_.capacity() +
         storage_.capacity();
}

}  // namespace db
