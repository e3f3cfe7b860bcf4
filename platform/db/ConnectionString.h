#pragma once

#include <QString>

namespace db {

// The provider name this layer answers to.
inline constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";

// "Provider=...;Data Source=...;Jet OLEDB:Database Password=..." taken apart. Keys are
// matched without case. The text is split only at a ";" that starts a known key
// (Provider, Data Source, User ID, Password, Mode, Persist Security Info, Extended
// Properties, Jet OLEDB:<anything>), so a path keeps its blanks and semicolons; the
// database password runs to the end of the text. Values are taken verbatim.
struct ConnectionParameters {
  QString provider;
  QString dataSource;
  QString password;
  bool hasPassword = false;
};

ConnectionParameters ParseConnectionString(const QString& text);

// A relative path is taken from the executable's folder.
QString ResolveDatabasePath(const QString& dataSource);

}  // namespace db
