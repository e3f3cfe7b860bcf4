#include "platform/db/ConnectionString.h"

#include <QDir>
#include <vector>

#include "platform/rtl/Paths.h"

namespace db {

namespace {

const char* const kKnownKeys[] = {
    "Provider", "Data Source", "User ID", "Password", "Persist Security Info", "Mode", "Extended Properties"};
const QLatin1String kJetPrefix("Jet OLEDB:");
const QLatin1String kPasswordKey("Jet OLEDB:Database Password");

// Length of the known key (with blanks before it and its "=") that starts at pos, or 0.
qsizetype KnownKeyAt(const QString& text, qsizetype pos) {
  qsizetype p = pos;
  while (p < text.size() && text[p] == QLatin1Char(' ')) ++p;
  const qsizetype equals = text.indexOf(QLatin1Char('='), p);
  if (equals < 0) return 0;
  const QString key = text.mid(p, equals - p).trimmed();
  bool known = key.startsWith(kJetPrefix, Qt::CaseInsensitive) && key.size() > kJetPrefix.size();
  for (const char* candidate : kKnownKeys)
    known = known || key.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
  return known ? equals + 1 - pos : 0;
}

}  // namespace

ConnectionParameters ParseConnectionString(const QString& text) {
  ConnectionParameters result;
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype keyLength = KnownKeyAt(text, pos);
    if (keyLength == 0) {
      // Not a key we know: skip to the next ";" that starts one.
      const qsizetype next = text.indexOf(QLatin1Char(';'), pos);
      if (next < 0) break;
      pos = next + 1;
      continue;
    }
    const QString key = text.mid(pos, keyLength - 1).trimmed();
    const qsizetype valueStart = pos + keyLength;
    qsizetype valueEnd = text.size();
    if (key.compare(kPasswordKey, Qt::CaseInsensitive) != 0) {
      for (qsizetype semi = text.indexOf(QLatin1Char(';'), valueStart); semi >= 0;
           semi = text.indexOf(QLatin1Char(';'), semi + 1)) {
        if (semi + 1 >= text.size() || KnownKeyAt(text, semi + 1) > 0) {
          valueEnd = semi;
          break;
        }
      }
    }
    const QString value = text.mid(valueStart, valueEnd - valueStart);
    if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) {
      result.provider = value.trimmed();
    } else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) {
      result.dataSource = value;
    } else if (key.compare(kPasswordKey, Qt::CaseInsensitive) == 0) {
      result.password = value;
      result.hasPassword = true;
    }
    pos = valueEnd + 1;
  }
  return result;
}

QString ResolveDatabasePath(const QString& dataSource) {
  if (dataSource.isEmpty() || QDir::isAbsolutePath(dataSource)) return dataSource;
  return rtl::ExecutableFolder() + dataSource;
}

}  // namespace db
