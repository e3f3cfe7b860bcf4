#pragma once

#include <QString>
#include <vector>

// The component tree: an owner destroys what it owns, and names are unique among an
// owner's components. It is deliberately not a QObject, so that widgets and data sets
// can both be components without a second QObject base.
class TComponent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const noexcept { return owner_; }
  const QString& Name() const noexcept { return name_; }
  // Raises EComponentError "A component named %s already exists" on a clash.
  virtual void SetName(const QString& name);

  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  TComponent* Component(int index) const { return components_.at(static_cast<size_t>(index)); }
  // Letter case is ignored, as component names are.
  TComponent* FindComponent(const QString& name) const;

  // Frees every owned component, newest first.
  void DestroyComponents();

  virtual QString ClassName() const { return QStringLiteral("TComponent"); }

 protected:
  // Hook for subclasses mirroring the name elsewhere (a QObject's objectName).
  virtual void NameChanged() {}

 private:
  void InsertComponent(TComponent* child);
  void RemoveComponent(TComponent* child);

  TComponent* owner_ = nullptr;
  QString name_;
  std::vector<TComponent*> components_;
};
