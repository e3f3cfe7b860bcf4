#pragma once

#include "fontes/componentes/Factory.Forms.h"

// Base of the controllers: each can open a registered window by class name with a
// data set map.
class TController : public TFactoryForms {
 public:
  explicit TController(TComponent* AOwner);

  QString ClassName() const override { return QStringLiteral("TController"); }
};
