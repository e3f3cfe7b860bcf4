#include "platform/rtl/Registry.h"

#include <QDir>
#include <QStringList>

#include "platform/rtl/IniFile.h"
#include "platform/rtl/Paths.h"

namespace {

const QString kTextKind = QStringLiteral("sz:");
const QString kIntegerKind = QStringLiteral("dword:");
const QChar kKeySeparator = QLatin1Char('\\');

// The unnamed (default) value of a key, as registry exports spell it.
QString StoredName(const QString& name) {
  return name.isEmpty() ? QStringLiteral("@") : name;
}

QString JoinKey(const QStringList& levels) {
  return levels.join(kKeySeparator);
}

QStringList KeyLevels(const QString& path) {
  return path.split(kKeySeparator, Qt::SkipEmptyParts);
}

}  // namespace

QString TRegistry::StoreFileName() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  // The XDG rules ignore a relative setting.
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  return QDir::cleanPath(base) + QStringLiteral("/Quorvel/registry.ini");
}

QString TRegistry::Resolve(const QString& key) const {
  QStringList levels = KeyLevels(key);
  if (!key.startsWith(kKeySeparator) && !currentPath_.isEmpty()) levels = KeyLevels(currentPath_) + levels;
  return JoinKey(levels);
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
  const QString path = Resolve(key);
  if (path.isEmpty()) return false;
  TIniFile store(StoreFileName());
  if (!store.SectionExists(path)) {
    if (!canCreate) return false;
    QDir().mkpath(rtl::ExtractFilePath(store.FileName()));
    QStringList parent;
    for (const QString& level : KeyLevels(path)) {
      parent << level;
      store.CreateSection(JoinKey(parent));
    }
  }
  currentPath_ = path;
  return true;
}

bool TRegistry::KeyExists(const QString& key) const {
  const QString path = Resolve(key);
  return !path.isEmpty() && TIniFile(StoreFileName()).SectionExists(path);
}

bool TRegistry::ValueExists(const QString& name) const {
  return !currentPath_.isEmpty() && TIniFile(StoreFileName()).ValueExists(currentPath_, StoredName(name));
}

QString TRegistry::ReadString(const QString& name) const {
  if (!ValueExists(name)) return QString();
  const QString stored = TIniFile(StoreFileName()).ReadString(currentPath_, StoredName(name), QString());
  if (!stored.startsWith(kTextKind))
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
  return stored.mid(kTextKind.size());
}

int32_t TRegistry::ReadInteger(const QString& name) const {
  if (!ValueExists(name)) throw ERegistryException(QStringLiteral("Failed to get data for '%1'").arg(name));
  const QString stored = TIniFile(StoreFileName()).ReadString(currentPath_, StoredName(name), QString());
  bool ok = false;
  const uint32_t bits = stored.startsWith(kIntegerKind) ? stored.mid(kIntegerKind.size()).toUInt(&ok, 16) : 0;
  if (!ok) throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
  return static_cast<int32_t>(bits);
}

void TRegistry::WriteRaw(const QString& name, const QString& stored) {
  if (currentPath_.isEmpty())
    throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
  TIniFile store(StoreFileName());
  QDir().mkpath(rtl::ExtractFilePath(store.FileName()));
  store.WriteString(currentPath_, StoredName(name), stored);
}

void TRegistry::WriteString(const QString& name, const QString& value) {
  WriteRaw(name, kTextKind + value);
}

void TRegistry::WriteInteger(const QString& name, int32_t value) {
  WriteRaw(name,
           kIntegerKind + QStringLiteral("%1").arg(static_cast<uint32_t>(value), 8, 16, QLatin1Char('0')));
}
