#include "platform/rtl/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"

namespace rtl {

namespace {

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// Closes on every path out, so an error in the middle never leaks the descriptor.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const noexcept { return fd_; }
  // Closing can report a late write error (NFS, full disk); it must not be lost.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

void WriteAll(int fd, const QByteArray& bytes, const QString& path) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
    if (written < 0) {
      if (errno == EINTR) continue;
      RaiseLastOSError(errno, path);
    }
    data += written;
    left -= written;
  }
}

QByteArray EncodeLines(const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += line.toUtf8();
    bytes += "\r\n";
  }
  return bytes;
}

// A name in the target's folder that no other writer uses at the same time.
int CreateTemporaryBeside(const QString& target, QString& tempPath) {
  static unsigned counter = 0;
  const QString folder = ExtractFilePath(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath =
        QStringLiteral("%1.%2.tmp-%3-%4").arg(folder, ExtractFileName(target)).arg(::getpid()).arg(++counter);
    const int fd = ::open(Native(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

void AppendLines(const QString& path, const QStringList& lines) {
  if (IsReadOnlyFile(path)) RaiseLastOSError(EACCES, path);
  FileDescriptor fd(::open(Native(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (fd.Get() < 0) RaiseLastOSError(errno, path);
  WriteAll(fd.Get(), EncodeLines(lines), path);
  if (fd.Close() != 0) RaiseLastOSError(errno, path);
}

void ReplaceFileContent(const QString& path, const QByteArray& content) {
  QString target = path;
  const QFileInfo info(path);
  if (info.isSymLink() && info.exists()) target = info.canonicalFilePath();

  struct stat existing {};
  const bool exists = ::stat(Native(target).constData(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) RaiseLastOSError(EISDIR, path);
  if (exists && IsReadOnlyFile(target)) RaiseLastOSError(EACCES, path);

  QString tempPath;
  FileDescriptor fd(CreateTemporaryBeside(target, tempPath));
  if (fd.Get() < 0) RaiseLastOSError(errno, path);
  try {
    if (exists && ::fchmod(fd.Get(), existing.st_mode & 07777) != 0) RaiseLastOSError(errno, path);
    WriteAll(fd.Get(), content, path);
    // The data must be on disk before the rename makes it the file's content.
    if (::fsync(fd.Get()) != 0) RaiseLastOSError(errno, path);
    if (fd.Close() != 0) RaiseLastOSError(errno, path);
    if (::rename(Native(tempPath).constData(), Native(target).constData()) != 0)
      RaiseLastOSError(errno, path);
  } catch (...) {
    ::unlink(Native(tempPath).constData());
    throw;
  }
}

QDateTime FileLastWriteTime(const QString& path) {
  FileDescriptor fd(::open(Native(path).constData(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) RaiseLastOSError(errno, path);
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) RaiseLastOSError(errno, path);
  if (S_ISDIR(st.st_mode)) RaiseLastOSError(EISDIR, path);
  const qint64 ms = static_cast<qint64>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
  return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime();
}

bool FileExists(const QString& path) {
  struct stat st {};
  return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const QString& path) {
  struct stat st {};
  return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnlyFile(const QString& path) {
  struct stat st {};
  if (path.isEmpty() || ::stat(Native(path).constData(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return (st.st_mode & 0222) == 0 || ::access(Native(path).constData(), W_OK) != 0;
}

bool CreateDir(const QString& path) {
  return !path.isEmpty() && ::mkdir(Native(path).constData(), 0777) == 0;
}

bool RenameFile(const QString& from, const QString& to) {
  const QByteArray source = Native(from);
  const QByteArray target = Native(to);
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace rename: a hard link fails on an existing target too.
  if (::link(source.constData(), target.constData()) != 0) return false;
  if (::unlink(source.constData()) == 0) return true;
  ::unlink(target.constData());  // undo, so the file keeps exactly one name
  return false;
}

}  // namespace rtl
