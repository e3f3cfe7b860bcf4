#pragma once

#include "fontes/models/Model.Base.h"

// The users table, named in lower case: its data set is "dsusers".
class TModelUser : public TModelBase {
 public:
  using TModelBase::TModelBase;

  QString ClassName() const override { return QStringLiteral("TModelUser"); }
  QString TableName() override;
};
