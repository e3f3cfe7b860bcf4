#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A scratch folder that also stands in for the executable's folder while it lives,
// so that ini files, logs and databases land there instead of beside the test binary.
class ScopedExeFolder {
 public:
  explicit ScopedExeFolder(const QString& exeName = QStringLiteral("Quorvel"));
  ~ScopedExeFolder();
  ScopedExeFolder(const ScopedExeFolder&) = delete;
  ScopedExeFolder& operator=(const ScopedExeFolder&) = delete;

  // Folder with a trailing separator, as the executable's folder is given.
  QString Folder() const;
  QString FilePath(const QString& name) const;

 private:
  QTemporaryDir dir_;
  QString previous_;
};

// Writes bytes to a file, creating its folder; for fixtures.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

}  // namespace testsupport
