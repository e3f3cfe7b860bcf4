#pragma once

#include <QString>
#include <QVariant>
#include <functional>

#include "platform/db/DataTypes.h"
#include "platform/db/RowStore.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"

class TDataSet;

// A typed column of a data set. Values are read from and written to the data set's
// current row: the edit buffer while the data set is in edit or insert state, the
// snapshot otherwise; an inactive or empty data set reads as null.
//
// Persistent fields are created before the data set opens (owner: usually the data
// set's owner, name e.g. "adsClientesnome") and joined to it with SetDataSet; they bind
// to the result column of the same FieldName (letter case ignored) at every Open, and
// then they alone are the data set's fields. Without persistent fields the data set
// creates one field per result column at Open (owned by the data set, no name) and
// destroys them at Close.
//
// Errors: setting a value outside edit or insert state raises EDatabaseError "Dataset
// not in edit or insert mode"; a field that cannot be written (ReadOnly, auto-number, a
// column not of the updated table) raises "Field '%s' cannot be modified"; text that
// does not convert raises the conversion's EConvertError; a text longer than Size
// raises EDatabaseError.
class TField : public TComponent {
 public:
  TField(TComponent* owner, TFieldType type);
  ~TField() override;

  QString ClassName() const override;

  // --- Binding ----------------------------------------------------------------------
  TDataSet* DataSet() const { return dataSet_; }
  // Joins (or, with nullptr, leaves) a data set's persistent fields. The data set must
  // be closed; EDatabaseError otherwise.
  void SetDataSet(TDataSet* dataSet);
  const QString& FieldName() const { return fieldName_; }
  void SetFieldName(const QString& name);
  TFieldType DataType() const { return type_; }
  bool IsNumeric() const { return db::IsNumericType(type_); }
  // Position in the data set's Fields, -1 for an aggregate or an unbound field.
  int Index() const;
  // Result column the field is bound to while the data set is open, else -1.
  int ColumnIndex() const { return column_; }

  // --- Presentation ------------------------------------------------------------------
  // Changing these while the data set is open tells its data links (LayoutChanged).
  QString DisplayLabel() const { return displayLabel_.isEmpty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const QString& label);
  QString DisplayName() const { return DisplayLabel(); }
  // Characters; defaults by kind (text: its size up to 255, numbers 10, dates 18).
  int DisplayWidth() const;
  void SetDisplayWidth(int width);
  // Patterns of rtl::FormatFloat/FormatCurr (numbers) and rtl::FormatDateTime (dates).
  const QString& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format);
  // Pattern of the edit text; empty edits in the plain form ("1234.5"), which reads back.
  const QString& EditFormat() const { return editFormat_; }
  void SetEditFormat(const QString& format);
  // Boolean texts "true;false"; default "True;False".
  const QString& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const QString& values);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Numbers are right-aligned unless told otherwise.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment alignment);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }
  TProviderFlags ProviderFlags() const { return providerFlags_; }
  void SetProviderFlags(TProviderFlags flags) { providerFlags_ = flags; }
  // Text: the most characters (0 = no limit; taken from the column when left 0).
  // BCD: decimals (4).
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  // BCD: total digits (19).
  int Precision() const { return precision_; }
  void SetPrecision(int precision) { precision_ = precision; }

  // Runs after the field's value was set.
  std::function<void(TField&)> OnChange;

  // --- Values of the current row -------------------------------------------------------
  bool IsNull() const;
  // Null reads as 0, false, "" or 0.0.
  int32_t AsInteger() const;
  int64_t AsLargeInt() const;
  double AsFloat() const;
  Currency AsCurrency() const;
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
  // Plain text: integers and floats unformatted, dates DateTimeToStr, booleans their
  // display value, null "".
  QString AsString() const;
  // Null is an invalid QVariant; integers int (qint64 beyond 32 bits), booleans bool,
  // float and BCD double, date-times QDateTime (local), texts QString.
  QVariant AsVariant() const;
  QVariant Value() const { return AsVariant(); }
  // The value the current row had before this edit (null on insert).
  QVariant OldValue() const;

  void SetAsInteger(int32_t value) { SetAsLargeInt(value); }
  void SetAsLargeInt(int64_t value);
  void SetAsFloat(double value);
  void SetAsCurrency(Currency value);
  void SetAsBoolean(bool value);
  void SetAsDateTime(TDateTime value);
  // Parses for numeric, boolean and date kinds; "" clears.
  void SetAsString(const QString& value);
  // Invalid or null clears; QString goes through SetAsString.
  void SetAsVariant(const QVariant& value);
  void SetValue(const QVariant& value) { SetAsVariant(value); }
  void Clear();

  // Formatted with DisplayFormat.
  QString DisplayText() const;
  // The edit text (EditFormat) and its reverse.
  QString Text() const;
  void SetText(const QString& text) { SetAsString(text); }

  // Whether SetXxx would be accepted in edit state (ignores the state itself).
  bool CanModify() const;

  // --- For the data set and its row readers ---------------------------------------------
  // Reads and formats a value of this field's kind that did not come from the cursor.
  QVariant VariantOf(const db::Value& value) const;
  QString DisplayTextOf(const db::Value& value) const;
  QString TextOf(const db::Value& value, bool display) const;

 protected:
  // The current value; an aggregate computes it.
  virtual db::Value CurrentValue() const;

 private:
  friend class TDataSet;

  // The kind values are read as: the aggregate's result kind for an aggregate.
  TFieldType ValueType() const;
  void CheckSettable() const;
  void Store(const db::Value& value);
  db::Value FromString(const QString& text) const;
  db::Value FromVariant(const QVariant& value) const;
  [[noreturn]] void AccessError(const char* typeName) const;
  void NotifyLayout();

  TFieldType type_;
  TDataSet* dataSet_ = nullptr;
  int column_ = -1;
  bool persistent_ = true;
  QString fieldName_;
  QString displayLabel_;
  int displayWidth_ = 0;
  QString displayFormat_;
  QString editFormat_;
  QString displayValues_;
  bool visible_ = true;
  int alignment_ = -1;  // -1: by kind
  bool readOnly_ = false;
  bool required_ = false;
  TProviderFlags providerFlags_ = pfInUpdate | pfInWhere;
  int size_ = 0;
  int precision_ = 0;
};

