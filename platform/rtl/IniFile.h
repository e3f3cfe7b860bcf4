#pragma once

#include <QIODevice>
#include <QString>
#include <cstdint>

// An ini file in the private-profile format: "[section]" lines, each followed by
// "key=value" lines. Sections and keys match without regard to case and the first
// occurrence of either wins. Every call reads (or rewrites) the file anew: nothing is
// cached, so another writer's change is seen by the next call.
//
// Reading never fails: a missing or unreadable file, section or key gives the default.
// Files are read as UTF-8 when their bytes are valid UTF-8, else as Windows-1252, so
// files brought from Windows keep their accents. Writes produce UTF-8 with CR LF and
// replace the file atomically (temporary file beside it, then rename); a refused write
// raises Exception "Unable to write to %s" and leaves the file as it was.
class TIniFile {
 public:
  // Values longer than this are cut when read back.
  static constexpr int MaxValueLength = 2047;

  explicit TIniFile(const QString& fileName) : fileName_(fileName) {}

  const QString& FileName() const noexcept { return fileName_; }

  // The value without surrounding blanks and without one pair of enclosing single or
  // double quotes; an existing empty value reads empty, not as the default.
  QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
  // Decimal, or hexadecimal after "0x" or "$", optional sign; anything else gives the default.
  int32_t ReadInteger(const QString& section, const QString& key, int32_t defaultValue) const;
  // A non-zero integer is true, zero false; anything else gives the default.
  bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
  // Decodes the stored hexadecimal text into value at its current position (the position
  // moves past the bytes). Returns the number of bytes written, 0 for a missing or empty
  // value. Raises EConvertError when the text is not hexadecimal.
  int ReadBinaryStream(const QString& section, const QString& key, QIODevice& value) const;

  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& key) const;

  // Creates the file, the section and the key as needed, or replaces the key's value.
  // A value that the reader would alter (surrounding blanks, enclosing quotes) is stored
  // in double quotes, so that it reads back as written. Section names may not hold "]",
  // keys may not hold "=" nor start with "[", and nothing may hold a line break.
  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int32_t value);
  void WriteBool(const QString& section, const QString& key, bool value);
  // Stores the bytes from the stream's current position to its end, two upper-case
  // hexadecimal digits per byte.
  void WriteBinaryStream(const QString& section, const QString& key, QIODevice& value);
  // Adds an empty section when none of that name exists.
  void CreateSection(const QString& section);

 private:
  QString fileName_;
};
