#pragma once

#include "fontes/models/Model.Base.h"

// The clients.
class TModelCliente : public TModelBase {
 public:
  using TModelBase::TModelBase;

  QString ClassName() const override { return QStringLiteral("TModelCliente"); }
  QString TableName() override;
};
