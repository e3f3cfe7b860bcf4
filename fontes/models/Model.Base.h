#pragma once

#include <QString>

#include "fontes/componentes/BuilderDAO.h"

class TADODataSet;

// A builder bound to one table that remembers the data set it last opened. DataSet is
// a reference only: the data sets belong to the builder that opened them.
class TModelBase : public TBuilderSQL {
 public:
  explicit TModelBase(TComponent* AOwner);
  ~TModelBase() override;

  QString ClassName() const override { return QStringLiteral("TModelBase"); }

  TADODataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TADODataSet* ADataSet) { FDataSet = ADataSet; }
  const QString& sSQL() const { return FsSQL; }
  void SetsSQL(const QString& AValue) { FsSQL = AValue; }

  // Opens the current data set unless it is open already (or there is none).
  void OpenDataSet();
  // The same as SetDataSet.
  void Assign(TADODataSet* ADataSet);

 private:
  TADODataSet* FDataSet = nullptr;
  QString FsSQL;
};
