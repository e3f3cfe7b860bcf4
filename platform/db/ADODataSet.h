#pragma once

#include <QString>
#include <memory>

#include "platform/db/ADOConnection.h"
#include "platform/db/DataSet.h"

// A data set over one SELECT of the Jet dialect on a TADOConnection.
//
// Open runs the statement once and keeps every row (a static snapshot). Column names
// follow Jet: a column is named after its table column ("id", "nome") or its alias; a
// name that occurs twice in one result is qualified with the alias written in the select
// list ("c.nome", "u.nome").
//
// Writing: a SELECT over one table that includes the table's primary key can be edited;
// Post sends INSERT or UPDATE ... WHERE <key> = ? with bound parameters (only the
// columns set during the edit, and only those of fields with pfInUpdate), then reads the
// row back, the new auto-number included. Any other statement (joins, GROUP BY,
// DISTINCT, no key) gives a read-only data set. An update that finds no row (another
// program deleted it) raises EDatabaseError and keeps the edit.
class TADODataSet : public TDataSet {
 public:
  explicit TADODataSet(TComponent* owner = nullptr);
  ~TADODataSet() override;

  QString ClassName() const override { return QStringLiteral("TADODataSet"); }

  TADOConnection* Connection() const { return connection_; }
  // Refused while open.
  void SetConnection(TADOConnection* connection);
  const QString& CommandText() const { return commandText_; }
  // Takes effect at the next Open.
  void SetCommandText(const QString& sql) { commandText_ = sql; }
  TCursorType CursorType() const { return cursorType_; }
  void SetCursorType(TCursorType type) { cursorType_ = type; }
  // The table Post writes to while open ("" when read-only).
  const QString& UpdateTable() const { return updateTable_; }

 protected:
  void InternalOpen(db::RowStore& store, std::vector<db::ColumnDef>& columns) override;
  void InternalClose() override;
  QString ReadOnlyReason() const override;
  void InternalInsert(std::vector<db::Value>& row, const std::vector<int>& columns) override;
  void InternalUpdate(const std::vector<db::Value>& oldRow, std::vector<db::Value>& row,
                      const std::vector<int>& columns) override;
  bool InternalDelete(const std::vector<db::Value>& row) override;

 private:
  friend class TADOConnection;
  struct Writer;

  void ConnectionDestroyed();
  void ReadBack(int64_t key, std::vector<db::Value>& row);

  TADOConnection* connection_ = nullptr;
  QString commandText_;
  TCursorType cursorType_ = ctStatic;
  QString updateTable_;
  QString readOnlyReason_;
  int keyColumn_ = -1;
  std::vector<QString> tableColumns_;  // per result column: its column in updateTable_
  std::unique_ptr<Writer> writer_;
};
