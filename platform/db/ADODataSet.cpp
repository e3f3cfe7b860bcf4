#include "platform/db/ADODataSet.h"

#include <map>

#include "platform/db/JetDialect.h"
#include "platform/db/SqliteSupport.h"
#include "platform/rtl/Exceptions.h"

using db::Value;
using db::sqlite::Statement;

namespace {

QString QuoteName(const QString& name) {
  QString quoted = name;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A Post's write and its reading back of the stored row are one transaction: when either
// fails nothing stays in the file, so a refused Post never stored the row and its retry
// cannot store it twice.
class PostTransaction {
 public:
  explicit PostTransaction(sqlite3* db) : db_(db), nested_(sqlite3_get_autocommit(db) == 0) {
    Run(nested_ ? "SAVEPOINT quorvel_post" : "BEGIN IMMEDIATE");
  }
  ~PostTransaction() {
    if (done_) return;
    if (nested_) {
      sqlite3_exec(db_, "ROLLBACK TO quorvel_post; RELEASE quorvel_post", nullptr, nullptr, nullptr);
    } else if (sqlite3_get_autocommit(db_) == 0) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  PostTransaction(const PostTransaction&) = delete;
  PostTransaction& operator=(const PostTransaction&) = delete;

  void Commit() {
    Run(nested_ ? "RELEASE quorvel_post" : "COMMIT");
    done_ = true;
  }

 private:
  void Run(const char* sql) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) db::sqlite::Raise(db_, rc);
  }

  sqlite3* db_;
  bool nested_;
  bool done_ = false;
};

QString Utf8(const char* text) {
  return text != nullptr ? QString::fromUtf8(text) : QString();
}

// The guessed kind of an expression column from one of its values.
TFieldType KindOfValue(int sqliteType) {
  switch (sqliteType) {
    case SQLITE_INTEGER:
      return ftInteger;
    case SQLITE_FLOAT:
      return ftFloat;
    default:
      return ftWideString;
  }
}

// Reads column c of the current row into the snapshot in the column's own form. The
// usual cases go straight in; the odd ones (a text in a number column) take the long way.
inline void LoadCell(sqlite3_stmt* stmt, int c, TFieldType type, int row, db::RowStore& store) {
  const int kind = sqlite3_column_type(stmt, c);
  if (kind == SQLITE_NULL) return;
  switch (type) {
    case ftWideString: {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      store.SetUtf8(row, c, std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, c))));
      return;
    }
    case ftAutoInc:
    case ftInteger:
      if (kind == SQLITE_INTEGER) return store.SetInt(row, c, sqlite3_column_int64(stmt, c));
      break;
    case ftBoolean:
      if (kind == SQLITE_INTEGER) return store.SetInt(row, c, sqlite3_column_int64(stmt, c) != 0 ? -1 : 0);
      break;
    case ftFloat:
      if (kind != SQLITE_TEXT) return store.SetFloat(row, c, sqlite3_column_double(stmt, c));
      break;
    case ftBCD:
      if (kind == SQLITE_FLOAT)
        return store.SetInt(row, c, db::CurrencyRawFromDouble(sqlite3_column_double(stmt, c)));
      break;
    case ftDateTime:
      if (kind == SQLITE_TEXT) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        TDateTime value;
        if (db::sqlite::ParseStorageDateTime(
                std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, c))), value))
          store.SetFloat(row, c, value);
        return;
      }
      break;
    default:
      break;
  }
  store.Set(row, c, db::sqlite::ReadColumn(stmt, c, type));
}

}  // namespace

// The statements Post and Delete use, prepared once per shape.
struct TADODataSet::Writer {
  std::map<QString, Statement> statements;

  Statement& Get(sqlite3* db, const QString& sql) {
    auto it = statements.find(sql);
    if (it == statements.end()) it = statements.emplace(sql, Statement(db, sql)).first;
    return it->second;
  }
};

TADODataSet::TADODataSet(TComponent* owner) : TDataSet(owner) {}

TADODataSet::~TADODataSet() {
  writer_.reset();
  if (connection_ != nullptr) connection_->Detach(this);
  connection_ = nullptr;
}

void TADODataSet::SetConnection(TADOConnection* connection) {
  if (connection == connection_) return;
  if (Active())
    DatabaseError(
        QStringLiteral("Não é possível trocar a conexão do conjunto de dados '%1' aberto.").arg(Name()));
  if (connection_ != nullptr) connection_->Detach(this);
  connection_ = connection;
  if (connection_ != nullptr) connection_->Attach(this);
}

