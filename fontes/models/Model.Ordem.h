#pragma once

#include "fontes/models/Model.Base.h"

// The service orders.
class TModelOrdem : public TModelBase {
 public:
  using TModelBase::TModelBase;

  QString ClassName() const override { return QStringLiteral("TModelOrdem"); }
  QString TableName() override;
};
