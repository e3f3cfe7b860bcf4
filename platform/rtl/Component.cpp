#include "platform/rtl/Component.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::SetName(const QString& name) {
  if (name.compare(name_, Qt::CaseSensitive) == 0) return;
  if (owner_ != nullptr && !name.isEmpty()) {
    TComponent* other = owner_->FindComponent(name);
    if (other != nullptr && other != this)
      throw EComponentError(QStringLiteral("A component named %1 already exists").arg(name));
  }
  name_ = name;
  NameChanged();
}

TComponent* TComponent::FindComponent(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (TComponent* c : components_)
    if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
  return nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
}

void TComponent::InsertComponent(TComponent* child) { components_.push_back(child); }

void TComponent::RemoveComponent(TComponent* child) {
  auto it = std::find(components_.begin(), components_.end(), child);
  if (it != components_.end()) components_.erase(it);
}
