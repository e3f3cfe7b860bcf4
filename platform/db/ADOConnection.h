#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/db/DataTypes.h"
#include "platform/rtl/Component.h"

struct sqlite3;
class TADODataSet;

// The one database connection, on SQLite behind the name of the Jet provider.
//
// ConnectionString: "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Jet OLEDB:
// Database Password=<password>" (see db::ParseConnectionString). Any other provider is
// refused. A relative path is taken from the executable's folder. Open never creates a
// file; a missing file, a file that is not a database (an empty one included), a damaged
// file, a file it may not write (unless Mode is cmRead) and a wrong password each raise
// EDatabaseError with a Portuguese message.
//
// Sharing: other programs may read and write the file at the same time. Every statement
// waits up to BusyTimeout for a lock held elsewhere, then fails with a clear message; a
// failed write changes nothing. Each write is its own transaction, committed with the
// rollback journal and synchronous=FULL before the call returns; the journal mode of the
// file is left as it is.
class TADOConnection : public TComponent {
 public:
  static constexpr int kDefaultBusyTimeoutMs = 5000;

  explicit TADOConnection(TComponent* owner = nullptr);
  ~TADOConnection() override;

  QString ClassName() const override { return QStringLiteral("TADOConnection"); }

  const QString& ConnectionString() const { return connectionString_; }
  void SetConnectionString(const QString& text) { connectionString_ = text; }
  // There is no login dialog; the flag is kept for the settings that name it.
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
  TConnectMode Mode() const { return mode_; }
  void SetMode(TConnectMode mode) { mode_ = mode; }
  int BusyTimeout() const { return busyTimeoutMs_; }
  void SetBusyTimeout(int milliseconds);

  // Runs before every connect attempt; usually sets ConnectionString.
  std::function<void(TADOConnection&)> BeforeConnect;
  std::function<void(TADOConnection&)> AfterConnect;
  std::function<void(TADOConnection&)> BeforeDisconnect;
  std::function<void(TADOConnection&)> AfterDisconnect;

  // Nothing when connected. On failure the connection stays closed.
  void Open();
  // Closes every data set on this connection first.
  void Close();
  bool Connected() const { return handle_ != nullptr; }
  void SetConnected(bool connected) { connected ? Open() : Close(); }
  // The database file of the open connection.
  const QString& FileName() const { return fileName_; }

  // Runs one statement of the Jet dialect outside any data set; gives the rows changed.
  int Execute(const QString& sql);

  // For the data sets of this layer.
  sqlite3* Handle() const { return handle_; }
  int DataSetCount() const { return static_cast<int>(dataSets_.size()); }
  TADODataSet* DataSets(int index) const { return dataSets_.at(static_cast<size_t>(index)); }

 private:
  friend class TADODataSet;
  void Attach(TADODataSet* dataSet);
  void Detach(TADODataSet* dataSet);

  QString connectionString_;
  bool loginPrompt_ = false;
  TConnectMode mode_ = cmShareDenyNone;
  int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
  sqlite3* handle_ = nullptr;
  QString fileName_;
  std::vector<TADODataSet*> dataSets_;
};
