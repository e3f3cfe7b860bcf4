#include "platform/ui/DataModule.h"

#include "platform/ui/EventGuard.h"

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {}

void TDataModule::AfterConstruction() {
  if (created_) return;
  created_ = true;
  ui::RunHandler([this] { DoCreate(); });
}

void TDataModule::DoCreate() {
  if (OnCreate) OnCreate();
}
