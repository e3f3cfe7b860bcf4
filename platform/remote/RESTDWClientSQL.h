#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/remote/RemoteTransport.h"
#include "platform/rtl/Component.h"

class TRESTDWDataBase;

// The statement of a client data set, kept line by line.
class TSQLLines {
 public:
  // The server is a Windows one: each line ends with CR LF.
  static inline const QString LineBreak = QStringLiteral("\r\n");

  void Clear() { lines_.clear(); }
  void Add(const QString& line) { lines_.append(line); }
  int Count() const { return static_cast<int>(lines_.size()); }
  const QString& operator[](int index) const { return lines_.at(index); }
  // Every line followed by LineBreak.
  QString Text() const;

 private:
  QStringList lines_;
};

// One column of the current row. A NULL, or a data set without rows, reads as 0 or false.
class TRemoteField {
 public:
  TRemoteField(QString name, QVariant value) : name_(std::move(name)), value_(std::move(value)) {}

  const QString& FieldName() const { return name_; }
  bool IsNull() const { return value_.isNull(); }
  const QVariant& Value() const { return value_; }
  // Numbers as they are; text with "." as decimal point. Raises EConvertError otherwise.
  double AsFloat() const;
  // Numbers: non-zero is true; text: "True"/"False" and the like. Raises EConvertError otherwise.
  bool AsBoolean() const;

 private:
  QString name_;
  QVariant value_;
};

// A data set whose rows come from the remote database through its connection. It only
// refers to its DataBase, which must outlive it. Freeing it closes it.
class TRESTDWClientSQL : public TComponent {
 public:
  explicit TRESTDWClientSQL(TComponent* owner = nullptr);
  ~TRESTDWClientSQL() override;

  TRESTDWDataBase* DataBase() const { return database_; }
  void SetDataBase(TRESTDWDataBase* database) { database_ = database; }

  // Request settings; the SQLite backend needs none of them, a networked one may.
  bool BinaryRequest() const { return binaryRequest_; }
  void SetBinaryRequest(bool on) { binaryRequest_ = on; }
  bool AutoCommitData() const { return autoCommitData_; }
  void SetAutoCommitData(bool on) { autoCommitData_ = on; }
  bool CacheUpdateRecords() const { return cacheUpdateRecords_; }
  void SetCacheUpdateRecords(bool on) { cacheUpdateRecords_ = on; }
  const QString& SequenceField() const { return sequenceField_; }
  void SetSequenceField(const QString& field) { sequenceField_ = field; }

  TSQLLines& SQL() { return sql_; }
  const TSQLLines& SQL() const { return sql_; }

  // Runs the statement and makes its first row current; an open data set stays as it is.
  void Open();
  void Close();
  bool Active() const { return active_; }
  int RecordCount() const { return static_cast<int>(result_.Rows.size()); }

  // Raises EDatabaseError "Field '%s' not found" for a column the result does not hold
  // (letter case ignored), and so for any column while closed.
  TRemoteField FieldByName(const QString& name) const;

  // Runs a statement that returns no rows; leaves the open state alone.
  void ExecSQL();

  QString ClassName() const override { return QStringLiteral("TRESTDWClientSQL"); }

 private:
  IRemoteTransport& Transport() const;

  TRESTDWDataBase* database_ = nullptr;
  bool binaryRequest_ = false;
  bool autoCommitData_ = false;
  bool cacheUpdateRecords_ = true;
  QString sequenceField_;
  TSQLLines sql_;
  bool active_ = false;
  RemoteResult result_;
};
