#include "platform/ui/Localizer.h"

#include <QFile>
#include <QStringDecoder>
#include <cerrno>

#include "platform/rtl/Exceptions.h"

namespace {

const TLocalizer*& Current() {
  static const TLocalizer* current = nullptr;
  return current;
}

void AnnounceChange() {
  emit Localizer::Notifier::Instance()->Changed();
}

// Files written on Windows may be in its code page rather than UTF-8.
QString DecodeText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

// A value may be quoted to keep outer blanks; \n, \t and \\ are escapes.
QString DecodeValue(QString value) {
  if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
    value = value.mid(1, value.size() - 2);
  QString out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value.at(i);
    if (c != QLatin1Char('\\') || i + 1 == value.size()) {
      out += c;
      continue;
    }
    const QChar next = value.at(++i);
    if (next == QLatin1Char('n'))
      out += QLatin1Char('\n');
    else if (next == QLatin1Char('t'))
      out += QLatin1Char('\t');
    else
      out += next;
  }
  return out;
}

}  // namespace

TLocalizer::TLocalizer(TComponent* owner) : TComponent(owner) {}

TLocalizer::~TLocalizer() {
  if (Current() == this) {
    Current() = nullptr;
    AnnounceChange();
  }
}

void TLocalizer::SetFileName(const QString& fileName) {
  fileName_ = fileName;
}

void TLocalizer::LoadFromFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EInOutError(QStringLiteral("Não foi possível ler o arquivo de tradução \"%1\"").arg(fileName),
                      file.error() == QFileDevice::OpenError ? ENOENT : EIO);
  const QString text = DecodeText(file.readAll());

  std::vector<Language> languages;
  for (QString line : text.split(QLatin1Char('\n'))) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      languages.push_back({line.mid(1, line.size() - 2).trimmed(), {}});
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0 || languages.empty()) continue;
    languages.back().texts.insert(line.left(equals).trimmed().toLower(),
                                  DecodeValue(line.mid(equals + 1).trimmed()));
  }
  languages_ = std::move(languages);
  fileName_ = fileName;
  loadedFrom_ = fileName;
  if (Current() == this) AnnounceChange();
}

QStringList TLocalizer::Languages() const {
  QStringList names;
  for (const Language& language : languages_) names << language.name;
  return names;
}

void TLocalizer::SetLanguageIndex(int index) {
  languageIndex_ = index;
  if (Current() == this) AnnounceChange();
}

void TLocalizer::SetActive(bool active) {
  if (active && loadedFrom_ != fileName_ && !fileName_.isEmpty()) LoadFromFile(fileName_);
  active_ = active;
  if (active) {
    Current() = this;
  } else if (Current() == this) {
    Current() = nullptr;
  }
  AnnounceChange();
}

QString TLocalizer::Translate(const QString& key, const QString& fallback) const {
  if (languageIndex_ < 1 || languageIndex_ > static_cast<int>(languages_.size())) return fallback;
  const auto& texts = languages_.at(static_cast<size_t>(languageIndex_ - 1)).texts;
  const auto found = texts.constFind(key.toLower());
  return found == texts.constEnd() ? fallback : found.value();
}

namespace Localizer {

QString Text(const QString& key, const QString& fallback) {
  const TLocalizer* current = Current();
  return current == nullptr ? fallback : current->Translate(key, fallback);
}

Notifier* Notifier::Instance() {
  static Notifier notifier;
  return &notifier;
}

}  // namespace Localizer
