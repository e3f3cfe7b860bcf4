#include "platform/rtl/Exceptions.h"

#include <cstring>

Exception::Exception(const QString& message) : message_(message), utf8_(message.toUtf8()) {}

Exception::~Exception() = default;

void Exception::SetMessage(const QString& message) {
  message_ = message;
  utf8_ = message.toUtf8();
}

EInOutError::EInOutError(const QString& message, int errorCode)
    : Exception(message), errorCode_(errorCode) {}

namespace rtl {

void Abort() { throw EAbort(QStringLiteral("Operation aborted")); }

void AssertFailed(const QString& message, const QString& unit, int line) {
  throw EAssertionFailed(QStringLiteral("%1 (%2, line %3)").arg(message, unit).arg(line));
}

void RaiseLastOSError(int errorCode, const QString& context) {
  QString text = QStringLiteral("I/O error %1: %2").arg(errorCode).arg(QString::fromLocal8Bit(std::strerror(errorCode)));
  if (!context.isEmpty()) text += QStringLiteral(" (%1)").arg(context);
  throw EInOutError(text, errorCode);
}

}  // namespace rtl
