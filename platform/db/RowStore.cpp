#include "platform/db/RowStore.h"

#if defined(__unix__)
#include <sys/mman.h>
#endif

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Exceptions.h"

namespace db {

namespace {

// A text cell: block (23 bits), offset in the block (21 bits), length (20 bits). A text
// too long for the length field has a block of its own that starts with its length.
constexpr int kOffsetBits = 21;
constexpr int kLengthBits = 20;
constexpr uint64_t kLengthMask = (uint64_t(1) << kLengthBits) - 1;
constexpr uint64_t kOffsetMask = (uint64_t(1) << kOffsetBits) - 1;
constexpr uint64_t kLongText = kLengthMask;

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

void RowStore::Unmapper::operator()(char* block) const {
#if defined(__unix__)
  munmap(block, bytes);
#else
  delete[] block;
#endif
}

RowStore::BlockPtr RowStore::NewBlock(size_t bytes, bool huge) {
  const size_t length = (bytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
#if defined(__unix__)
  // Map one block more than needed and cut it down to an aligned span.
  void* mapped =
      mmap(nullptr, length + kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kBlockBytes - 1) & ~(uintptr_t(kBlockBytes) - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  const uintptr_t end = start + length + kBlockBytes;
  if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  if (huge) madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  return BlockPtr(reinterpret_cast<char*>(aligned), Unmapper{length});
#else
  (void)huge;
  return BlockPtr(new char[length], Unmapper{length});
#endif
}

void RowStore::Reset(std::vector<Storage> columns) {
  Clear();
  storage_ = std::move(columns);
  const size_t rowBytes = std::max<size_t>(storage_.size(), 1) * sizeof(uint64_t);
  rowShift_ = 0;
  while (rowShift_ < 16 && (size_t(2) << rowShift_) * rowBytes <= kBlockBytes) ++rowShift_;
  rowMask_ = (size_t(1) << rowShift_) - 1;
  cellBlockBytes_ = (size_t(1) << rowShift_) * rowBytes;
}

void RowStore::Clear() {
  storage_.clear();
  cells_.clear();
  cells_.shrink_to_fit();
  std::vector<uint64_t>().swap(present_);
  texts_.clear();
  texts_.shrink_to_fit();
  currentText_ = kNoBlock;
  textUsed_ = 0;
  rows_ = 0;
}

int RowStore::AppendRow() {
  if ((static_cast<size_t>(rows_) & rowMask_) == 0)
    cells_.push_back(NewBlock(cellBlockBytes_, !cells_.empty()));
  const size_t words = (static_cast<size_t>(rows_ + 1) * storage_.size() + 63) / 64;
  if (present_.size() < words) present_.resize(words + words / 2, 0);
  return rows_++;
}

void RowStore::Shrink() {
  const size_t words = (static_cast<size_t>(rows_) * storage_.size() + 63) / 64;
  present_.resize(words);
  present_.shrink_to_fit();
}

double RowStore::Float(int row, int column) const {
  double value;
  std::memcpy(&value, &Cell(row, column), sizeof value);
  return value;
}

std::string_view RowStore::Utf8(int row, int column) const {
  const uint64_t cell = Cell(row, column);
  const uint64_t length = cell & kLengthMask;
  if (length == 0) return {};
  const char* block = texts_[cell >> (kOffsetBits + kLengthBits)].get();
  if (length == kLongText) {
    uint64_t longLength;
    std::memcpy(&longLength, block, sizeof longLength);
    return std::string_view(block + sizeof longLength, longLength);
  }
  return std::string_view(block + ((cell >> kLengthBits) & kOffsetMask), length);
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

void RowStore::SetNull(int row, int column) {
  const size_t bit = Index(row, column);
  present_[bit >> 6] &= ~(uint64_t(1) << (bit & 63));
}

void RowStore::SetFloat(int row, int column, double value) {
  std::memcpy(&Cell(row, column), &value, sizeof value);
  MarkPresent(row, column);
}

char* RowStore::AllocateText(size_t bytes, uint64_t& block, uint64_t& offset) {
  if (bytes >= kLongText) {  // a block of its own, led by the length
    texts_.push_back(NewBlock(bytes + sizeof(uint64_t), false));
    const uint64_t length = bytes;
    std::memcpy(texts_.back().get(), &length, sizeof length);
    block = texts_.size() - 1;
    offset = 0;
    return texts_.back().get() + sizeof(uint64_t);
  }
  if (currentText_ == kNoBlock || textUsed_ + bytes > kBlockBytes) {
    texts_.push_back(NewBlock(kBlockBytes, currentText_ != kNoBlock));
    currentText_ = texts_.size() - 1;
    textUsed_ = 0;
  }
  block = currentText_;
  offset = textUsed_;
  textUsed_ += bytes;
  return texts_[currentText_].get() + offset;
}

void RowStore::SetUtf8(int row, int column, std::string_view utf8) {
  if (utf8.size() > (size_t(1) << 31))
    throw EDatabaseError(
        QStringLiteral("Texto grande demais para o conjunto de dados (%1 bytes).").arg(utf8.size()));
  uint64_t cell = 0;
  if (!utf8.empty()) {
    uint64_t block = 0, offset = 0;
    char* at = AllocateText(utf8.size(), block, offset);
    std::memcpy(at, utf8.data(), utf8.size());
    const uint64_t length = utf8.size() >= kLengthMask ? kLongText : utf8.size();
    cell = (block << (kOffsetBits + kLengthBits)) | (offset << kLengthBits) | length;
  }
  Cell(row, column) = cell;
  MarkPresent(row, column);
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
  size_t bytes = cells_.capacity() * sizeof(BlockPtr) + present_.capacity() * sizeof(uint64_t);
  for (const BlockPtr& block : cells_) bytes += block.get_deleter().bytes;
  for (const BlockPtr& block : texts_) bytes += block.get_deleter().bytes;
  return bytes + texts_.capacity() * sizeof(BlockPtr);
}

}  // namespace db
