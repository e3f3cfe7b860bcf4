#include "platform/db/SqliteSupport.h"

#include <QByteArray>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Exceptions.h"

namespace db::sqlite {

namespace {

QString SqliteText(sqlite3* db, int code) {
  if (db != nullptr && sqlite3_errcode(db) == code) return QString::fromUtf8(sqlite3_errmsg(db));
  return QString::fromUtf8(sqlite3_errstr(code));
}

// The English diagnosis SQLite gives for a statement, turned into Portuguese where the
// system's users would meet it.
QString TranslateStatementError(const QString& text) {
  static const struct {
    const char* prefix;
    const char* portuguese;
  } kKnown[] = {
      {"no such table: ", "Tabela inexistente: "},
      {"no such column: ", "Coluna inexistente: "},
      {"ambiguous column name: ", "Nome de coluna ambíguo: "},
  };
  for (const auto& known : kKnown) {
    if (text.startsWith(QLatin1String(known.prefix)))
      return QString::fromUtf8(known.portuguese) +
             text.mid(static_cast<qsizetype>(std::strlen(known.prefix)));
  }
  if (text.contains(QLatin1String("syntax error")))
    return QStringLiteral("Erro de sintaxe no comando SQL (%1)").arg(text);
  return QStringLiteral("Erro no comando SQL: %1").arg(text);
}

}  // namespace

QString ErrorMessage(sqlite3* db, int code) {
  const QString detail = SqliteText(db, code);
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return QStringLiteral(
          "O banco de dados está bloqueado por outro usuário ou programa. Nada foi gravado; tente novamente "
          "em instantes.");
    case SQLITE_FULL:
      return QStringLiteral("Disco cheio: não foi possível gravar no banco de dados. Nada foi gravado.");
    case SQLITE_READONLY:
      return QStringLiteral("O banco de dados está somente para leitura; não é possível gravar (%1).")
          .arg(detail);
    case SQLITE_CONSTRAINT:
      return QStringLiteral("O banco de dados recusou a gravação por uma restrição: %1").arg(detail);
    case SQLITE_NOTADB:
      return QStringLiteral("O arquivo não é um banco de dados válido.");
    case SQLITE_CORRUPT:
      return QStringLiteral("O arquivo do banco de dados está danificado (%1).").arg(detail);
    case SQLITE_IOERR:
      return QStringLiteral("Erro de leitura ou gravação no arquivo do banco de dados (%1).").arg(detail);
    case SQLITE_CANTOPEN:
      return QStringLiteral("Não foi possível abrir o arquivo do banco de dados (%1).").arg(detail);
    case SQLITE_TOOBIG:
      return QStringLiteral("Valor grande demais para o banco de dados.");
    case SQLITE_NOMEM:
      return QStringLiteral("Memória insuficiente para a operação no banco de dados.");
    case SQLITE_RANGE:
    case SQLITE_MISMATCH:
    case SQLITE_ERROR:
      return TranslateStatementError(detail);
    default:
      return QStringLiteral("Erro do banco de dados: %1").arg(detail);
  }
}

void Raise(sqlite3* db, int code) {
  throw EDatabaseError(ErrorMessage(db, code));
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) {
  const QByteArray utf8 = sql.toUtf8();
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt_, &tail);
  if (rc != SQLITE_OK) {
    const QString message = ErrorMessage(db, rc);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw EDatabaseError(message);
  }
  // One statement only: what follows may be blanks and semicolons, nothing else.
  for (const char* p = tail; p != nullptr && *p != '\0'; ++p) {
    if (*p == ';' || static_cast<unsigned char>(*p) <= ' ') continue;
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw EDatabaseError(QStringLiteral("O comando SQL deve ter uma única instrução."));
  }
  if (stmt_ == nullptr) throw EDatabaseError(QStringLiteral("O comando SQL está vazio."));
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
  other.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = other.stmt_;
    other.stmt_ = nullptr;
  }
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  const QString message = ErrorMessage(db_, rc);
  sqlite3_reset(stmt_);
  throw EDatabaseError(message);
}

void Statement::Run() {
  while (Step()) {
  }
  Reset();
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

TFieldType TypeFromDeclaration(const char* declaration, int* size) {
  *size = 0;
  if (declaration == nullptr || *declaration == '\0') return ftUnknown;
  const QByteArray decl = QByteArray(declaration).toUpper();
  auto has = [&decl](const char* word) { return decl.contains(word); };
  if (has("YESNO") || has("BOOL") || decl == "BIT" || has("LOGICAL")) return ftBoolean;
  if (has("DATE") || has("TIME")) return ftDateTime;
  if (has("CURRENCY") || has("MONEY") || has("DECIMAL") || has("NUMERIC")) return ftBCD;
  if (has("DOUBLE") || has("FLOAT") || has("REAL")) return ftFloat;
  if (has("INT") || has("COUNTER")) return ftInteger;
  if (has("MEMO") || has("CLOB") || has("LONG") || has("BLOB")) return ftWideString;
  if (has("CHAR") || has("TEXT") || has("STRING")) {
    *size = 255;
    const qsizetype open = decl.indexOf('(');
    if (open >= 0) {
      bool ok = false;
      const int declared = decl.mid(open + 1, decl.indexOf(')', open) - open - 1).trimmed().toInt(&ok);
      if (ok && declared > 0) *size = declared;
    }
    return ftWideString;
  }
  return ftFloat;  // other numeric declarations
}

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kDaysFrom1899To1970 = 25569;

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool ValidDate(int y, int m, int d) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return !(m == 2 && d == 29 && !leap);
}

}  // namespace

