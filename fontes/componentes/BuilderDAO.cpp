#include "fontes/componentes/BuilderDAO.h"

#include <QMetaType>
#include <cmath>

#include "fontes/dados/uDM.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

const QString kUnit = QStringLiteral("trunk\\fontes\\componentes\\BuilderDAO");

QString QuotedStr(const QString& text, QChar quote) {
  QString doubled = text;
  doubled.replace(quote, QString(2, quote));
  return quote + doubled + quote;
}

bool IsIntegerKind(int typeId) {
  switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return true;
    default:
      return false;
  }
}

bool IsFloatKind(int typeId) {
  return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// SQL takes "." whatever the user's regional settings: "2,5" would split the statement.
QString SqlNumber(double value) {
  if (!std::isfinite(value))
    throw EConvertError(QStringLiteral("Valor numérico inválido na condição da consulta."));
  return rtl::FloatToStr(value, TFormatSettings::Invariant());
}

QString ValueText(const QVariant& AValue) {
  if (!AValue.isValid() || AValue.isNull()) return QStringLiteral("\"%%\"");
  if (VarIsBoolean(AValue)) return AValue.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
  const int typeId = AValue.metaType().id();
  // Jet reads "" inside a double-quoted literal as one quote, so a value cannot end it.
  if (typeId == QMetaType::QString) return QuotedStr(AValue.toString(), QLatin1Char('"'));
  if (IsIntegerKind(typeId) || IsFloatKind(typeId)) return SqlNumber(AValue.toDouble());
  throw EConvertError(QStringLiteral("Tipo de valor não suportado na condição da consulta: %1")
                          .arg(QString::fromUtf8(AValue.typeName())));
}

}  // namespace

bool VarIsBoolean(const QVariant& AValue) {
  return AValue.metaType().id() == QMetaType::Bool;
}

bool IsEmpty(const QString& AValue) {
  return AValue.isEmpty();
}

TBuilderSQL::TBuilderSQL(TComponent* AOwner) : TComponent(AOwner) {
  if (DM != nullptr) Conexao = DM->ADO;
}

TBuilderSQL::~TBuilderSQL() = default;

QString TBuilderSQL::TableName() {
  rtl::AssertFailed(QStringLiteral("A função \"TableName\" não foi implementada em ") +
                        QuotedStr(ClassName(), QLatin1Char('\'')) + QStringLiteral("\r\n"),
                    kUnit, 83);
}

QString TBuilderSQL::PrimaryKey() {
  return QStringLiteral("id");
}

TBuilderSQL& TBuilderSQL::Select(const QStringList& AColumns) {
  Columns = AColumns.isEmpty() ? QStringList{QStringLiteral("*")} : AColumns;
  return *this;
}

TBuilderSQL& TBuilderSQL::Where(const QString& AColumn, const QVariant& AValue) {
  return Where(AColumn, QStringLiteral("="), AValue);
}

TBuilderSQL& TBuilderSQL::Where(const QString& AColumn, const QString& AOperator, const QVariant& AValue) {
  const QString op = rtl::Trim(AOperator).isEmpty() ? QStringLiteral("=") : AOperator;
  Wheres << AColumn + QLatin1Char(' ') + op + QLatin1Char(' ') + ValueText(AValue);
  return *this;
}

TBuilderSQL& TBuilderSQL::OrderBy(const QStringList& AColumns) {
  orderBys << AColumns;
  return *this;
}

TADODataSet* TBuilderSQL::get() {
  auto* dataSet = new TADODataSet(this);
  dataSet->SetName(QStringLiteral("ds") + TableName());
  dataSet->SetConnection(Conexao);
  if (Columns.isEmpty()) Columns << QStringLiteral("*");
  dataSet->SetCommandText(loadQuery());
  try {
    dataSet->Open();
  } catch (Exception& E) {
    E.SetMessage(QStringLiteral("Erro ao abrir model: ") + E.Message() + QStringLiteral("\r\nClasse: ") +
                 QuotedStr(E.ClassName(), QLatin1Char('\'')));
    throw;
  }
  return dataSet;
}

TADODataSet* TBuilderSQL::get(int AID) {
  Where(PrimaryKey(), AID);
  return get();
}

QString TBuilderSQL::loadQuery() {
  const QString table = rtl::UpperCaseAscii(TableName());
  QString sql =
      rtl::UpperCaseAscii(rtl::Trim(QStringLiteral("SELECT ") + Columns.join(QStringLiteral(" ,"))));
  sql += QStringLiteral(" FROM ") + table;
  if (!Joins.isEmpty()) {
    if (Joins.size() < 3)
      throw EDatabaseError(
          QStringLiteral("Junção incompleta em %1: informe a tabela, a coluna dela e a coluna de %2.")
              .arg(ClassName(), TableName()));
    sql += QStringLiteral(" INNER JOIN ") + Joins.at(0) + QStringLiteral(" ON ") + table + QLatin1Char('.') +
           Joins.at(2) + QStringLiteral(" = ") + Joins.at(0) + QLatin1Char('.') + Joins.at(1);
  }
  const QString where = rtl::Trim(Wheres.join(QStringLiteral(" AND ")));
  if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + rtl::UpperCaseAscii(where);
  const QString order = rtl::Trim(orderBys.join(QLatin1Char(',')));
  if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY ") + order;
  return rtl::Trim(sql);
}