void TADODataSet::ConnectionDestroyed() {
  Close();
  connection_ = nullptr;
}

QString TADODataSet::ReadOnlyReason() const {
  return readOnlyReason_;
}

void TADODataSet::InternalOpen(db::RowStore& store, std::vector<db::ColumnDef>& columns) {
  if (connection_ == nullptr)
    DatabaseError(QStringLiteral("O conjunto de dados '%1' não tem conexão definida.").arg(Name()));
  if (commandText_.trimmed().isEmpty())
    DatabaseError(QStringLiteral("O conjunto de dados '%1' não tem comando SQL definido.").arg(Name()));
  connection_->Open();
  sqlite3* handle = connection_->Handle();
  const QString sql = db::jet::ToSqlite(commandText_);
  Statement stmt(handle, sql);
  sqlite3_stmt* s = stmt.Get();
  const int count = sqlite3_column_count(s);
  if (count == 0)
    DatabaseError(QStringLiteral("O comando do conjunto de dados '%1' não devolve linhas.").arg(Name()));

  const std::vector<db::jet::SelectItem> items = db::jet::ParseSelectList(sql);
  bool oneToOne = static_cast<int>(items.size()) == count;
  for (const auto& item : items) oneToOne = oneToOne && !item.star;
  const db::jet::SourceInfo source = db::jet::ParseSource(sql);

  columns.assign(static_cast<size_t>(count), db::ColumnDef());
  std::vector<QString> originTables(static_cast<size_t>(count));
  std::vector<QString> originColumns(static_cast<size_t>(count));
  for (int c = 0; c < count; ++c) {
    db::ColumnDef& def = columns[static_cast<size_t>(c)];
    const QString origin = Utf8(sqlite3_column_origin_name(s, c));
    const QString table = Utf8(sqlite3_column_table_name(s, c));
    originTables[static_cast<size_t>(c)] = table;
    originColumns[static_cast<size_t>(c)] = origin;
    const QString alias = oneToOne ? items[static_cast<size_t>(c)].alias : QString();
    def.name = !alias.isEmpty() ? alias : (!origin.isEmpty() ? origin : Utf8(sqlite3_column_name(s, c)));
    def.type = db::sqlite::TypeFromDeclaration(sqlite3_column_decltype(s, c), &def.size);
    def.typed = def.type != ftUnknown;
    if (!origin.isEmpty() && !table.isEmpty()) {
      const QByteArray t = table.toUtf8(), o = origin.toUtf8();
      const char* declared = nullptr;
      int notNull = 0, primaryKey = 0, autoIncrement = 0;
      if (sqlite3_table_column_metadata(handle, sqlite3_column_database_name(s, c), t.constData(),
                                        o.constData(), &declared, nullptr, &notNull, &primaryKey,
                                        &autoIncrement) == SQLITE_OK) {
        def.key = primaryKey != 0;
        const bool rowidAlias = declared != nullptr && qstricmp(declared, "INTEGER") == 0;
        if (def.key && (autoIncrement != 0 || rowidAlias)) def.type = ftAutoInc;
      }
    }
  }
  // Jet qualifies a name that occurs twice with the alias written in the select list.
  for (int c = 0; c < count; ++c) {
    QString& name = columns[static_cast<size_t>(c)].name;
    int seen = 0;
    for (const auto& other : columns) seen += other.name.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    if (seen < 2) continue;
    const QString original = name;
    for (int d = c; d < count; ++d) {
      db::ColumnDef& other = columns[static_cast<size_t>(d)];
      if (other.name.compare(original, Qt::CaseInsensitive) != 0) continue;
      QString qualifier = oneToOne ? items[static_cast<size_t>(d)].qualifier : QString();
      if (qualifier.isEmpty()) qualifier = originTables[static_cast<size_t>(d)];
      if (!qualifier.isEmpty()) other.name = qualifier + QLatin1Char('.') + other.name;
    }
  }
  for (int c = 0; c < count; ++c) {  // still equal (no qualifier at hand): number them
    for (int d = c + 1; d < count; ++d)
      if (columns[static_cast<size_t>(d)].name.compare(columns[static_cast<size_t>(c)].name,
                                                       Qt::CaseInsensitive) == 0)
        columns[static_cast<size_t>(d)].name += QLatin1Char('_') + QString::number(d);
  }

  // Which table Post writes to, if any.
  updateTable_.clear();
  readOnlyReason_.clear();
  keyColumn_ = -1;
  tableColumns_.assign(static_cast<size_t>(count), QString());
  if (!source.singleTable || source.grouped) {
    readOnlyReason_ = QStringLiteral(
        "Não é possível alterar um conjunto de dados somente leitura: o comando junta tabelas ou agrupa "
        "linhas.");
  } else {
    for (int c = 0; c < count; ++c) {
      const QString& table = originTables[static_cast<size_t>(c)];
      if (table.isEmpty()) continue;  // an expression: read-only column
      if (updateTable_.isEmpty()) updateTable_ = table;
      if (table.compare(updateTable_, Qt::CaseInsensitive) != 0) continue;
      columns[static_cast<size_t>(c)].updatable = true;
      tableColumns_[static_cast<size_t>(c)] = originColumns[static_cast<size_t>(c)];
      if (columns[static_cast<size_t>(c)].key && keyColumn_ < 0) keyColumn_ = c;
    }
    int keyParts = 0;
    if (!updateTable_.isEmpty()) {
      Statement info(handle, QStringLiteral("PRAGMA table_info(%1)").arg(QuoteName(updateTable_)));
      while (info.Step()) keyParts += sqlite3_column_int(info.Get(), 5) > 0 ? 1 : 0;
    }
    const bool wholeNumberKey =
        keyColumn_ >= 0 && (columns[static_cast<size_t>(keyColumn_)].type == ftAutoInc ||
                            columns[static_cast<size_t>(keyColumn_)].type == ftInteger);
    if (updateTable_.isEmpty() || !wholeNumberKey || keyParts != 1) {
      readOnlyReason_ =
          QStringLiteral(
              "Não é possível alterar um conjunto de dados somente leitura: o comando não traz a chave "
              "primária da tabela%1.")
              .arg(updateTable_.isEmpty() ? QString() : QLatin1Char(' ') + updateTable_);
      for (auto& def : columns) def.updatable = false;
      updateTable_.clear();
      keyColumn_ = -1;
    }
  }

  std::vector<db::Storage> storages;
  for (const auto& def : columns) storages.push_back(db::StorageOf(def.type));
  store.Reset(storages);
  std::vector<TFieldType> types;
  for (const auto& def : columns) types.push_back(def.type);
  while (stmt.Step()) {
    const int row = store.AppendRow();
    for (int c = 0; c < count; ++c) {
      TFieldType& type = types[static_cast<size_t>(c)];
      if (type == ftUnknown || !columns[static_cast<size_t>(c)].typed) {
        // An expression: its kind comes from its values; widen it when they disagree.
        const int kind = sqlite3_column_type(s, c);
        if (kind == SQLITE_NULL) continue;
        const TFieldType seen = KindOfValue(kind);
        if (type == ftUnknown) {
          type = seen;
          store.Retype(c, db::StorageOf(type), [](const Value& v) { return v; });
        } else if (type != seen && type != ftWideString) {
          const TFieldType wider = (type == ftInteger && seen == ftFloat) ? ftFloat : ftWideString;
          const TFieldType from = type;
          store.Retype(c, db::StorageOf(wider),
                       [from, wider](const Value& v) { return db::ConvertValue(v, from, wider); });
          type = wider;
        }
      }
      LoadCell(s, c, type, row, store);
    }
  }
  store.Shrink();
  for (int c = 0; c < count; ++c) {
    db::ColumnDef& def = columns[static_cast<size_t>(c)];
    def.type = types[static_cast<size_t>(c)] == ftUnknown ? ftWideString : types[static_cast<size_t>(c)];
    if (def.type == ftUnknown) def.type = ftWideString;
  }
}

