#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Plain file-system services. Every failure of an operation that raises is an
// EInOutError carrying errno. A file whose mode grants no write permission to anyone
// counts as read-only and refuses writes, even for a privileged user, as a file with
// the read-only attribute does.
namespace rtl {

// Appends each line followed by CR LF, as UTF-8, in one write; creates the file when
// missing but never its folder.
void AppendLines(const QString& path, const QStringList& lines);
inline void AppendLine(const QString& path, const QString& line) {
  AppendLines(path, QStringList{line});
}

// Replaces the whole content through a temporary file in the same folder and a rename,
// so a crash leaves either the old or the new content. An existing file keeps its
// permissions; a symbolic link keeps pointing at the replaced file.
void ReplaceFileContent(const QString& path, const QByteArray& content);

// Last-write time of a file (not a folder), in local time.
QDateTime FileLastWriteTime(const QString& path);

bool FileExists(const QString& path);  // a regular file (links followed)
bool DirectoryExists(const QString& path);
bool IsReadOnlyFile(const QString& path);
// Creates one directory, its parent must exist. False when the system refuses.
bool CreateDir(const QString& path);
// Moves a file; refuses (false) when the target exists already.
bool RenameFile(const QString& from, const QString& to);

}  // namespace rtl
