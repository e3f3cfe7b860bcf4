#include "platform/rtl/IniFile.h"

#include <iconv.h>

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFile.h"

namespace {

// --- Decoding -------------------------------------------------------------------------

// Upper half of Windows-1252, asked of iconv once. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows itself maps them.
const std::array<char16_t, 128>& Windows1252UpperHalf() {
  static const std::array<char16_t, 128> table = [] {
    std::array<char16_t, 128> result{};
    iconv_t cd = ::iconv_open("UTF-16LE", "WINDOWS-1252");
    for (int i = 0; i < 128; ++i) {
      result[i] = static_cast<char16_t>(0x80 + i);
      if (cd == reinterpret_cast<iconv_t>(-1)) continue;
      char in = static_cast<char>(0x80 + i);
      unsigned char out[4] = {};
      char* inPtr = &in;
      char* outPtr = reinterpret_cast<char*>(out);
      size_t inLeft = 1;
      size_t outLeft = sizeof out;
      if (::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && outLeft == 2)
        result[i] = static_cast<char16_t>(out[0] | (out[1] << 8));
      ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset after a refused byte
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd);
    return result;
  }();
  return table;
}

QString DecodeWindows1252(const QByteArray& bytes) {
  const auto& upper = Windows1252UpperHalf();
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    *out++ = byte < 0x80 ? QChar(byte) : QChar(upper[byte - 0x80]);
  }
  return text;
}

QString DecodeFile(const QByteArray& bytes) {
  QStringDecoder utf8(QStringConverter::Utf8);  // drops a leading byte-order mark
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  return DecodeWindows1252(bytes);
}