void TADODataSet::InternalClose() {
  writer_.reset();
  updateTable_.clear();
  keyColumn_ = -1;
  tableColumns_.clear();
}

void TADODataSet::ReadBack(int64_t key, std::vector<Value>& row) {
  QStringList names;
  std::vector<int> columns;
  for (size_t c = 0; c < tableColumns_.size(); ++c) {
    if (tableColumns_[c].isEmpty()) continue;
    names << QuoteName(tableColumns_[c]);
    columns.push_back(static_cast<int>(c));
  }
  const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                          .arg(names.join(QStringLiteral(", ")), QuoteName(updateTable_),
                               QuoteName(tableColumns_[static_cast<size_t>(keyColumn_)]));
  Statement& stmt = writer_->Get(connection_->Handle(), sql);
  sqlite3_bind_int64(stmt.Get(), 1, key);
  if (stmt.Step()) {
    for (size_t i = 0; i < columns.size(); ++i) {
      const int c = columns[i];
      row[static_cast<size_t>(c)] =
          db::sqlite::ReadColumn(stmt.Get(), static_cast<int>(i), Columns()[static_cast<size_t>(c)].type);
    }
  }
  stmt.Reset();
}

void TADODataSet::InternalInsert(std::vector<Value>& row, const std::vector<int>& columns) {
  if (!writer_) writer_ = std::make_unique<Writer>();
  sqlite3* handle = connection_->Handle();
  QStringList names, marks;
  for (int c : columns) {
    names << QuoteName(tableColumns_[static_cast<size_t>(c)]);
    marks << QStringLiteral("?");
  }
  const QString sql = columns.empty()
                          ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QuoteName(updateTable_))
                          : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(QuoteName(updateTable_), names.join(QStringLiteral(", ")),
                                     marks.join(QStringLiteral(", ")));
  Statement& stmt = writer_->Get(handle, sql);
  PostTransaction transaction(handle);
  int index = 1;
  for (int c : columns)
    db::sqlite::Bind(stmt.Get(), index++, row[static_cast<size_t>(c)],
                     Columns()[static_cast<size_t>(c)].type);
  stmt.Run();
  const db::ColumnDef& key = Columns()[static_cast<size_t>(keyColumn_)];
  const int64_t id = key.type == ftAutoInc || row[static_cast<size_t>(keyColumn_)].isNull
                         ? sqlite3_last_insert_rowid(handle)
                         : row[static_cast<size_t>(keyColumn_)].i;
  std::vector<Value> stored = row;
  stored[static_cast<size_t>(keyColumn_)] = Value::Int(id);
  ReadBack(id, stored);
  transaction.Commit();
  row = std::move(stored);
}

