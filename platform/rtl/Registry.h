#pragma once

#include <QString>
#include <cstdint>

#include "platform/rtl/Exceptions.h"

QUORVEL_DECLARE_EXCEPTION(ERegistryException, Exception)

// The current user's registry hive, kept as an ini file in the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config): Quorvel/registry.ini. Each key is a section
// named by its path ("Software\Kelvaro"); each value is stored with its kind, as
// "sz:text" or "dword:42", so reading a value as the wrong kind fails as it would in
// a real registry. Key paths and value names ignore letter case. Values longer than
// TIniFile::MaxValueLength characters are cut when read.
class TRegistry {
 public:
  TRegistry() = default;
  ~TRegistry() { CloseKey(); }
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // The store's file for the current environment.
  static QString StoreFileName();

  // Opens a key: a path starting with "\" from the hive's root, any other relative to
  // the open key. A missing key is created (with its parents) when canCreate, else the
  // call answers false and the open key stays as it was.
  bool OpenKey(const QString& key, bool canCreate);
  void CloseKey() { currentPath_.clear(); }
  // "" while no key is open.
  const QString& CurrentPath() const noexcept { return currentPath_; }

  bool KeyExists(const QString& key) const;
  bool ValueExists(const QString& name) const;

  // A missing value reads empty; a value of another kind raises ERegistryException
  // "Invalid data type for '%s'".
  QString ReadString(const QString& name) const;
  // A missing value raises "Failed to get data for '%s'", another kind "Invalid data type for '%s'".
  int32_t ReadInteger(const QString& name) const;
  // Writing with no key open raises "Failed to set data for '%s'".
  void WriteString(const QString& name, const QString& value);
  void WriteInteger(const QString& name, int32_t value);

 private:
  QString Resolve(const QString& key) const;
  void WriteRaw(const QString& name, const QString& stored);

  QString currentPath_;
};
