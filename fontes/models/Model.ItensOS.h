#pragma once

#include "fontes/models/Model.Base.h"

// The items of the service orders.
class TModelItensOS : public TModelBase {
 public:
  using TModelBase::TModelBase;

  QString ClassName() const override { return QStringLiteral("TModelItensOS"); }
  QString TableName() override;
};
