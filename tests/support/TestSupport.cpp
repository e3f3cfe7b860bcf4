#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/rtl/Paths.h"

namespace testsupport {

ScopedExeFolder::ScopedExeFolder(const QString& exeName) : previous_(rtl::ExecutablePath()) {
  rtl::SetExecutablePath(dir_.path() + QLatin1Char('/') + exeName);
}

ScopedExeFolder::~ScopedExeFolder() { rtl::SetExecutablePath(previous_); }

QString ScopedExeFolder::Folder() const { return dir_.path() + QLatin1Char('/'); }

QString ScopedExeFolder::FilePath(const QString& name) const { return Folder() + name; }

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace testsupport