std::optional<QByteArray> ReadBytes(const QString& fileName) {
  if (!rtl::FileExists(fileName)) return std::nullopt;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

// --- Lines ----------------------------------------------------------------------------

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView TrimBlanks(QStringView s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.sliced(begin, end - begin);
}

bool HasLineBreak(const QString& s) {
  return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

// The file's text split into lines at LF (a CR before it belongs to the break); a final
// break adds no empty line.
class IniLines {
 public:
  explicit IniLines(QString text) : text_(std::move(text)) {
    qsizetype start = 0;
    while (start < text_.size()) {
      qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
      const qsizetype next = end < 0 ? text_.size() : end + 1;
      if (end < 0) end = text_.size();
      if (end > start && text_[end - 1] == QLatin1Char('\r')) --end;
      ranges_.push_back({start, end - start});
      start = next;
    }
  }

  qsizetype Count() const { return static_cast<qsizetype>(ranges_.size()); }
  QStringView Line(qsizetype i) const {
    const Range& r = ranges_[static_cast<size_t>(i)];
    return QStringView(text_).sliced(r.start, r.length);
  }

 private:
  struct Range {
    qsizetype start;
    qsizetype length;
  };
  QString text_;
  std::vector<Range> ranges_;
};

bool IsSectionLine(QStringView trimmed) {
  return trimmed.startsWith(QLatin1Char('['));
}

QStringView SectionName(QStringView trimmed) {
  const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
  return TrimBlanks(close < 0 ? trimmed.sliced(1) : trimmed.sliced(1, close - 1));
}

bool SameName(QStringView a, QStringView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section and a key stand; the first occurrence of each is the one that counts.
struct Location {
  qsizetype section = -1;     // header line
  qsizetype sectionEnd = -1;  // first line after the section
  qsizetype key = -1;         // key line within the section
  bool HasSection() const { return section >= 0; }
  bool HasKey() const { return key >= 0; }
};

Location Locate(const IniLines& lines, QStringView section, QStringView key) {
  Location loc;
  for (qsizetype i = 0; i < lines.Count(); ++i) {
    const QStringView line = TrimBlanks(lines.Line(i));
    if (IsSectionLine(line)) {
      if (loc.HasSection()) {
        loc.sectionEnd = i;
        return loc;
      }
      if (SameName(SectionName(line), section)) loc.section = i;
      continue;
    }
    if (!loc.HasSection() || loc.HasKey() || key.isEmpty()) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq >= 0 && SameName(TrimBlanks(line.first(eq)), key)) loc.key = i;
  }
  if (loc.HasSection()) loc.sectionEnd = lines.Count();
  return loc;
}

QString ValueOf(QStringView keyLine) {
  QStringView value = TrimBlanks(keyLine.sliced(keyLine.indexOf(QLatin1Char('=')) + 1));
  if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
      value.back() == value.front())
    value = value.sliced(1, value.size() - 2);
  if (value.size() > TIniFile::MaxValueLength) {
    qsizetype cut = TIniFile::MaxValueLength;
    if (value[cut - 1].isHighSurrogate()) --cut;  // never leave half a character
    value = value.first(cut);
  }
  return value.toString();
}

std::optional<QString> FindValue(const QString& fileName, const QString& section, const QString& key) {
  const QStringView sectionName = TrimBlanks(section);
  const QStringView keyName = TrimBlanks(key);
  if (sectionName.isEmpty() || keyName.isEmpty()) return std::nullopt;
  const std::optional<QByteArray> bytes = ReadBytes(fileName);
  if (!bytes) return std::nullopt;
  const IniLines lines(DecodeFile(*bytes));
  const Location loc = Locate(lines, sectionName, keyName);
  if (!loc.HasKey()) return std::nullopt;
  return ValueOf(lines.Line(loc.key));
}

// --- Writing --------------------------------------------------------------------------

[[noreturn]] void RaiseUnableToWrite(const QString& fileName) {
  throw Exception(QStringLiteral("Unable to write to %1").arg(fileName));
}

QString CheckedSection(const QString& section) {
  const QString name = TrimBlanks(section).toString();
  if (name.isEmpty() || name.contains(QLatin1Char(']')) || HasLineBreak(name))
    throw Exception(QStringLiteral("Nome de seção inválido para arquivo ini: '%1'").arg(section));
  return name;
}

QString CheckedKey(const QString& key) {
  const QString name = TrimBlanks(key).toString();
  if (name.isEmpty() || name.contains(QLatin1Char('=')) || name.startsWith(QLatin1Char('[')) ||
      HasLineBreak(name))
    throw Exception(QStringLiteral("Nome de chave inválido para arquivo ini: '%1'").arg(key));
  return name;
}

// Blanks around a value and a pair of enclosing quotes would be taken off when read;
// one more pair of double quotes keeps them.
QString StoredForm(const QString& value) {
  if (value.isEmpty()) return value;
  const QChar first = value.front();
  const QChar last = value.back();
  const bool enclosed =
      value.size() >= 2 && (first == QLatin1Char('"') || first == QLatin1Char('\'')) && last == first;
  if (IsBlank(first) || IsBlank(last) || enclosed) return QLatin1Char('"') + value + QLatin1Char('"');
  return value;
}

// The file's current lines; a file that exists but cannot be read must not be replaced.
IniLines LinesForUpdate(const QString& fileName) {
  if (rtl::DirectoryExists(fileName)) RaiseUnableToWrite(fileName);
  if (!QFile::exists(fileName)) return IniLines(QString());
  const std::optional<QByteArray> bytes = ReadBytes(fileName);
  if (!bytes) RaiseUnableToWrite(fileName);
  return IniLines(DecodeFile(*bytes));
}

// Lines [0, at) + inserted + lines [at + removed, end), each ending in CR LF.
QByteArray Rebuild(const IniLines& lines, qsizetype at, qsizetype removed, const QStringList& inserted) {
  QString text;
  auto add = [&text](QStringView line) {
    text += line;
    text += QLatin1String("\r\n");
  };
  for (qsizetype i = 0; i < at; ++i) add(lines.Line(i));
  for (const QString& line : inserted) add(line);
  for (qsizetype i = at + removed; i < lines.Count(); ++i) add(lines.Line(i));
  return text.toUtf8();
}

void Store(const QString& fileName, const QByteArray& content) {
  try {
    rtl::ReplaceFileContent(fileName, content);
  } catch (const EInOutError&) {
    RaiseUnableToWrite(fileName);
  }
}

// After the section's last non-blank line, so blank lines stay before the next section.
qsizetype InsertionPoint(const IniLines& lines, const Location& loc) {
  qsizetype at = loc.sectionEnd;
  while (at - 1 > loc.section && TrimBlanks(lines.Line(at - 1)).isEmpty()) --at;
  return at;
}

}  // namespace

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
  return FindValue(fileName_, section, key).value_or(defaultValue);
}

