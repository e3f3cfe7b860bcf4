#include "fontes/models/Model.User.h"

QString TModelUser::TableName() {
  return QStringLiteral("users");
}
