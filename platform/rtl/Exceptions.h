#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The error hierarchy every layer raises. Each class answers its own name, because
// user-facing texts quote it (the builder's "Classe: 'EDatabaseError'").
class Exception : public std::exception {
 public:
  explicit Exception(const QString& message);
  ~Exception() override;

  const QString& Message() const noexcept { return message_; }
  void SetMessage(const QString& message);
  virtual QString ClassName() const { return QStringLiteral("Exception"); }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};

#define QUORVEL_DECLARE_EXCEPTION(Name, Base)                               \
  class Name : public Base {                                                \
   public:                                                                  \
    using Base::Base;                                                       \
    QString ClassName() const override { return QStringLiteral(#Name); }    \
  };

// The silent abort: ends the current operation and shows nothing.
QUORVEL_DECLARE_EXCEPTION(EAbort, Exception)
QUORVEL_DECLARE_EXCEPTION(EAssertionFailed, Exception)
QUORVEL_DECLARE_EXCEPTION(EConvertError, Exception)
QUORVEL_DECLARE_EXCEPTION(EClassNotFound, Exception)
QUORVEL_DECLARE_EXCEPTION(EDatabaseError, Exception)
QUORVEL_DECLARE_EXCEPTION(EComponentError, Exception)

// An I/O failure keeps the operating system's error code (errno here).
class EInOutError : public Exception {
 public:
  EInOutError(const QString& message, int errorCode);
  QString ClassName() const override { return QStringLiteral("EInOutError"); }
  int ErrorCode() const noexcept { return errorCode_; }

 private:
  int errorCode_;
};

namespace rtl {

// Raises EAbort.
[[noreturn]] void Abort();

// Raises EAssertionFailed with "%s (%s, line %d)" from message, source unit and line.
[[noreturn]] void AssertFailed(const QString& message, const QString& unit, int line);

inline void Assert(bool condition, const QString& message, const QString& unit, int line) {
  if (!condition) AssertFailed(message, unit, line);
}

// EInOutError for errno, with the system's text for it.
[[noreturn]] void RaiseLastOSError(int errorCode, const QString& context = {});

}  // namespace rtl
