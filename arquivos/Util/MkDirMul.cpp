#include "arquivos/Util/MkDirMul.h"

#include "platform/rtl/TextFile.h"

namespace {

void DropLast(QString& path, QChar c) {
  if (path.endsWith(c)) path.chop(1);
}

}  // namespace

bool MkSubDir(QString spath) {
  DropLast(spath, QLatin1Char('\\'));
  DropLast(spath, QLatin1Char('/'));
  DropLast(spath, QChar(0));
  if (rtl::DirectoryExists(spath)) return true;
  if (spath.size() < 3) return false;
  // The parent keeps its separator; the recursion drops it again.
  MkSubDir(spath.left(spath.lastIndexOf(QLatin1Char('/')) + 1));
  return rtl::CreateDir(spath);
}
