#include "platform/remote/SqliteDialect.h"

namespace remote {
namespace {

bool IsWordChar(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('@') ||
         c == QLatin1Char('#');
}

class Translator {
 public:
  Translator(const QString& sql, const QString& catalog) : in_(sql), catalog_(catalog) {
    out_.reserve(sql.size() + 16);
  }

  QString Run() {
    while (pos_ < in_.size()) {
      const QChar c = in_.at(pos_);
      if (c == QLatin1Char('\''))
        CopyQuoted(QLatin1Char('\''), QLatin1Char('\''));
      else if (c == QLatin1Char('['))
        CopyQuoted(QLatin1Char('['), QLatin1Char(']'));
      else if (c == QLatin1Char('"'))
        DoubleQuotedToText();
      else if (Next(0, u"--"))
        CopyUntil(u"\n");
      else if (Next(0, u"/*"))
        CopyUntil(u"*/");
      else if (IsWordChar(c))
        Word();
      else
        out_ += in_.at(pos_++);
    }
    return out_;
  }

 private:
  bool Next(qsizetype offset, QStringView text) const {
    return QStringView(in_).mid(pos_ + offset).startsWith(text, Qt::CaseInsensitive);
  }

  // A quoted run whose closing character, when doubled, stands for itself.
  void CopyQuoted(QChar open, QChar close) {
    out_ += open;
    ++pos_;
    while (pos_ < in_.size()) {
      const QChar c = in_.at(pos_++);
      out_ += c;
      if (c != close) continue;
      if (pos_ < in_.size() && in_.at(pos_) == close && close != QLatin1Char(']')) {
        out_ += in_.at(pos_++);
        continue;
      }
      return;
    }
  }

  void CopyUntil(QStringView terminator) {
    const qsizetype at = in_.indexOf(terminator, pos_ + 2);
    const qsizetype stop = at < 0 ? in_.size() : at + terminator.size();
    out_ += QStringView(in_).mid(pos_, stop - pos_);
    pos_ = stop;
  }

  void DoubleQuotedToText() {
    out_ += QLatin1Char('\'');
    ++pos_;
    while (pos_ < in_.size()) {
      const QChar c = in_.at(pos_++);
      if (c == QLatin1Char('"')) {
        if (pos_ < in_.size() && in_.at(pos_) == QLatin1Char('"')) {
          out_ += QLatin1Char('"');
          ++pos_;
          continue;
        }
        out_ += QLatin1Char('\'');
        return;
      }
      if (c == QLatin1Char('\'')) out_ += QLatin1Char('\'');
      out_ += c;
    }
  }

  // A whole word, so that "xbase.dbo." is left alone.
  void Word() {
    const qsizetype start = pos_;
    while (pos_ < in_.size() && IsWordChar(in_.at(pos_))) ++pos_;
    const QStringView word = QStringView(in_).mid(start, pos_ - start);
    out_ += word;
    static const QString kDbo = QStringLiteral(".dbo.");
    if (word.compare(catalog_, Qt::CaseInsensitive) == 0 && Next(0, kDbo)) {
      out_ += QLatin1Char('.');
      pos_ += kDbo.size();
    }
  }

  const QString& in_;
  const QString& catalog_;
  QString out_;
  qsizetype pos_ = 0;
};

}  // namespace

QString TranslateForSqlite(const QString& sql, const QString& catalog) {
  return Translator(sql, catalog).Run();
}

}  // namespace remote
