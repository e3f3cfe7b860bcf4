#include "tools/ServerConfigWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "platform/rtl/Exceptions.h"
#include "tools/AdminDatabase.h"

namespace admin {

namespace {

const QString kFileName = QStringLiteral("ServerConfig.ini");

[[noreturn]] void Fail(const QString& what, const QString& path, int error) {
  throw EInOutError(QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error))),
                    error);
}

// The scrambled password must never be readable by others, not even for a moment: the
// file exists with mode 0600 before anything is written, and the ini writer keeps the
// mode of the file it replaces.
void PrepareOwnerOnlyFile(const QString& path, bool replace) {
  const QByteArray native = QFile::encodeName(path);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (replace ? 0 : O_EXCL);
  const int fd = ::open(native.constData(), flags, S_IRUSR | S_IWUSR);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST)
      throw EInOutError(QStringLiteral("O arquivo já existe: %1 (use --force para substituí-lo)").arg(path),
                        error);
    Fail(QStringLiteral("Não foi possível criar"), path, error);
  }
  const int rc = ::fchmod(fd, S_IRUSR | S_IWUSR);
  const int error = errno;
  ::close(fd);
  if (rc != 0) Fail(QStringLiteral("Não foi possível restringir o acesso a"), path, error);
}

}  // namespace

QString WriteServerConfig(const QString& folder, const QString& databasePath, const QString& password,
                          bool replace) {
  if (databasePath.isEmpty())
    throw EConvertError(QStringLiteral("Informe o banco de dados com --db ARQUIVO."));
  CheckStorablePassword(password);
  if (!QFileInfo(folder).isDir())
    throw EInOutError(QStringLiteral("A pasta não existe: %1").arg(folder), ENOENT);

  // The program takes a relative path from its own folder, which is where this file goes.
  const QString database =
      QDir::isAbsolutePath(databasePath) ? databasePath : QDir(folder).filePath(databasePath);
  if (!AcceptsPassword(database, password))
    throw EDatabaseError(QStringLiteral("A senha informada não abre o banco de dados %1").arg(database));

  const QString path = QDir(folder).filePath(kFileName);
  PrepareOwnerOnlyFile(path, replace);
  TUtil::WriteIni(path, INI_SESSAO_CONEXAO, INI_BD, databasePath);
  TUtil::WriteIni(path, INI_SESSAO_CONEXAO, INI_PSWDB, TUtil::Criptografar(password));
  return path;
}

}  // namespace admin
