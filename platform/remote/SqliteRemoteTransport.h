#pragma once

#include <QString>
#include <memory>

#include "platform/remote/RemoteTransport.h"

struct sqlite3;

// The remote database played by a local SQLite file: the file is attached under the
// catalog name the statements use ("base"), and each statement is translated to SQLite's
// dialect only at the last moment, so callers and recorders see it as it was sent.
// Each statement commits on its own (SQLite's autocommit).
class SqliteRemoteTransport final : public IRemoteTransport {
 public:
  enum class OpenMode { ExistingOnly, CreateIfMissing };

  // Raises EDatabaseError when the file is missing (ExistingOnly) or cannot be opened.
  explicit SqliteRemoteTransport(const QString& databaseFile, OpenMode mode = OpenMode::ExistingOnly,
                                 const QString& catalog = QStringLiteral("base"));
  ~SqliteRemoteTransport() override;
  SqliteRemoteTransport(const SqliteRemoteTransport&) = delete;
  SqliteRemoteTransport& operator=(const SqliteRemoteTransport&) = delete;

  RemoteResult Query(const QString& sql) override;
  void Execute(const QString& sql) override;

 private:
  // Runs every statement of the text in order; the rows of the first one that has
  // columns are the result.
  RemoteResult Run(const QString& sql);
  [[noreturn]] void Fail() const;

  sqlite3* db_ = nullptr;
  QString catalog_;
};

// The backend a connection is given when the remote database is a local SQLite file.
std::shared_ptr<IRemoteTransport> MakeSqliteRemoteTransport(
    const QString& databaseFile,
    SqliteRemoteTransport::OpenMode mode = SqliteRemoteTransport::OpenMode::ExistingOnly);
