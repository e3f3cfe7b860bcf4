#pragma once

#include <QString>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/remote/RemoteTransport.h"

// Passes every statement on to a real backend and keeps its text, as sent, in order.
class RecordingTransport final : public IRemoteTransport {
 public:
  enum class Kind { Query, Execute };
  struct Sent {
    Kind kind;
    QString sql;
    bool operator==(const Sent&) const = default;
  };

  explicit RecordingTransport(std::shared_ptr<IRemoteTransport> inner) : inner_(std::move(inner)) {}

  RemoteResult Query(const QString& sql) override {
    sent.push_back({Kind::Query, sql});
    return inner_->Query(sql);
  }
  void Execute(const QString& sql) override {
    sent.push_back({Kind::Execute, sql});
    inner_->Execute(sql);
  }

  std::vector<Sent> sent;

 private:
  std::shared_ptr<IRemoteTransport> inner_;
};

inline void PrintTo(const RecordingTransport::Sent& s, std::ostream* os) {
  *os << (s.kind == RecordingTransport::Kind::Query ? "Query: " : "Execute: ") << s.sql.toStdString();
}