QString DateTimeToStorage(TDateTime value) {
  int y, mo, d, h, mi, s, ms;
  rtl::DecodeDateTime(value, y, mo, d, h, mi, s, ms);
  char buffer[32];
  if (ms != 0)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, mo, d, h, mi, s, ms);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
  return QString::fromLatin1(buffer);
}

bool ParseStorageDateTime(std::string_view text, TDateTime& value) {
  int y, mo, d, h = 0, mi = 0, s = 0, ms = 0;
  if (!Digits(text, 0, 4, y) || text.size() < 10 || text[4] != '-' || !Digits(text, 5, 2, mo) ||
      text[7] != '-' || !Digits(text, 8, 2, d) || !ValidDate(y, mo, d))
    return false;
  size_t pos = 10;
  if (pos < text.size()) {
    if ((text[pos] != ' ' && text[pos] != 'T') || !Digits(text, pos + 1, 2, h) || text.size() < pos + 6 ||
        text[pos + 3] != ':' || !Digits(text, pos + 4, 2, mi))
      return false;
    pos += 6;
    if (pos < text.size()) {
      if (text[pos] != ':' || !Digits(text, pos + 1, 2, s)) return false;
      pos += 3;
      if (pos < text.size()) {
        if (text[pos] != '.') return false;
        ++pos;
        int scale = 100;
        for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10)
          ms += (text[pos] - '0') * scale;
        if (pos < text.size()) return false;
      }
    }
    if (h > 23 || mi > 59 || s > 59) return false;
  }
  const double day = static_cast<double>(
      DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) + kDaysFrom1899To1970);
  const double fraction = static_cast<double>(((h * 60 + mi) * 60 + s) * 1000 + ms) / 86400000.0;
  value = day >= 0 ? day + fraction : day - fraction;
  return true;
}

Value ReadColumn(sqlite3_stmt* stmt, int column, TFieldType type) {
  const int kind = sqlite3_column_type(stmt, column);
  if (kind == SQLITE_NULL) return Value::Null();
  switch (type) {
    case ftAutoInc:
    case ftInteger:
      if (kind == SQLITE_FLOAT) return Value::Int(std::llround(sqlite3_column_double(stmt, column)));
      return Value::Int(sqlite3_column_int64(stmt, column));
    case ftBoolean:
      if (kind == SQLITE_TEXT) {
        const QByteArray text =
            QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column))).toLower();
        return Value::Int(text == "true" || text == "yes" || text == "sim" || (text.toLongLong() != 0) ? -1
                                                                                                       : 0);
      }
      return Value::Int(sqlite3_column_double(stmt, column) != 0 ? -1 : 0);
    case ftBCD:
      if (kind == SQLITE_INTEGER) {
        const int64_t units = sqlite3_column_int64(stmt, column);
        if (units < INT64_MAX / Currency::Scale && units > INT64_MIN / Currency::Scale)
          return Value::Int(units * Currency::Scale);
      }
      return Value::Int(CurrencyRawFromDouble(sqlite3_column_double(stmt, column)));
    case ftFloat:
      return Value::Float(sqlite3_column_double(stmt, column));
    case ftDateTime: {
      if (kind == SQLITE_INTEGER || kind == SQLITE_FLOAT)
        return Value::Float(sqlite3_column_double(stmt, column));
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      TDateTime parsed;
      // A text that is no date cannot be shown as one; it reads as empty, and stays
      // untouched in the file unless the field itself is written.
      if (!ParseStorageDateTime(
              std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column))), parsed))
        return Value::Null();
      return Value::Float(parsed);
    }
    default: {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      return Value::Text(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
  }
}

void Bind(sqlite3_stmt* stmt, int index, const Value& value, TFieldType type) {
  int rc;
  if (value.isNull) {
    rc = sqlite3_bind_null(stmt, index);
  } else {
    switch (type) {
      case ftBoolean:
        rc = sqlite3_bind_int(stmt, index, value.i != 0 ? -1 : 0);
        break;
      case ftBCD:
        // Whole amounts as integers, others as REAL: both read back exactly and show
        // as plain numbers in any SQLite tool.
        if (value.i % Currency::Scale == 0)
          rc = sqlite3_bind_int64(stmt, index, value.i / Currency::Scale);
        else
          rc = sqlite3_bind_double(stmt, index, Currency::FromRaw(value.i).ToDouble());
        break;
      case ftFloat:
        rc = sqlite3_bind_double(stmt, index, value.f);
        break;
      case ftDateTime: {
        const QByteArray text = DateTimeToStorage(value.f).toLatin1();
        rc =
            sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        break;
      }
      case ftWideString:
      case ftUnknown: {
        const QByteArray text = value.s.toUtf8();
        rc =
            sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        break;
      }
      default:
        rc = sqlite3_bind_int64(stmt, index, value.i);
        break;
    }
  }
  if (rc != SQLITE_OK) Raise(sqlite3_db_handle(stmt), rc);
}

}  // namespace db::sqlite
