#pragma once

#include <memory>

#include "platform/remote/RemoteTransport.h"
#include "platform/rtl/Component.h"

// The connection to the remote database: it holds the transport the client data sets
// send their statements through. The transport is shared, so a test or a diagnostic
// wrapper may keep a hand on it.
class TRESTDWDataBase : public TComponent {
 public:
  explicit TRESTDWDataBase(TComponent* owner = nullptr,
                           std::shared_ptr<IRemoteTransport> transport = nullptr);

  void SetTransport(std::shared_ptr<IRemoteTransport> transport) { transport_ = std::move(transport); }
  bool HasTransport() const noexcept { return transport_ != nullptr; }
  // Raises EDatabaseError when no transport was given.
  IRemoteTransport& Transport() const;

  QString ClassName() const override { return QStringLiteral("TRESTDWDataBase"); }

 private:
  std::shared_ptr<IRemoteTransport> transport_;
};