int32_t TIniFile::ReadInteger(const QString& section, const QString& key, int32_t defaultValue) const {
  int32_t value = 0;
  return rtl::TryStrToInt(ReadString(section, key, QString()), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

int TIniFile::ReadBinaryStream(const QString& section, const QString& key, QIODevice& value) const {
  const QString text = ReadString(section, key, QString());
  if (text.isEmpty()) return 0;
  const QByteArray hex = text.toLatin1();
  // Characters outside Latin-1 become "?", which fails the digit test too.
  const bool wellFormed = hex.size() % 2 == 0 && std::all_of(hex.begin(), hex.end(), [](char c) {
                            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                          });
  if (!wellFormed)
    throw EConvertError(
        QStringLiteral("O valor da chave '%1' de %2 não é um texto hexadecimal válido").arg(key, fileName_));
  const QByteArray bytes = QByteArray::fromHex(hex);
  if (value.write(bytes) != bytes.size())
    throw Exception(QStringLiteral("Unable to write to stream: %1").arg(value.errorString()));
  return static_cast<int>(bytes.size());
}

bool TIniFile::SectionExists(const QString& section) const {
  const QStringView name = TrimBlanks(section);
  const std::optional<QByteArray> bytes = ReadBytes(fileName_);
  if (name.isEmpty() || !bytes) return false;
  return Locate(IniLines(DecodeFile(*bytes)), name, QStringView()).HasSection();
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
  return FindValue(fileName_, section, key).has_value();
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString sectionName = CheckedSection(section);
  const QString keyName = CheckedKey(key);
  if (HasLineBreak(value))
    throw Exception(
        QStringLiteral("O valor da chave '%1' contém quebra de linha e não pode ser gravado em %2")
            .arg(keyName, fileName_));
  const IniLines lines = LinesForUpdate(fileName_);
  const Location loc = Locate(lines, sectionName, keyName);
  const QString stored = StoredForm(value);
  if (loc.HasKey()) {
    const QStringView line = TrimBlanks(lines.Line(loc.key));
    const QString existingKey = TrimBlanks(line.first(line.indexOf(QLatin1Char('=')))).toString();
    Store(fileName_, Rebuild(lines, loc.key, 1, {existingKey + QLatin1Char('=') + stored}));
  } else if (loc.HasSection()) {
    Store(fileName_, Rebuild(lines, InsertionPoint(lines, loc), 0, {keyName + QLatin1Char('=') + stored}));
  } else {
    Store(fileName_,
          Rebuild(lines, lines.Count(), 0,
                  {QLatin1Char('[') + sectionName + QLatin1Char(']'), keyName + QLatin1Char('=') + stored}));
  }
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int32_t value) {
  WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteBinaryStream(const QString& section, const QString& key, QIODevice& value) {
  WriteString(section, key, QString::fromLatin1(value.readAll().toHex().toUpper()));
}

void TIniFile::CreateSection(const QString& section) {
  const QString sectionName = CheckedSection(section);
  const IniLines lines = LinesForUpdate(fileName_);
  if (Locate(lines, sectionName, QStringView()).HasSection()) return;
  Store(fileName_, Rebuild(lines, lines.Count(), 0, {QLatin1Char('[') + sectionName + QLatin1Char(']')}));
}
