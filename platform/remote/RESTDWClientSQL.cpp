#include "platform/remote/RESTDWClientSQL.h"

#include <QLocale>

#include "platform/remote/RESTDWDataBase.h"
#include "platform/rtl/Exceptions.h"

QString TSQLLines::Text() const {
  QString text;
  for (const QString& line : lines_) text += line + LineBreak;
  return text;
}

namespace {

bool IsNumber(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
      return true;
    default:
      return false;
  }
}

}  // namespace

double TRemoteField::AsFloat() const {
  if (value_.isNull()) return 0.0;
  if (IsNumber(value_)) return value_.toDouble();
  bool ok = false;
  const QString text = value_.toString().trimmed();
  const double value = QLocale::c().toDouble(text, &ok);
  if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
  return value;
}

bool TRemoteField::AsBoolean() const {
  if (value_.isNull()) return false;
  if (IsNumber(value_)) return value_.toDouble() != 0.0;
  const QString text = value_.toString().trimmed();
  static const QStringList kTrue = {"true", "t", "yes", "y", "sim", "s", "1", "-1"};
  static const QStringList kFalse = {"false", "f", "no", "n", "não", "nao", "0", ""};
  if (kTrue.contains(text, Qt::CaseInsensitive)) return true;
  if (kFalse.contains(text, Qt::CaseInsensitive)) return false;
  throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
}

TRESTDWClientSQL::TRESTDWClientSQL(TComponent* owner) : TComponent(owner) {}

TRESTDWClientSQL::~TRESTDWClientSQL() {
  Close();
}

IRemoteTransport& TRESTDWClientSQL::Transport() const {
  if (database_ == nullptr) throw EDatabaseError(QStringLiteral("Conexão remota não atribuída"));
  return database_->Transport();
}

void TRESTDWClientSQL::Open() {
  if (active_) return;
  result_ = Transport().Query(sql_.Text());
  active_ = true;
}

void TRESTDWClientSQL::Close() {
  active_ = false;
  result_ = RemoteResult();
}

TRemoteField TRESTDWClientSQL::FieldByName(const QString& name) const {
  qsizetype column = -1;
  for (qsizetype c = 0; active_ && column < 0 && c < result_.Columns.size(); ++c)
    if (result_.Columns.at(c).compare(name, Qt::CaseInsensitive) == 0) column = c;
  if (column < 0) throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
  if (result_.Rows.empty()) return TRemoteField(result_.Columns.at(column), QVariant());
  return TRemoteField(result_.Columns.at(column), result_.Rows.front().at(static_cast<size_t>(column)));
}

void TRESTDWClientSQL::ExecSQL() {
  Transport().Execute(sql_.Text());
}
