#include "platform/remote/RESTDWDataBase.h"

#include "platform/rtl/Exceptions.h"

TRESTDWDataBase::TRESTDWDataBase(TComponent* owner, std::shared_ptr<IRemoteTransport> transport)
    : TComponent(owner), transport_(std::move(transport)) {}

IRemoteTransport& TRESTDWDataBase::Transport() const {
  if (!transport_) throw EDatabaseError(QStringLiteral("Conexão remota sem meio de transporte"));
  return *transport_;
}
