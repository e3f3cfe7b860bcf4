#include "platform/db/Field.h"

#include <QDate>
#include <QDateTime>
#include <cmath>
#include <limits>

#include "platform/db/DataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int64_t kScale = Currency::Scale;

QString BooleanText(const QString& displayValues, bool value) {
  const QString values = displayValues.isEmpty() ? QStringLiteral("True;False") : displayValues;
  const qsizetype semi = values.indexOf(QLatin1Char(';'));
  if (semi < 0) return value ? values : QString();
  return value ? values.left(semi) : values.mid(semi + 1);
}

bool ParseBoolean(const QString& displayValues, const QString& text, bool& value) {
  const QString t = text.trimmed();
  if (!displayValues.isEmpty()) {
    for (bool candidate : {true, false}) {
      const QString shown = BooleanText(displayValues, candidate);
      if (!shown.isEmpty() && t.compare(shown, Qt::CaseInsensitive) == 0) {
        value = candidate;
        return true;
      }
    }
  }
  static const char* const kTrue[] = {"true", "t", "yes", "y", "sim", "s", "1", "-1"};
  static const char* const kFalse[] = {"false", "f", "no", "n", "não", "nao", "0"};
  for (const char* word : kTrue)
    if (t.compare(QString::fromUtf8(word), Qt::CaseInsensitive) == 0) return value = true;
  for (const char* word : kFalse)
    if (t.compare(QString::fromUtf8(word), Qt::CaseInsensitive) == 0) return !(value = false);
  return false;
}

int64_t RoundToInt64(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(value, 0, 'g', 15));
  return static_cast<int64_t>(std::nearbyint(value));  // halves to even, as the classic Round
}

}  // namespace

TField::TField(TComponent* owner, TFieldType type) : TComponent(owner), type_(type) {
  if (type == ftBCD) {
    size_ = 4;
    precision_ = 19;
  }
}

TField::~TField() {
  if (dataSet_ != nullptr) dataSet_->RemoveField(this);
}

QString TField::ClassName() const {
  return QStringLiteral("TField");
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if ((dataSet_ != nullptr && dataSet_->Active()) || (dataSet != nullptr && dataSet->Active()))
    throw EDatabaseError(
        QStringLiteral("Não é possível mudar os campos de um conjunto de dados aberto (campo '%1').")
            .arg(fieldName_));
  if (dataSet_ != nullptr) dataSet_->RemoveField(this);
  dataSet_ = nullptr;
  if (dataSet != nullptr) dataSet->AddField(this);
}

void TField::SetFieldName(const QString& name) {
  if (dataSet_ != nullptr && dataSet_->Active())
    throw EDatabaseError(QStringLiteral("Não é possível renomear um campo de um conjunto de dados aberto."));
  fieldName_ = name;
}

int TField::Index() const {
  if (dataSet_ == nullptr) return -1;
  for (int i = 0; i < dataSet_->FieldCount(); ++i)
    if (dataSet_->Fields(i) == this) return i;
  return -1;
}

void TField::NotifyLayout() {
  if (dataSet_ != nullptr) dataSet_->FieldLayoutChanged();
}

void TField::SetDisplayLabel(const QString& label) {
  displayLabel_ = label;
  NotifyLayout();
}

int TField::DisplayWidth() const {
  if (displayWidth_ > 0) return displayWidth_;
  switch (ValueType()) {
    case ftWideString:
      return size_ > 0 && size_ <= 255 ? size_ : 20;
    case ftDateTime:
      return 18;
    case ftBoolean:
      return 5;
    default:
      return 10;
  }
}

void TField::SetDisplayWidth(int width) {
  displayWidth_ = width;
  NotifyLayout();
}

void TField::SetDisplayFormat(const QString& format) {
  displayFormat_ = format;
  NotifyLayout();
}

void TField::SetEditFormat(const QString& format) {
  editFormat_ = format;
}

void TField::SetDisplayValues(const QString& values) {
  displayValues_ = values;
  NotifyLayout();
}

void TField::SetVisible(bool visible) {
  visible_ = visible;
  NotifyLayout();
}

