#pragma once

// Internal to platform/db: statements, error texts and the storage of values.

#include <sqlite3.h>

#include <QString>
#include <string_view>

#include "platform/db/DataTypes.h"
#include "platform/db/RowStore.h"
#include "platform/rtl/DateTime.h"

namespace db::sqlite {

// Portuguese text for an SQLite failure, with SQLite's own words for diagnosis.
QString ErrorMessage(sqlite3* db, int code);
[[noreturn]] void Raise(sqlite3* db, int code);

// A prepared statement that finalizes itself.
class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, const QString& sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;

  sqlite3_stmt* Get() const { return stmt_; }
  explicit operator bool() const { return stmt_ != nullptr; }
  // True while there is a row; raises on failure.
  bool Step();
  // Runs to the end; resets for the next run.
  void Run();
  void Reset();

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
};

// Kind and text size of a declared column type ("TEXT(255)", "CURRENCY", ...).
// ftUnknown for an empty declaration (an expression).
TFieldType TypeFromDeclaration(const char* declaration, int* size);

// Date-times are stored as 'yyyy-mm-dd hh:nn:ss' with '.zzz' when there are
// milliseconds. Reading also takes 'T' for the blank, a date alone, and numbers (the
// classic day count).
QString DateTimeToStorage(TDateTime value);
bool ParseStorageDateTime(std::string_view text, TDateTime& value);

// A column value in the form the field kind keeps it (see db::Storage).
Value ReadColumn(sqlite3_stmt* stmt, int column, TFieldType type);
void Bind(sqlite3_stmt* stmt, int index, const Value& value, TFieldType type);

}  // namespace db::sqlite
