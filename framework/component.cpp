#include "framework/component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
  if (owner_) {
    owner_->insertComponent(this);
  }
}

TComponent::~TComponent() { BeginDestruction(); }

void TComponent::BeginDestruction() {
  if (destroying_) {
    return;
  }
  destroying_ = true;
  // Tell everybody who asked; they drop their references to us.
  const auto notifies = freeNotifies_;
  for (TComponent* other : notifies) {
    other->RemoveFreeNotification(this);
    other->Notification(this, TOperation::opRemove);
  }
  freeNotifies_.clear();
  // Owned components die newest first.
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
  if (owner_) {
    owner_->removeComponent(this);
    owner_ = nullptr;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
    freeNotifies_.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), AComponent), freeNotifies_.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::insertComponent(TComponent* component) { components_.push_back(component); }

void TComponent::removeComponent(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
  for (TComponent* other : components_) {
    other->Notification(component, TOperation::opRemove);
  }
}