// The kinds, so that persistent fields read as their declarations.
#define QUORVEL_DECLARE_FIELD(Name, Type)                                \
  class Name : public TField {                                           \
   public:                                                               \
    explicit Name(TComponent* owner = nullptr) : TField(owner, Type) {}  \
    QString ClassName() const override { return QStringLiteral(#Name); } \
  };

QUORVEL_DECLARE_FIELD(TAutoIncField, ftAutoInc)
QUORVEL_DECLARE_FIELD(TIntegerField, ftInteger)
QUORVEL_DECLARE_FIELD(TWideStringField, ftWideString)
QUORVEL_DECLARE_FIELD(TBCDField, ftBCD)
QUORVEL_DECLARE_FIELD(TFloatField, ftFloat)
QUORVEL_DECLARE_FIELD(TDateTimeField, ftDateTime)
QUORVEL_DECLARE_FIELD(TBooleanField, ftBoolean)

#undef QUORVEL_DECLARE_FIELD

// A value computed over the data set's visible rows (the detail rows of the current
// master row, when it is a detail): "SUM(f)", "COUNT(f)", "AVG(f)", "MIN(f)", "MAX(f)"
// of a numeric field; COUNT also counts text. Nulls are skipped; SUM, AVG, MIN and MAX
// of no value are null. SUM of a BCD field stays exact (currency); of a float field it
// is a double; of an integer field an integer. The row being edited counts with its
// typed values. It is listed in AggFields, not in Fields, and is read-only.
class TAggregateField : public TField {
 public:
  explicit TAggregateField(TComponent* owner = nullptr);
  QString ClassName() const override { return QStringLiteral("TAggregateField"); }

  const QString& Expression() const { return expression_; }
  void SetExpression(const QString& expression) {
    expression_ = expression;
    cachedFor_ = nullptr;
  }
  bool Active() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  // Kind of the result: the summed field's kind (BCD, float, integer); COUNT integer.
  TFieldType ResultType() const;

 protected:
  db::Value CurrentValue() const override;

 private:
  struct Parsed {
    QString function;  // SUM, COUNT, AVG, MIN, MAX
    QString field;
  };
  Parsed Parse() const;

  QString expression_;
  bool active_ = true;
  mutable uint64_t cachedVersion_ = 0;
  mutable const TDataSet* cachedFor_ = nullptr;
  mutable db::Value cached_;
  mutable TFieldType resultType_ = ftFloat;
};
