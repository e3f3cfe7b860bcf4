#pragma once

#include <QString>

namespace rtl {

// Full path of the running executable. Tests may point it elsewhere, so that every
// file the program keeps beside itself lands in a scratch folder.
QString ExecutablePath();
void SetExecutablePath(const QString& path);

// The executable's folder with its trailing separator ("/" on this platform).
QString ExecutableFolder();

// "The folder of a path": the text up to and including its last separator.
QString ExtractFilePath(const QString& path);
// The file name without its folder.
QString ExtractFileName(const QString& path);
// Replaces (or adds) the extension; ext includes its dot.
QString ChangeFileExt(const QString& path, const QString& ext);

}  // namespace rtl