TAlignment TField::Alignment() const {
  if (alignment_ >= 0) return static_cast<TAlignment>(alignment_);
  return db::IsNumericType(ValueType()) ? taRightJustify : taLeftJustify;
}

void TField::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  NotifyLayout();
}

TFieldType TField::ValueType() const {
  if (type_ == ftAggregate) return static_cast<const TAggregateField*>(this)->ResultType();
  return type_;
}

// --- Reading --------------------------------------------------------------------------

db::Value TField::CurrentValue() const {
  if (dataSet_ == nullptr || column_ < 0) return db::Value::Null();
  return dataSet_->CurrentCell(column_);
}

bool TField::IsNull() const {
  return CurrentValue().isNull;
}

void TField::AccessError(const char* typeName) const {
  throw EDatabaseError(
      QStringLiteral("Cannot access field '%1' as type %2").arg(DisplayName(), QLatin1String(typeName)));
}

int64_t TField::AsLargeInt() const {
  const db::Value v = CurrentValue();
  if (v.isNull) return 0;
  switch (ValueType()) {
    case ftBCD:
      return RoundToInt64(static_cast<double>(v.i) / kScale);
    case ftFloat:
    case ftDateTime:
      return RoundToInt64(v.f);
    case ftWideString:
      return rtl::StrToInt(v.s);
    default:
      return v.i;
  }
}

int32_t TField::AsInteger() const {
  const int64_t value = AsLargeInt();
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(value));
  return static_cast<int32_t>(value);
}

double TField::AsFloat() const {
  const db::Value v = CurrentValue();
  if (v.isNull) return 0;
  switch (ValueType()) {
    case ftBCD:
      return Currency::FromRaw(v.i).ToDouble();
    case ftFloat:
    case ftDateTime:
      return v.f;
    case ftWideString:
      return rtl::StrToFloat(v.s);
    default:
      return static_cast<double>(v.i);
  }
}

Currency TField::AsCurrency() const {
  const db::Value v = CurrentValue();
  if (v.isNull) return Currency();
  switch (ValueType()) {
    case ftBCD:
      return Currency::FromRaw(v.i);
    case ftFloat:
    case ftDateTime:
      return Currency::FromDouble(v.f);
    case ftWideString:
      return rtl::StrToCurr(v.s);
    default:
      return Currency::FromInt(v.i);
  }
}

