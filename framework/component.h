#pragma once
// Components: named objects owned by another component (usually their window), which
// destroys them with itself. Owned components keep their creation order.

#include "platform/persistent.h"

#include <QString>

#include <vector>

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  QString ClassName() const override { return QStringLiteral("TComponent"); }

  const QString& Name() const { return name_; }
  void SetName(const QString& name) { name_ = name; }
  TComponent* Owner() const { return owner_; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }

  // Asks to be told (through Notification) when AComponent is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  bool Destroying() const { return destroying_; }

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Called by the most derived destructor before members go, so owned components and
  // notified components see a fully alive owner.
  void BeginDestruction();

 private:
  void insertComponent(TComponent* component);
  void removeComponent(TComponent* component);

  QString name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool destroying_ = false;
};
