// The connection string taken apart: any text parses; a well-formed one gives back its
// provider, path and password, whatever blanks and semicolons the path and password hold.
#include "fuzz/FuzzSupport.h"
#include "platform/db/ConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = fuzz::Text(data, size);
  const db::ConnectionParameters raw = db::ParseConnectionString(text);
  (void)db::ResolveDatabasePath(raw.dataSource);

  // "Provider=...;Data Source=<path>;Jet OLEDB:Database Password=<password>": a path
  // without ";" is kept verbatim, and the password runs to the end of the text.
  const auto [path, password] = fuzz::TwoTexts(data, size);
  if (path.contains(QLatin1Char(';'))) return 0;
  const QString built = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                        QStringLiteral(";Jet OLEDB:Database Password=") + password;
  const db::ConnectionParameters p = db::ParseConnectionString(built);
  fuzz::Check(p.provider == QLatin1String(db::kJetProvider), "provider", built);
  fuzz::Check(p.dataSource == path, "path kept verbatim", built + QStringLiteral("\n-> ") + p.dataSource);
  fuzz::Check(p.hasPassword && p.password == password, "password to the end",
              built + QStringLiteral("\n-> ") + p.password);
  return 0;
}
