#include "fontes/models/Model.Cliente.h"

QString TModelCliente::TableName() {
  return QStringLiteral("Clientes");
}
