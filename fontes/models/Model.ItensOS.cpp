#include "fontes/models/Model.ItensOS.h"

QString TModelItensOS::TableName() {
  return QStringLiteral("itens_os");
}
