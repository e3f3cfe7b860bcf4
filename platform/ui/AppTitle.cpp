#include "platform/ui/AppTitle.h"

#include <optional>

#include "platform/rtl/Paths.h"

namespace ui {

namespace {
std::optional<QString>& StoredTitle() {
  static std::optional<QString> title;
  return title;
}
}  // namespace

QString TitleFromExecutable(const QString& executablePath) {
  QString name = rtl::ExtractFileName(executablePath);
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
  return name;
}

QString ApplicationTitle() {
  if (StoredTitle()) return *StoredTitle();
  return TitleFromExecutable(rtl::ExecutablePath());
}

void SetApplicationTitle(const QString& title) {
  StoredTitle() = title;
}

void ResetApplicationTitle() {
  StoredTitle().reset();
}

}  // namespace ui
