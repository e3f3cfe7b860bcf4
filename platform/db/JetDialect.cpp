#include "platform/db/JetDialect.h"

#include "platform/rtl/Exceptions.h"

namespace db::jet {

namespace {

bool IsWordStart(QChar c) {
  return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
bool IsWordPart(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

[[noreturn]] void RaiseUnterminated(const QString& what, qsizetype at) {
  throw EDatabaseError(QStringLiteral("Erro de sintaxe no comando SQL: %1 sem fechamento (posição %2).")
                           .arg(what)
                           .arg(at + 1));
}

// Index just past the quote that closes the run opened at start; a doubled quote is
// one quote of the text. -1 when it never closes.
qsizetype ClosingQuote(const QString& sql, qsizetype start, QChar quote) {
  for (qsizetype i = start + 1; i < sql.size(); ++i) {
    if (sql[i] != quote) continue;
    if (i + 1 < sql.size() && sql[i + 1] == quote) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return -1;
}

// The last character written that is not a blank.
QChar LastNonBlank(const QString& out) {
  for (qsizetype i = out.size() - 1; i >= 0; --i)
    if (!out[i].isSpace()) return out[i];
  return QChar();
}

}  // namespace

namespace {

QString TranslateLiterals(const QString& jetSql) {
  QString out;
  out.reserve(jetSql.size() + 16);
  const qsizetype n = jetSql.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = jetSql[i];
    if (c == QLatin1Char('"')) {
      const qsizetype end = ClosingQuote(jetSql, i, c);
      if (end < 0) RaiseUnterminated(QStringLiteral("texto entre aspas"), i);
      QString text = jetSql.mid(i + 1, end - i - 2);
      text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
      text.replace(QLatin1Char('\''), QStringLiteral("''"));
      out += QLatin1Char('\'') + text + QLatin1Char('\'');
      i = end;
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('`')) {
      const qsizetype end = ClosingQuote(jetSql, i, c);
      if (end < 0)
        RaiseUnterminated(c == QLatin1Char('\'') ? QStringLiteral("texto entre apóstrofos")
                                                 : QStringLiteral("nome entre crases"),
                          i);
      out += QStringView(jetSql).mid(i, end - i);
      i = end;
    } else if (c == QLatin1Char('[')) {
      const qsizetype end = jetSql.indexOf(QLatin1Char(']'), i + 1);
      if (end < 0) RaiseUnterminated(QStringLiteral("nome entre colchetes"), i);
      out += QStringView(jetSql).mid(i, end + 1 - i);
      i = end + 1;
    } else if (c.isDigit()) {
      // A number with its exponent or hex digits, so that "1E5" stays one token.
      qsizetype end = i;
      while (end < n && (IsWordPart(jetSql[end]) || jetSql[end] == QLatin1Char('.'))) ++end;
      out += QStringView(jetSql).mid(i, end - i);
      i = end;
    } else if (IsWordStart(c)) {
      qsizetype end = i;
      while (end < n && IsWordPart(jetSql[end])) ++end;
      const QStringView word = QStringView(jetSql).mid(i, end - i);
      const bool qualified = LastNonBlank(out) == QLatin1Char('.');
      if (!qualified && word.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        out += QStringLiteral("-1");
      else if (!qualified && word.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        out += QLatin1Char('0');
      else
        out += word;
      i = end;
    } else if ((c == QLatin1Char('-') || c == QLatin1Char('/')) && i + 1 < n &&
               jetSql[i + 1] == (c == QLatin1Char('-') ? QLatin1Char('-') : QLatin1Char('*'))) {
      // Jet has no comments: "5--3" is arithmetic, and nothing may hide the rest.
      out += c;
      out += QLatin1Char(' ');
      ++i;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

}  // namespace

namespace {

struct Token {
  enum Kind { Word, QuotedName, String, Number, Symbol } kind;
  QString text;  // unquoted for names
  int depth;     // parentheses around it
  qsizetype begin = 0;
  qsizetype end = 0;  // the token's span in the statement
};

std::vector<Token> Tokenize(const QString& sql) {
  std::vector<Token> tokens;
  int depth = 0;
  const qsizetype n = sql.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = sql[i];
    const qsizetype start = i;
    const size_t before = tokens.size();
    if (c.isSpace()) {
      ++i;
    } else if (c == QLatin1Char('\'')) {
      qsizetype end = ClosingQuote(sql, i, c);
      if (end < 0) end = n;
      tokens.push_back({Token::String, sql.mid(i, end - i), depth});
      i = end;
    } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
      qsizetype end = ClosingQuote(sql, i, c);
      if (end < 0) end = n;
      QString name = sql.mid(i + 1, end - i - 2);
      name.replace(QString(2, c), QString(c));
      tokens.push_back({Token::QuotedName, name, depth});
      i = end;
    } else if (c == QLatin1Char('[')) {
      qsizetype end = sql.indexOf(QLatin1Char(']'), i + 1);
      if (end < 0) end = n - 1;
      tokens.push_back({Token::QuotedName, sql.mid(i + 1, end - i - 1), depth});
      i = end + 1;
    } else if (c.isDigit()) {
      qsizetype end = i;
      while (end < n && (IsWordPart(sql[end]) || sql[end] == QLatin1Char('.'))) ++end;
      tokens.push_back({Token::Number, sql.mid(i, end - i), depth});
      i = end;
    } else if (IsWordStart(c)) {
      qsizetype end = i;
      while (end < n && IsWordPart(sql[end])) ++end;
      tokens.push_back({Token::Word, sql.mid(i, end - i), depth});
      i = end;
    } else {
      if (c == QLatin1Char(')')) --depth;
      tokens.push_back({Token::Symbol, QString(c), depth});
      if (c == QLatin1Char('(')) ++depth;
      ++i;
    }
    if (tokens.size() > before) {
      tokens.back().begin = start;
      tokens.back().end = i;
    }
  }
  return tokens;
}

bool IsKeyword(const Token& t, const char* word) {
  return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}
bool IsSymbol(const Token& t, char symbol) {
  return t.kind == Token::Symbol && t.text == QLatin1Char(symbol);
}
bool IsName(const Token& t) {
  return t.kind == Token::Word || t.kind == Token::QuotedName;
}

bool IsClauseEnd(const Token& t) {
  static const char* const kEnds[] = {"WHERE", "GROUP",  "ORDER",     "HAVING", "LIMIT",
                                      "UNION", "EXCEPT", "INTERSECT", "WINDOW"};
  if (t.depth != 0) return false;
  if (IsSymbol(t, ';')) return true;
  for (const char* word : kEnds)
    if (IsKeyword(t, word)) return true;
  return false;
}

// Index of the first top-level token that is keyword, from start; -1 when none.
int FindTopLevel(const std::vector<Token>& tokens, size_t start, const char* keyword) {
  for (size_t i = start; i < tokens.size(); ++i)
    if (tokens[i].depth == 0 && IsKeyword(tokens[i], keyword)) return static_cast<int>(i);
  return -1;
}

bool StartsSelect(const std::vector<Token>& tokens) {
  return !tokens.empty() && IsKeyword(tokens[0], "SELECT");
}

// The select list's first token after SELECT and DISTINCT/ALL.
size_t SelectListStart(const std::vector<Token>& tokens, bool* distinct) {
  size_t i = 1;
  if (i < tokens.size() && (IsKeyword(tokens[i], "DISTINCT") || IsKeyword(tokens[i], "ALL"))) {
    if (distinct) *distinct = IsKeyword(tokens[i], "DISTINCT");
    ++i;
  }
  return i;
}

SelectItem ParseItem(std::vector<Token> item) {
  SelectItem result;
  const size_t n = item.size();
  if (n >= 3 && IsKeyword(item[n - 2], "AS") && IsName(item[n - 1])) {
    result.alias = item[n - 1].text;
    item.resize(n - 2);
  } else if (n >= 2 && IsName(item[n - 1]) && !IsSymbol(item[n - 2], '.') &&
             (IsName(item[n - 2]) || IsSymbol(item[n - 2], ')') || item[n - 2].kind == Token::Number ||
              item[n - 2].kind == Token::String)) {
    result.alias = item[n - 1].text;
    item.resize(n - 1);
  }
  const size_t m = item.size();
  if (m == 1 && IsSymbol(item[0], '*')) {
    result.star = true;
  } else if (m == 1 && IsName(item[0])) {
    result.column = item[0].text;
  } else if (m >= 3 && IsSymbol(item[m - 2], '.') && IsName(item[m - 3])) {
    const bool plainPath = m == 3 || (m == 5 && IsSymbol(item[1], '.') && IsName(item[0]));
    if (plainPath && IsSymbol(item[m - 1], '*')) {
      result.star = true;
      result.qualifier = item[m - 3].text;
    } else if (plainPath && IsName(item[m - 1])) {
      result.qualifier = item[m - 3].text;
      result.column = item[m - 1].text;
    }
  }
  return result;
}

bool HasAggregateCall(const std::vector<Token>& tokens, size_t from, size_t to) {
  static const char* const kAggregates[] = {"COUNT", "SUM", "AVG", "MIN", "MAX", "TOTAL", "GROUP_CONCAT"};
  for (size_t i = from; i + 1 < to; ++i) {
    if (!IsSymbol(tokens[i + 1], '(')) continue;
    for (const char* name : kAggregates)
      if (IsKeyword(tokens[i], name)) return true;
  }
  return false;
}

}  // namespace

std::vector<SelectItem> ParseSelectList(const QString& sqliteSql) {
  const std::vector<Token> tokens = Tokenize(sqliteSql);
  std::vector<SelectItem> items;
  if (!StartsSelect(tokens)) return items;
  size_t i = SelectListStart(tokens, nullptr);
  std::vector<Token> current;
  for (; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.depth == 0 && (IsKeyword(t, "FROM") || IsClauseEnd(t))) break;
    if (t.depth == 0 && IsSymbol(t, ',')) {
      items.push_back(ParseItem(std::move(current)));
      current.clear();
      continue;
    }
    current.push_back(t);
  }
  if (!current.empty()) items.push_back(ParseItem(std::move(current)));
  return items;
}

SourceInfo ParseSource(const QString& sqliteSql) {
  const std::vector<Token> tokens = Tokenize(sqliteSql);
  SourceInfo info;
  if (!StartsSelect(tokens)) return info;
  info.isSelect = true;
  bool distinct = false;
  const size_t listStart = SelectListStart(tokens, &distinct);
  const int from = FindTopLevel(tokens, listStart, "FROM");
  const size_t listEnd = from < 0 ? tokens.size() : static_cast<size_t>(from);
  info.grouped = distinct || HasAggregateCall(tokens, listStart, listEnd) ||
                 FindTopLevel(tokens, 0, "GROUP") >= 0 || FindTopLevel(tokens, 0, "UNION") >= 0 ||
                 FindTopLevel(tokens, 0, "EXCEPT") >= 0 || FindTopLevel(tokens, 0, "INTERSECT") >= 0;
  if (from < 0) return info;
  std::vector<Token> source;
  for (size_t i = static_cast<size_t>(from) + 1; i < tokens.size() && !IsClauseEnd(tokens[i]); ++i)
    source.push_back(tokens[i]);
  const size_t n = source.size();
  const bool oneName = n >= 1 && IsName(source[0]);
  if (oneName && (n == 1 || (n == 2 && IsName(source[1]) && !IsKeyword(source[1], "JOIN")) ||
                  (n == 3 && IsKeyword(source[1], "AS") && IsName(source[2])))) {
    info.singleTable = true;
    info.table = source[0].text;
  }
  return info;
}

namespace {

bool IsJoinWord(const Token& t) {
  static const char* const kWords[] = {"JOIN", "LEFT", "RIGHT", "INNER", "CROSS", "NATURAL", "FULL", "OUTER"};
  for (const char* word : kWords)
    if (IsKeyword(t, word)) return true;
  return false;
}

// Turns "a RIGHT JOIN b ON c" into "b LEFT JOIN a ON c" in a FROM clause. SQLite runs
// the two alike but plans a RIGHT JOIN with the joined table scanned once per row of the
// other, which over a million orders never ends; the LEFT JOIN looks each row up by key.
class JoinRewriter {
 public:
  struct Piece {
    QString text;
    bool chain = false;  // a join of several tables, to be bracketed as a right operand
  };

  JoinRewriter(const QString& sql, const std::vector<Token>& tokens) : sql_(sql), tokens_(tokens) {}

  // Parses tokens [i, end) as operands joined one after the other; false for anything
  // this rewriter does not know, which leaves the statement as it was.
  bool Chain(size_t& i, size_t end, Piece& out) const {
    Piece left;
    if (!Operand(i, end, left)) return false;
    while (i < end) {
      const size_t words = i;
      bool right = false;
      while (i < end && IsJoinWord(tokens_[i]) && !IsKeyword(tokens_[i], "JOIN")) {
        right = right || IsKeyword(tokens_[i], "RIGHT");
        ++i;
      }
      if (i >= end || !IsKeyword(tokens_[i], "JOIN")) return false;
      ++i;
      const QString joinWords = Text(words, i);
      Piece operand;
      if (!Operand(i, end, operand)) return false;
      QString condition;
      if (i < end && IsKeyword(tokens_[i], "ON")) {
        const int depth = tokens_[i].depth;
        size_t c = i + 1;
        while (c < end && !(tokens_[c].depth == depth && IsJoinWord(tokens_[c]))) ++c;
        if (c == i + 1) return false;
        condition = Text(i + 1, c);
        i = c;
      } else if (right || (i < end && IsKeyword(tokens_[i], "USING"))) {
        return false;
      }
      if (right)
        left = {
            operand.text + QStringLiteral(" LEFT JOIN ") + Wrap(left) + QStringLiteral(" ON ") + condition,
            true};
      else
        left = {left.text + QLatin1Char(' ') + joinWords + QLatin1Char(' ') + Wrap(operand) +
                    (condition.isEmpty() ? QString() : QStringLiteral(" ON ") + condition),
                true};
    }
    out = left;
    return true;
  }

 private:
  static QString Wrap(const Piece& p) {
    return p.chain ? QLatin1Char('(') + p.text + QLatin1Char(')') : p.text;
  }

  QString Text(size_t from, size_t to) const {
    return sql_.mid(tokens_[from].begin, tokens_[to - 1].end - tokens_[from].begin);
  }

  size_t Matching(size_t open, size_t end) const {
    const int depth = tokens_[open].depth;
    for (size_t i = open + 1; i < end; ++i)
      if (IsSymbol(tokens_[i], ')') && tokens_[i].depth == depth) return i;
    return end;
  }

  size_t SkipAlias(size_t j, size_t end) const {
    if (j + 1 < end && IsKeyword(tokens_[j], "AS") && IsName(tokens_[j + 1])) return j + 2;
    if (j < end && IsName(tokens_[j]) && !IsJoinWord(tokens_[j]) && !IsKeyword(tokens_[j], "ON") &&
        !IsKeyword(tokens_[j], "USING"))
      return j + 1;
    return j;
  }

  bool Operand(size_t& i, size_t end, Piece& out) const {
    if (i >= end) return false;
    if (IsSymbol(tokens_[i], '(')) {
      const size_t close = Matching(i, end);
      if (close >= end) return false;
      if (i + 1 < close && IsKeyword(tokens_[i + 1], "SELECT")) {  // a subquery, kept whole
        const size_t j = SkipAlias(close + 1, end);
        out = {Text(i, j), false};
        i = j;
        return true;
      }
      size_t j = i + 1;
      Piece inner;
      if (!Chain(j, close, inner) || j != close) return false;
      i = close + 1;
      out = inner;
      return true;
    }
    if (!IsName(tokens_[i])) return false;
    size_t j = i + 1;
    if (j + 1 < end && IsSymbol(tokens_[j], '.') && IsName(tokens_[j + 1])) j += 2;
    j = SkipAlias(j, end);
    out = {Text(i, j), false};
    i = j;
    return true;
  }

  const QString& sql_;
  const std::vector<Token>& tokens_;
};

QString RewriteRightJoins(const QString& sql) {
  const std::vector<Token> tokens = Tokenize(sql);
  if (!StartsSelect(tokens)) return sql;
  const size_t listStart = SelectListStart(tokens, nullptr);
  const int from = FindTopLevel(tokens, listStart, "FROM");
  if (from < 0) return sql;
  size_t fromEnd = static_cast<size_t>(from) + 1;
  bool right = false;
  for (; fromEnd < tokens.size() && !IsClauseEnd(tokens[fromEnd]); ++fromEnd)
    right = right || IsKeyword(tokens[fromEnd], "RIGHT");
  if (!right || fromEnd == static_cast<size_t>(from) + 1) return sql;
  // A bare * lists the columns in the order of the FROM clause, which the swap changes.
  for (size_t i = listStart; i < static_cast<size_t>(from); ++i) {
    if (tokens[i].depth != 0 || !IsSymbol(tokens[i], '*')) continue;
    if (i == listStart || IsSymbol(tokens[i - 1], ',')) return sql;
  }
  size_t i = static_cast<size_t>(from) + 1;
  JoinRewriter::Piece rewritten;
  if (!JoinRewriter(sql, tokens).Chain(i, fromEnd, rewritten) || i != fromEnd) return sql;
  const qsizetype begin = tokens[static_cast<size_t>(from) + 1].begin;
  const qsizetype end = tokens[fromEnd - 1].end;
  return sql.left(begin) + rewritten.text + sql.mid(end);
}

}  // namespace

QString ToSqlite(const QString& jetSql) {
  return RewriteRightJoins(TranslateLiterals(jetSql));
}

}  // namespace db::jet
