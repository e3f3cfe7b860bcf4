#include "platform/db/DataTypes.h"

namespace db {

QString FieldTypeName(TFieldType type) {
  switch (type) {
    case ftAutoInc:
      return QStringLiteral("AutoInc");
    case ftInteger:
      return QStringLiteral("Integer");
    case ftWideString:
      return QStringLiteral("WideString");
    case ftBCD:
      return QStringLiteral("BCD");
    case ftFloat:
      return QStringLiteral("Float");
    case ftDateTime:
      return QStringLiteral("DateTime");
    case ftBoolean:
      return QStringLiteral("Boolean");
    case ftAggregate:
      return QStringLiteral("Aggregate");
    case ftUnknown:
      break;
  }
  return QStringLiteral("Unknown");
}

bool IsNumericType(TFieldType type) {
  return type == ftAutoInc || type == ftInteger || type == ftFloat || type == ftBCD;
}

}  // namespace db
