#include "fontes/models/Model.Ordem.h"

QString TModelOrdem::TableName() {
  return QStringLiteral("OrdensServico");
}
