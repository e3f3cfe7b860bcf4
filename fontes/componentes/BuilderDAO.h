#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

#include "platform/rtl/Component.h"

class TADOConnection;
class TADODataSet;

// Composes one SELECT against one table and opens it as a data set named "ds" + the
// table. A subclass names the table by overriding TableName. Calls chain:
//   Ordem->Where("id", AID).get();
// The state only grows, so a fresh builder is taken for each query; a second get on the
// same builder is refused by the duplicate data set name.
//
// Values of Where: an invalid or null QVariant is empty ("%%"), bool is -1/0, QString is
// a double-quoted literal (a quote inside doubled, so a value can never end it), any
// integer or floating kind a number with "." as decimal separator.
class TBuilderSQL : public TComponent {
 public:
  // Binds to the data module's connection DM->ADO (none while there is no DM).
  explicit TBuilderSQL(TComponent* AOwner);
  ~TBuilderSQL() override;

  QString ClassName() const override { return QStringLiteral("TBuilderSQL"); }

  // Subclasses must override it; the base raises an assertion failure.
  virtual QString TableName();
  virtual QString PrimaryKey();
  // Replaces the select list; an empty list selects "*".
  virtual TBuilderSQL& Select(const QStringList& AColumns);

  TBuilderSQL& Where(const QString& AColumn, const QVariant& AValue);
  // An operator of blanks only is "="; any other is used as given, blanks included.
  TBuilderSQL& Where(const QString& AColumn, const QString& AOperator, const QVariant& AValue);
  TBuilderSQL& OrderBy(const QStringList& AColumns);

  // Builds the statement, opens it on Conexao and gives the data set, which the builder
  // owns. An open failure is re-raised with "Erro ao abrir model: " in front.
  TADODataSet* get();
  // Adds PrimaryKey = AID first.
  TADODataSet* get(int AID);

  TADOConnection* Conexao = nullptr;
  // Empty, or one inner join: joined table, its column, this table's column.
  QStringList Joins;
  QStringList fillable;

 private:
  QString loadQuery();

  int32_t FLimit = 0;
  QStringList Columns;
  QStringList Wheres;
  QStringList FWiths;
  QStringList orderBys;
  QStringList Plucks;
};

// True when AValue holds a boolean.
bool VarIsBoolean(const QVariant& AValue);
// True for the empty text.
bool IsEmpty(const QString& AValue);
