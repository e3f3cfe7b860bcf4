#pragma once

#include <functional>

#include "platform/rtl/Component.h"

// A non-visual container of components (connections, data sets) with a creation
// handler. Create it with CreateForm<T>(owner) or TApplication::CreateForm, so that
// OnCreate runs after every constructor; an error leaving OnCreate is reported and
// creation completes.
class TDataModule : public TComponent {
 public:
  explicit TDataModule(TComponent* owner);

  QString ClassName() const override { return QStringLiteral("TDataModule"); }

  // Second creation phase: runs the creation handler once.
  void AfterConstruction();

  std::function<void()> OnCreate;

 protected:
  virtual void DoCreate();

 private:
  bool created_ = false;
};
