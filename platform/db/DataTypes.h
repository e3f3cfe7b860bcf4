#pragma once

#include <QString>
#include <cstdint>

// Enumerations shared by connections, data sets, fields and data sources. They are
// unscoped on purpose: callers write them bare ("ds->State() == dsEdit").

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// ftAggregate is the kind of an aggregate field; it is never the kind of a column.
enum TFieldType {
  ftUnknown,
  ftAutoInc,
  ftInteger,
  ftWideString,
  ftBCD,
  ftFloat,
  ftDateTime,
  ftBoolean,
  ftAggregate
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Which statements a field takes part in when the row is written. Only pfInUpdate
// changes what is written: rows are always found by their primary key.
enum TProviderFlag : unsigned { pfInUpdate = 1, pfInWhere = 2, pfInKey = 4, pfHidden = 8 };
using TProviderFlags = unsigned;

// Every cursor is a static snapshot; the other kinds are accepted and behave the same.
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };

// How the file is shared. cmRead opens it read-only; every other mode reads and writes
// and lets other programs do the same (the database takes its locks per statement).
enum TConnectMode {
  cmUnknown,
  cmRead,
  cmWrite,
  cmReadWrite,
  cmShareDenyRead,
  cmShareDenyWrite,
  cmShareExclusive,
  cmShareDenyNone
};

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

namespace db {

// "AutoInc", "Integer", "WideString", ... as type-mismatch messages name the kinds.
QString FieldTypeName(TFieldType type);
// Integer, auto-number, float and BCD fields.
bool IsNumericType(TFieldType type);

}  // namespace db