void TADODataSet::InternalUpdate(const std::vector<Value>& oldRow, std::vector<Value>& row,
                                 const std::vector<int>& columns) {
  if (!writer_) writer_ = std::make_unique<Writer>();
  sqlite3* handle = connection_->Handle();
  QStringList sets;
  for (int c : columns) sets << QuoteName(tableColumns_[static_cast<size_t>(c)]) + QStringLiteral(" = ?");
  const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                          .arg(QuoteName(updateTable_), sets.join(QStringLiteral(", ")),
                               QuoteName(tableColumns_[static_cast<size_t>(keyColumn_)]));
  Statement& stmt = writer_->Get(handle, sql);
  PostTransaction transaction(handle);
  int index = 1;
  for (int c : columns)
    db::sqlite::Bind(stmt.Get(), index++, row[static_cast<size_t>(c)],
                     Columns()[static_cast<size_t>(c)].type);
  const Value& key = oldRow[static_cast<size_t>(keyColumn_)];
  db::sqlite::Bind(stmt.Get(), index, key, Columns()[static_cast<size_t>(keyColumn_)].type);
  stmt.Run();
  if (sqlite3_changes(handle) == 0)
    DatabaseError(QStringLiteral(
        "O registro não foi encontrado para atualização: ele foi excluído por outro usuário ou programa. "
        "Nada foi gravado; as alterações continuam na tela."));
  const Value& newKey = row[static_cast<size_t>(keyColumn_)];
  std::vector<Value> stored = row;
  ReadBack(newKey.isNull ? key.i : newKey.i, stored);
  transaction.Commit();
  row = std::move(stored);
}

bool TADODataSet::InternalDelete(const std::vector<Value>& row) {
  if (!writer_) writer_ = std::make_unique<Writer>();
  sqlite3* handle = connection_->Handle();
  const QString sql =
      QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
          .arg(QuoteName(updateTable_), QuoteName(tableColumns_[static_cast<size_t>(keyColumn_)]));
  Statement& stmt = writer_->Get(handle, sql);
  db::sqlite::Bind(stmt.Get(), 1, row[static_cast<size_t>(keyColumn_)],
                   Columns()[static_cast<size_t>(keyColumn_)].type);
  stmt.Run();
  return sqlite3_changes(handle) > 0;
}
