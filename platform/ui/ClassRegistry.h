#pragma once

#include <QString>
#include <functional>
#include <type_traits>
#include <typeindex>

#include "platform/rtl/Component.h"
#include "platform/ui/Forms.h"

// Window classes known by name, so that code can open a window it does not include.
//
// A registrable class declares its name and parent inside its body:
//     class TfOrdem : public TBaseForm {
//       QUORVEL_FORM_CLASS(TfOrdem, TBaseForm)
//       ...
//     };
// and its unit registers it at start-up, at namespace scope in its .cpp:
//     QUORVEL_REGISTER_CLASS(TfOrdem)
// Registering a class enters each ancestor not yet entered, up to TForm.
//
// Static libraries: the linker keeps an object file only when something refers to it,
// and nothing refers to a class that is only ever opened by name. The program therefore
// names each such class once, in main.cpp (or any unit that is surely linked):
//     QUORVEL_REQUIRE_CLASS(TfOrdem);
// which refers to an anchor that QUORVEL_REGISTER_CLASS defines. (Linking the owning
// library with $<LINK_LIBRARY:WHOLE_ARCHIVE,...> works too.)

using TFormFactory = std::function<TForm*(TComponent* owner)>;

class TFormClass {
 public:
  TFormClass(QString name, QString parentName, std::type_index type, TFormFactory factory);

  const QString& ClassName() const { return name_; }
  // Empty for TForm, the root.
  const QString& ParentName() const { return parentName_; }
  std::type_index Type() const { return type_; }

  // Runs the class's own constructor and then its creation handler.
  TForm* Create(TComponent* owner) const;

 private:
  QString name_;
  QString parentName_;
  std::type_index type_;
  TFormFactory factory_;
};

// Enters a class under its name. The same class twice is harmless; another class
// under a taken name raises EComponentError "A class named %s already exists".
void RegisterFormClass(const QString& name, const QString& parentName, std::type_index type,
                       TFormFactory factory);

// Letter case ignored; null when unknown.
const TFormClass* GetClass(const QString& name);
// Letter case ignored; raises EClassNotFound "Class %s not found".
const TFormClass& FindClass(const QString& name);

// Enters T and its ancestors.
template <class T>
void RegisterClass() {
  static_assert(std::is_base_of_v<TForm, T>, "only windows are registered");
  QString parent;
  if constexpr (!std::is_same_v<T, TForm>) {
    RegisterClass<typename T::inherited>();
    parent = T::inherited::StaticClassName();
  }
  RegisterFormClass(T::StaticClassName(), parent, std::type_index(typeid(T)),
                    [](TComponent* owner) -> TForm* { return new T(owner); });
}

// Inside a window class: its name, its parent, and ClassName() answering the name.
#define QUORVEL_FORM_CLASS(Name, Parent) \
 public:                                 \
  using inherited = Parent;              \
  static QString StaticClassName() {     \
    return QStringLiteral(#Name);        \
  }                                      \
  QString ClassName() const override {   \
    return StaticClassName();            \
  }                                      \
                                         \
 private:

// At namespace scope in the class's .cpp: registers it during static initialisation.
#define QUORVEL_REGISTER_CLASS(Name)                                                      \
  void QuorvelClassAnchor_##Name() {}                                                     \
  namespace {                                                                             \
  [[maybe_unused]] const bool quorvelRegistered_##Name = (::RegisterClass<Name>(), true); \
  }

// Once in a unit that is surely linked: keeps the class's registration in the program.
#define QUORVEL_REQUIRE_CLASS(Name) \
  void QuorvelClassAnchor_##Name(); \
  void (*quorvelRequired_##Name)() = &QuorvelClassAnchor_##Name
