#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// What a statement answered: the column names in select order and the rows, each a list
// of values in the same order. A NULL is an invalid QVariant.
struct RemoteResult {
  QStringList Columns;
  std::vector<std::vector<QVariant>> Rows;
};

// The road to the remote database. The client data set speaks only to this, so that a
// networked transport can take the place of the local one without touching callers.
// Both operations send the statement text exactly as given and raise EDatabaseError with
// the server's message when the server refuses it.
class IRemoteTransport {
 public:
  virtual ~IRemoteTransport() = default;

  // Runs a statement that returns rows.
  virtual RemoteResult Query(const QString& sql) = 0;
  // Runs a statement that returns no rows.
  virtual void Execute(const QString& sql) = 0;
};
