#include "arquivos/Util/Constants.h"

const QString INI_SESSAO_CONEXAO = QStringLiteral("Conexao");
const QString INI_BD = QStringLiteral("CaminhoBD");
const QString INI_PSWDB = QStringLiteral("PswDB");

const QString INI_PDV_IMPRESSORA = QStringLiteral("Impressora");
const QString INI_PDV_CHAVE_MARGEMESQU = QStringLiteral("MargemEsqu");
const QString INI_PDV_CHAVE_MARGEMDIRE = QStringLiteral("MargemDire");
const QString INI_PDV_CHAVE_MARGEMSUPE = QStringLiteral("MargemSupe");
const QString INI_PDV_CHAVE_MARGEMINFE = QStringLiteral("MargemInfe");
