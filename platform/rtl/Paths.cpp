#include "platform/rtl/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace rtl {

namespace {
QString& OverridePath() {
  static QString path;
  return path;
}

QString ReadProcExe() {
  QFileInfo link(QStringLiteral("/proc/self/exe"));
  QString target = link.symLinkTarget();
  if (!target.isEmpty()) return target;
  return QCoreApplication::applicationFilePath();
}
}  // namespace

QString ExecutablePath() {
  if (!OverridePath().isEmpty()) return OverridePath();
  static const QString real = ReadProcExe();
  return real;
}

void SetExecutablePath(const QString& path) { OverridePath() = path; }

QString ExecutableFolder() { return ExtractFilePath(ExecutablePath()); }

QString ExtractFilePath(const QString& path) {
  int slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : path.left(slash + 1);
}

QString ExtractFileName(const QString& path) {
  int slash = path.lastIndexOf(QLatin1Char('/'));
  return path.mid(slash + 1);
}

QString ChangeFileExt(const QString& path, const QString& ext) {
  int slash = path.lastIndexOf(QLatin1Char('/'));
  int dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot <= slash) return path + ext;
  return path.left(dot) + ext;
}

}  // namespace rtl
