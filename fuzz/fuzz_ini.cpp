// Ini reading on any file content, and the writer's promise on top of it: after a write,
// the key reads back as written and no other section's value has moved.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzz/FuzzSupport.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFile.h"

namespace {

// Every call reads the file anew, so a few names go a long way.
const char* const kSections[] = {"Conexao", " config ", ""};
const char* const kKeys[] = {"CaminhoBD", "PATHTMP", "a=b", ""};

QStringList ReadAll(const TIniFile& ini) {
  QStringList values;
  for (const char* s : kSections) {
    const QString section = QString::fromLatin1(s);
    values << (ini.SectionExists(section) ? QStringLiteral("1") : QStringLiteral("0"));
    for (const char* k : kKeys) {
      const QString key = QString::fromLatin1(k);
      values << ini.ReadString(section, key, QStringLiteral("<padrão>"));
      values << QString::number(ini.ReadInteger(section, key, -7));
      values << (ini.ReadBool(section, key, true) ? QStringLiteral("t") : QStringLiteral("f"));
      values << (ini.ValueExists(section, key) ? QStringLiteral("1") : QStringLiteral("0"));
      QBuffer buffer;
      buffer.open(QIODevice::ReadWrite);
      try {
        values << QString::number(ini.ReadBinaryStream(section, key, buffer));
      } catch (const EConvertError&) {
        values << QStringLiteral("hex?");
      }
    }
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In memory when the system offers it: the writer syncs every replacement to the disk.
  static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                               ? QStringLiteral("/dev/shm/quorvel-fuzz-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/quorvel-fuzz-XXXXXX"));
  const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) fuzz::Fail("cannot write the scratch file");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  const TIniFile ini(path);
  const QStringList before = ReadAll(ini);

  // A value from the input's tail, without the line breaks the writer refuses.
  QString value =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).right(40);
  value.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
  TIniFile writer(path);
  writer.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Chave"), value);
  fuzz::Check(
      ini.ReadString(QStringLiteral("Fuzz"), QStringLiteral("Chave"), QStringLiteral("<nada>")) == value,
      "written value reads back", value);

  const QStringList after = ReadAll(ini);
  fuzz::Check(after == before, "a write to another section changes nothing else");
  return 0;
}
