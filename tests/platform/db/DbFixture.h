#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>

#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/support/TestSupport.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '[' << l.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace dbtest {

QString JetConnectionString(const QString& path, const QString& password = {});

// A raw second SQLite handle on a file: another program, as the tests need one.
class RawDb {
 public:
  explicit RawDb(const QString& path);
  ~RawDb();
  RawDb(const RawDb&) = delete;
  RawDb& operator=(const RawDb&) = delete;
  void Exec(const QString& sql);
  // The first column of the first row as text ("" for none or null).
  QString Scalar(const QString& sql);
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// A scratch database with the shop's schema, its connection open, and a few helpers.
class DbTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Creates the file with the schema (and no password).
  static void CreateDatabase(const QString& path);
  void Exec(const QString& sql) { RawDb(path_).Exec(sql); }
  QString Scalar(const QString& sql) { return RawDb(path_).Scalar(sql); }
  // A data set on the test connection, owned by the fixture's owner.
  TADODataSet* OpenQuery(const QString& sql, const QString& name = {});
  TADODataSet* NewQuery(const QString& sql, const QString& name = {});
  // Fills Clientes, Users and OrdensServico with a small known set.
  void SeedOrders();

  rtl::ScopedFormatSettings settings_{TFormatSettings::Invariant()};
  testsupport::ScopedExeFolder folder_;
  QString path_;
  TComponent owner_;
  TADOConnection* connection_ = nullptr;
};

}  // namespace dbtest
