#pragma once

#include <QString>

// Sections and keys of the database and printer settings, shared by every reader of
// ServerConfig.ini and PDV.ini.
extern const QString INI_SESSAO_CONEXAO;  // section of the database settings
extern const QString INI_BD;              // database file path
extern const QString INI_PSWDB;           // scrambled database password

extern const QString INI_PDV_IMPRESSORA;  // section of the printer settings
extern const QString INI_PDV_CHAVE_MARGEMESQU;
extern const QString INI_PDV_CHAVE_MARGEMDIRE;
extern const QString INI_PDV_CHAVE_MARGEMSUPE;
extern const QString INI_PDV_CHAVE_MARGEMINFE;
