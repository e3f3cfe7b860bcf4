#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace fuzz {

// The input as text two ways: UTF-8 (invalid bytes become U+FFFD) or raw UTF-16 code
// units (lone surrogates included), chosen by the first byte.
inline QString Text(const uint8_t* data, size_t size) {
  if (size > 0 && (data[0] & 1) != 0 && size >= 3)
    return QString(reinterpret_cast<const QChar*>(data + 1), static_cast<qsizetype>((size - 1) / 2));
  return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input cut in two at the first byte 0x01 (the second part empty when there is none).
inline std::pair<QString, QString> TwoTexts(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype cut = bytes.indexOf('\x01');
  if (cut < 0) return {QString::fromUtf8(bytes), QString()};
  return {QString::fromUtf8(bytes.left(cut)), QString::fromUtf8(bytes.mid(cut + 1))};
}

// A broken property is a finding: report it and stop, so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what, const QString& detail = {}) {
  std::fprintf(stderr, "property violated: %s\n%s\n", what, detail.toUtf8().constData());
  std::abort();
}

inline void Check(bool condition, const char* what, const QString& detail = {}) {
  if (!condition) Fail(what, detail);
}

}  // namespace fuzz