bool TField::AsBoolean() const {
  const db::Value v = CurrentValue();
  if (v.isNull) return false;
  switch (ValueType()) {
    case ftFloat:
    case ftDateTime:
      return v.f != 0;
    case ftWideString: {
      bool value = false;
      if (!ParseBoolean(displayValues_, v.s, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(v.s));
      return value;
    }
    default:
      return v.i != 0;
  }
}

TDateTime TField::AsDateTime() const {
  const db::Value v = CurrentValue();
  if (v.isNull) return 0;
  switch (ValueType()) {
    case ftFloat:
    case ftDateTime:
      return v.f;
    case ftWideString: {
      TDateTime value = 0;
      if (!rtl::TryStrToDateTime(v.s, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(v.s));
      return value;
    }
    case ftBoolean:
      AccessError("DateTime");
    case ftBCD:
      return Currency::FromRaw(v.i).ToDouble();
    default:
      return static_cast<double>(v.i);
  }
}

QString TField::TextOf(const db::Value& v, bool display) const {
  if (v.isNull) return QString();
  const QString& format = display ? displayFormat_ : (editFormat_.isEmpty() ? QString() : editFormat_);
  switch (ValueType()) {
    case ftAutoInc:
    case ftInteger:
      return format.isEmpty() ? QString::number(v.i) : rtl::FormatFloat(format, static_cast<double>(v.i));
    case ftBCD:
      return format.isEmpty() ? rtl::CurrToStr(Currency::FromRaw(v.i))
                              : rtl::FormatCurr(format, Currency::FromRaw(v.i));
    case ftFloat:
      return format.isEmpty() ? rtl::FloatToStr(v.f) : rtl::FormatFloat(format, v.f);
    case ftDateTime:
      return format.isEmpty() ? rtl::DateTimeToStr(v.f) : rtl::FormatDateTime(format, v.f);
    case ftBoolean:
      return BooleanText(displayValues_, v.i != 0);
    default:
      return v.s;
  }
}

QString TField::AsString() const {
  const db::Value v = CurrentValue();
  if (v.isNull) return QString();
  return TextOf(v, false);
}

QString TField::DisplayTextOf(const db::Value& value) const {
  return TextOf(value, true);
}
QString TField::DisplayText() const {
  return TextOf(CurrentValue(), true);
}
QString TField::Text() const {
  return TextOf(CurrentValue(), false);
}

QVariant TField::VariantOf(const db::Value& v) const {
  if (v.isNull) return QVariant();
  switch (ValueType()) {
    case ftAutoInc:
    case ftInteger:
      if (v.i >= std::numeric_limits<int>::min() && v.i <= std::numeric_limits<int>::max())
        return QVariant(static_cast<int>(v.i));
      return QVariant(static_cast<qlonglong>(v.i));
    case ftBoolean:
      return QVariant(v.i != 0);
    case ftBCD:
      return QVariant(Currency::FromRaw(v.i).ToDouble());
    case ftFloat:
      return QVariant(v.f);
    case ftDateTime:
      return QVariant(rtl::ToQDateTime(v.f));
    default:
      return QVariant(v.s);
  }
}

QVariant TField::AsVariant() const {
  return VariantOf(CurrentValue());
}

QVariant TField::OldValue() const {
  if (dataSet_ == nullptr || column_ < 0) return QVariant();
  return VariantOf(dataSet_->OldCell(column_));
}

// --- Writing --------------------------------------------------------------------------

bool TField::CanModify() const {
  if (readOnly_ || type_ == ftAutoInc || type_ == ftAggregate || dataSet_ == nullptr) return false;
  if (!dataSet_->CanModify()) return false;
  return column_ < 0 || dataSet_->Columns()[static_cast<size_t>(column_)].updatable;
}

void TField::CheckSettable() const {
  if (dataSet_ == nullptr)
    throw EDatabaseError(
        QStringLiteral("O campo '%1' não pertence a um conjunto de dados.").arg(DisplayName()));
  const TDataSetState state = dataSet_->State();
  if (state != dsEdit && state != dsInsert)
    throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
  if (!CanModify() || column_ < 0)
    throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(DisplayName()));
}

void TField::Store(const db::Value& value) {
  if (type_ == ftWideString && !value.isNull && size_ > 0 && value.s.size() > size_)
    throw EDatabaseError(
        QStringLiteral("O campo '%1' aceita no máximo %2 caracteres; o texto informado tem %3.")
            .arg(DisplayName())
            .arg(size_)
            .arg(value.s.size()));
  dataSet_->SetCurrentCell(this, value);
  if (OnChange) OnChange(*this);
}

void TField::SetAsLargeInt(int64_t value) {
  CheckSettable();
  switch (type_) {
    case ftBCD:
      if (value > std::numeric_limits<int64_t>::max() / kScale ||
          value < std::numeric_limits<int64_t>::min() / kScale)
        throw EConvertError(QStringLiteral("'%1' is not a valid currency value").arg(value));
      return Store(db::Value::Int(value * kScale));
    case ftFloat:
    case ftDateTime:
      return Store(db::Value::Float(static_cast<double>(value)));
    case ftBoolean:
      return Store(db::Value::Int(value != 0 ? -1 : 0));
    case ftWideString:
      return Store(db::Value::Text(QString::number(value)));
    default:
      return Store(db::Value::Int(value));
  }
}

void TField::SetAsFloat(double value) {
  CheckSettable();
  if (!std::isfinite(value)) throw EConvertError(QStringLiteral("Invalid floating point operation"));
  switch (type_) {
    case ftBCD:
      return Store(db::Value::Int(Currency::FromDouble(value).Raw()));
    case ftFloat:
    case ftDateTime:
      return Store(db::Value::Float(value));
    case ftBoolean:
      return Store(db::Value::Int(value != 0 ? -1 : 0));
    case ftWideString:
      return Store(db::Value::Text(rtl::FloatToStr(value)));
    default:
      return Store(db::Value::Int(RoundToInt64(value)));
  }
}

void TField::SetAsCurrency(Currency value) {
  CheckSettable();
  switch (type_) {
    case ftBCD:
      return Store(db::Value::Int(value.Raw()));
    case ftFloat:
    case ftDateTime:
      return Store(db::Value::Float(value.ToDouble()));
    case ftBoolean:
      return Store(db::Value::Int(value.Raw() != 0 ? -1 : 0));
    case ftWideString:
      return Store(db::Value::Text(rtl::CurrToStr(value)));
    default:
      return Store(db::Value::Int(RoundToInt64(value.ToDouble())));
  }
}

void TField::SetAsBoolean(bool value) {
  CheckSettable();
  switch (type_) {
    case ftWideString:
      return Store(db::Value::Text(BooleanText(displayValues_, value)));
    case ftFloat:
      return Store(db::Value::Float(value ? -1 : 0));
    case ftDateTime:
      AccessError("Boolean");
    case ftBCD:
      return Store(db::Value::Int(value ? -kScale : 0));
    default:
      return Store(db::Value::Int(value ? -1 : 0));
  }
}

void TField::SetAsDateTime(TDateTime value) {
  CheckSettable();
  switch (type_) {
    case ftDateTime:
    case ftFloat:
      return Store(db::Value::Float(value));
    case ftWideString:
      return Store(db::Value::Text(rtl::DateTimeToStr(value)));
    default:
      AccessError("DateTime");
  }
}

db::Value TField::FromString(const QString& text) const {
  if (type_ == ftWideString) return db::Value::Text(text);
  if (rtl::Trim(text).isEmpty()) return db::Value::Null();
  switch (type_) {
    case ftAutoInc:
    case ftInteger:
      return db::Value::Int(rtl::StrToInt(rtl::Trim(text)));
    case ftBCD:
      return db::Value::Int(rtl::StrToCurr(rtl::Trim(text)).Raw());
    case ftFloat:
      return db::Value::Float(rtl::StrToFloat(rtl::Trim(text)));
    case ftDateTime: {
      TDateTime value = 0;
      if (!rtl::TryStrToDateTime(rtl::Trim(text), value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
      return db::Value::Float(value);
    }
    case ftBoolean: {
      bool value = false;
      if (!ParseBoolean(displayValues_, text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
      return db::Value::Int(value ? -1 : 0);
    }
    default:
      return db::Value::Text(text);
  }
}

void TField::SetAsString(const QString& value) {
  CheckSettable();
  Store(FromString(value));
}

void TField::SetAsVariant(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return Clear();
  switch (value.typeId()) {
    case QMetaType::Bool:
      return SetAsBoolean(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
      return SetAsLargeInt(value.toLongLong());
    case QMetaType::ULongLong:
      if (value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<int64_t>::max()))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(value.toString()));
      return SetAsLargeInt(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
      return SetAsFloat(value.toDouble());
    case QMetaType::QDateTime:
      return SetAsDateTime(rtl::ToDateTime(value.toDateTime()));
    case QMetaType::QDate: {
      const QDate d = value.toDate();
      return SetAsDateTime(rtl::EncodeDate(d.year(), d.month(), d.day()));
    }
    default:
      return SetAsString(value.toString());
  }
}

db::Value TField::FromVariant(const QVariant& value) const {
  if (!value.isValid() || value.isNull()) return db::Value::Null();
  switch (value.typeId()) {
    case QMetaType::Bool:
      return db::ConvertValue(db::Value::Int(value.toBool() ? -1 : 0), ftBoolean, ValueType());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
      return db::ConvertValue(db::Value::Int(value.toLongLong()), ftInteger, ValueType());
    case QMetaType::Double:
    case QMetaType::Float:
      return db::ConvertValue(db::Value::Float(value.toDouble()), ftFloat, ValueType());
    case QMetaType::QDateTime:
      return db::ConvertValue(db::Value::Float(rtl::ToDateTime(value.toDateTime())), ftDateTime, ValueType());
    default: {
      if (ValueType() == ftWideString) return db::Value::Text(value.toString());
      return FromString(value.toString());
    }
  }
}

void TField::Clear() {
  CheckSettable();
  Store(db::Value::Null());
}

// --- Aggregates -------------------------------------------------------------------------

TAggregateField::TAggregateField(TComponent* owner) : TField(owner, ftAggregate) {
  SetReadOnly(true);
  SetProviderFlags(0);
}

TAggregateField::Parsed TAggregateField::Parse() const {
  const QString text = expression_.trimmed();
  const qsizetype open = text.indexOf(QLatin1Char('('));
  Parsed parsed;
  if (open > 0 && text.endsWith(QLatin1Char(')'))) {
    parsed.function = text.left(open).trimmed().toUpper();
    parsed.field = text.mid(open + 1, text.size() - open - 2).trimmed();
  }
  static const char* const kFunctions[] = {"SUM", "COUNT", "AVG", "MIN", "MAX"};
  bool known = false;
  for (const char* f : kFunctions) known = known || parsed.function == QLatin1String(f);
  if (!known || parsed.field.isEmpty())
    throw EDatabaseError(QStringLiteral("Expressão de agregado não suportada: '%1'").arg(expression_));
  return parsed;
}

TFieldType TAggregateField::ResultType() const {
  CurrentValue();  // settles the kind
  return resultType_;
}

db::Value TAggregateField::CurrentValue() const {
  const TDataSet* ds = DataSet();
  if (!active_ || ds == nullptr || !ds->Active()) return db::Value::Null();
  if (cachedFor_ == ds && cachedVersion_ == ds->Version()) return cached_;
  const Parsed parsed = Parse();
  const TField* source = ds->FieldByName(parsed.field);
  const TFieldType kind = source->DataType();
  if (parsed.function != QLatin1String("COUNT") && !db::IsNumericType(kind) && kind != ftDateTime)
    throw EDatabaseError(QStringLiteral("O agregado '%1' exige um campo numérico.").arg(expression_));
  const int index = source->Index();
  int64_t count = 0;
  int64_t intSum = 0;  // integers and currency raw values
  double floatSum = 0;
  db::Value best;
  const bool isMin = parsed.function == QLatin1String("MIN");
  const bool isMax = parsed.function == QLatin1String("MAX");
  const bool floatKind = kind == ftFloat || kind == ftDateTime;
  for (int row = 0; row < ds->RecordCount(); ++row) {
    const db::Value v = ds->CellAt(row, index);
    if (v.isNull) continue;
    ++count;
    if (floatKind)
      floatSum += v.f;
    else if (kind != ftWideString)
      intSum += v.i;
    if (isMin || isMax) {
      const bool better = best.isNull || (floatKind ? (isMin ? v.f < best.f : v.f > best.f)
                                                    : (isMin ? v.i < best.i : v.i > best.i));
      if (better) best = v;
    }
  }
  db::Value result;
  TFieldType type = kind == ftAutoInc ? ftInteger : kind;
  if (parsed.function == QLatin1String("COUNT")) {
    type = ftInteger;
    result = db::Value::Int(count);
  } else if (count == 0) {
    result = db::Value::Null();
  } else if (isMin || isMax) {
    result = best;
  } else if (parsed.function == QLatin1String("SUM")) {
    result = floatKind ? db::Value::Float(floatSum) : db::Value::Int(intSum);
  } else {  // AVG
    if (kind == ftBCD) {
      result = db::Value::Int(static_cast<int64_t>(std::nearbyint(static_cast<double>(intSum) / count)));
    } else {
      type = ftFloat;
      result = db::Value::Float(floatKind ? floatSum / count : static_cast<double>(intSum) / count);
    }
  }
  resultType_ = type;
  cached_ = result;
  cachedFor_ = ds;
  cachedVersion_ = ds->Version();
  return result;
}
