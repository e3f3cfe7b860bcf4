#include "fontes/models/Model.Base.h"

#include "platform/db/ADODataSet.h"

TModelBase::TModelBase(TComponent* AOwner) : TBuilderSQL(AOwner) {}

TModelBase::~TModelBase() = default;

void TModelBase::OpenDataSet() {
  if (FDataSet != nullptr && !FDataSet->Active()) FDataSet->Open();
}

void TModelBase::Assign(TADODataSet* ADataSet) {
  SetDataSet(ADataSet);
}
