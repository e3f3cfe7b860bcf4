#include "platform/ui/ClassRegistry.h"

#include <map>
#include <memory>

#include "platform/rtl/Exceptions.h"

namespace {

// Keyed by the lower-cased name; built during static initialisation, so reached
// through a function.
std::map<QString, std::unique_ptr<TFormClass>>& Registry() {
  static std::map<QString, std::unique_ptr<TFormClass>> registry;
  return registry;
}

}  // namespace

TFormClass::TFormClass(QString name, QString parentName, std::type_index type, TFormFactory factory)
    : name_(std::move(name)), parentName_(std::move(parentName)), type_(type), factory_(std::move(factory)) {}

TForm* TFormClass::Create(TComponent* owner) const {
  TForm* form = factory_(owner);
  form->AfterConstruction();
  return form;
}

void RegisterFormClass(const QString& name, const QString& parentName, std::type_index type,
                       TFormFactory factory) {
  auto& registry = Registry();
  const QString key = name.toLower();
  const auto found = registry.find(key);
  if (found != registry.end()) {
    if (found->second->Type() == type) return;
    throw EComponentError(QStringLiteral("A class named %1 already exists").arg(name));
  }
  registry.emplace(key, std::make_unique<TFormClass>(name, parentName, type, std::move(factory)));
}

const TFormClass* GetClass(const QString& name) {
  const auto found = Registry().find(name.toLower());
  return found == Registry().end() ? nullptr : found->second.get();
}

const TFormClass& FindClass(const QString& name) {
  const TFormClass* found = GetClass(name);
  if (found == nullptr) throw EClassNotFound(QStringLiteral("Class %1 not found").arg(name));
  return *found;
}
