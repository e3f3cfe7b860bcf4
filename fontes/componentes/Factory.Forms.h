#pragma once

#include <QString>
#include <cstdint>

#include "fontes/componentes/FormBase.h"
#include "platform/rtl/Component.h"

// The operation a window is opened for.
enum TOperacao : uint8_t { ftInsert = 0, ftEdit = 1, ftBrowser = 2 };

// Opens a registered TBaseForm descendant by its class name and hands it a data set map.
// Controllers descend from it.
class TFactoryForms : public TComponent {
 public:
  explicit TFactoryForms(TComponent* owner) : TComponent(owner) {}

  QString ClassName() const override { return QStringLiteral("TFactoryForms"); }

  // Modeless: returns once the window is shown. The map must outlive the window.
  void View(const QString& AFormName, TDataSetMap* AControllers);
  // Modal: returns the modal result the window's run ended with.
  int ViewModal(const QString& AFormName, TDataSetMap* AControllers);

  TOperacao GetOperacao() const { return FOperacao; }
  void SetOperacao(TOperacao value) { FOperacao = value; }

 private:
  TOperacao FOperacao = ftInsert;
};
