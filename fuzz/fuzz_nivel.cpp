// The next level code after any text: a code or a refusal (EConvertError), never a crash;
// a code is whole numbers, each followed by ".".
#include <QStringList>

#include "arquivos/Util/Util.h"
#include "fuzz/FuzzSupport.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kOperations[] = {"+", "=", "-", ""};
  const QString operation = data[0] == '+' || data[0] == '='
                                ? QString(QLatin1Char(static_cast<char>(data[0])))
                                : QString::fromLatin1(kOperations[data[0] % 4]);
  const QString origin =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  QString next;
  try {
    next = TUtil::calcularNivelDependente(origin, operation);
  } catch (const EConvertError&) {
    return 0;
  }
  if (operation != QLatin1String("+") && operation != QLatin1String("=")) {
    fuzz::Check(next.isEmpty(), "other operations give nothing", origin);
    return 0;
  }
  fuzz::Check(next.endsWith(QLatin1Char('.')), "code ends with a dot",
              origin + QStringLiteral(" -> ") + next);
  const QStringList parts = next.chopped(1).split(QLatin1Char('.'));
  for (const QString& part : parts) {
    bool ok = false;
    part.toLongLong(&ok);
    fuzz::Check(ok, "every component is a whole number", origin + QStringLiteral(" -> ") + next);
  }
  return 0;
}
