#include "platform/ui/Buttons.h"

#include "platform/ui/EventGuard.h"

TButton::TButton(TComponent* owner, QWidget* parent)
    : QPushButton(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)), TComponent(owner) {
  connect(this, &QPushButton::clicked, this, [this] { Clicked(); });
}

void TButton::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

void TButton::Clicked() {
  if (auto* form = qobject_cast<TForm*>(window())) {
    if (form->IsModal() && modalResult_ != 0) form->SetModalResult(modalResult_);
  }
  ui::RunHandler([this] {
    if (OnClick) OnClick();
  });
}
