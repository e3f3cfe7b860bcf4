#pragma once

#include <QString>

// ServerConfig.ini: section "Conexao", "CaminhoBD" (the database path as given) and
// "PswDB" (the password through TUtil::Criptografar). The file is readable by its owner
// only (mode 0600), from its creation on.
namespace admin {

// Gives the path of the file written. An existing file is refused unless replace; when
// replaced, its other keys stay and its mode becomes 0600.
QString WriteServerConfig(const QString& folder, const QString& databasePath, const QString& password,
                          bool replace);

}  // namespace admin
