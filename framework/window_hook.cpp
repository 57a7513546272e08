#include "framework/window_hook.h"

#include "framework/application_services.h"
#include "framework/control.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <algorithm>

// What the installed window procedure shares with its hook. A hook that cannot take
// its procedure out of the chain (another one was installed in front of it) leaves it
// there as a plain pass-through to the previous procedure.
struct HookLink {
  TControlHook* hook = nullptr;
  TWndMethod previous;
};

struct TControlHook::Procedure {
  std::shared_ptr<HookLink> link;
  void operator()(TMessage& message) const {
    if (link->hook) {
      link->hook->HookWndProc(message);
    } else if (link->previous) {
      link->previous(message);
    }
  }
};

namespace {

// A failing handler is reported; the other handlers still get the message.
void ReportFailure(const std::exception& error) { ReportHandlerError(error); }

}  // namespace

// ---- TRxWindowHook ----

TRxWindowHook::TRxWindowHook(TComponent* AOwner) : TComponent(AOwner) {}

TRxWindowHook::~TRxWindowHook() {
  BeginDestruction();
  UnhookControl();
}

void TRxWindowHook::SetActive(bool active) {
  if (active_ == active) return;
  active_ = active;
  if (active_) {
    HookControl();
  } else {
    UnhookControl();
  }
}

void TRxWindowHook::SetWinControl(TWinControl* control) {
  if (control_ == control) return;
  UnhookControl();
  if (control_) RemoveFreeNotification(control_);
  control_ = control;
  if (control_) {
    FreeNotification(control_);
    if (active_) HookControl();
  }
}

void TRxWindowHook::HookControl() {
  if (hook_ || !control_ || Destroying()) return;
  hook_ = THookList::Instance().FindOrCreate(control_);
  hook_->AddRegistration(this);
}

void TRxWindowHook::UnhookControl() {
  if (!hook_) return;
  TControlHook* hook = hook_;
  hook_ = nullptr;
  hook->RemoveRegistration(this);
}

void TRxWindowHook::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == control_) {
    UnhookControl();
    control_ = nullptr;
  }
}

// ---- TControlHook ----

TControlHook::TControlHook(TWinControl* control)
    : TComponent(nullptr), control_(control), link_(std::make_shared<HookLink>()) {
  link_->hook = this;
  FreeNotification(control_);
}

TControlHook::~TControlHook() {
  BeginDestruction();
  Remove();
  link_->hook = nullptr;
  for (TRxWindowHook* registration : registrations_) registration->hook_ = nullptr;
  THookList::Instance().Forget(this);
}

bool TControlHook::Installed() const {
  if (!control_) return false;
  const Procedure* current = control_->WindowProc.target<Procedure>();
  return current && current->link == link_;
}

void TControlHook::AddRegistration(TRxWindowHook* registration) {
  registrations_.push_back(registration);
  Install();
}

void TControlHook::RemoveRegistration(TRxWindowHook* registration) {
  registrations_.erase(std::remove(registrations_.begin(), registrations_.end(), registration), registrations_.end());
  if (!registrations_.empty()) return;
  Remove();
  // Freed later, not now: this may run inside the hook's own window procedure.
  if (!Destroying()) THookList::Instance().Post(CM_DESTROYHOOK, this);
}

void TControlHook::Install() {
  if (!control_ || Installed()) return;
  control_->HandleNeeded();
  link_->hook = this;
  link_->previous = control_->WindowProc;
  control_->WindowProc = Procedure{link_};
}

void TControlHook::Remove() {
  if (control_ && Installed()) {
    control_->WindowProc = link_->previous;
  } else if (control_ && link_->previous) {
    // Another procedure was put in front of ours: ours stays in the chain as a plain
    // pass-through, and a later install starts a new link.
    link_->hook = nullptr;
    link_ = std::make_shared<HookLink>();
    link_->hook = this;
    return;
  }
  link_->previous = nullptr;
}

void TControlHook::callPrevious(TMessage& message) {
  if (link_->previous) {
    link_->previous(message);
  } else if (control_) {
    static_cast<TControl*>(control_)->WndProc(message);  // the control's own handling
  }
}

void TControlHook::notify(TMessage& message, bool before, bool& handled) {
  // Newest registration first; a copy, since a handler may add or remove registrations.
  const std::vector<TRxWindowHook*> registrations(registrations_.rbegin(), registrations_.rend());
  for (TRxWindowHook* registration : registrations) {
    if (std::find(registrations_.begin(), registrations_.end(), registration) == registrations_.end()) continue;
    const THookMessageEvent& handler = before ? registration->BeforeMessage : registration->AfterMessage;
    if (!handler) continue;
    try {
      handler(registration, message, handled);
    } catch (const std::exception& error) {
      ReportFailure(error);
    }
    if (handled) return;
  }
}

void TControlHook::HookWndProc(TMessage& message) {
  if (!control_) return;
  bool handled = false;
  if (message.Msg != WM_QUIT) notify(message, true, handled);
  if (!handled || message.Msg == WM_DESTROY) {
    bool afterHandled = false;
    try {
      callPrevious(message);
    } catch (...) {
      notify(message, false, afterHandled);
      throw;
    }
    notify(message, false, afterHandled);
  }
  if (message.Msg == WM_DESTROY) {
    Remove();
    // The control is getting a new window, not going away: hook it again then.
    if (!Destroying() && control_ && !control_->Destroying()) THookList::Instance().Post(CM_RECREATEHOOK, this);
  }
}

void TControlHook::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove || AComponent != control_) return;
  // The control's window procedure goes with it.
  link_->hook = nullptr;
  link_->previous = nullptr;
  control_ = nullptr;
  THookList::Instance().Post(CM_DESTROYHOOK, this);
}

// ---- THookList ----

namespace {

class PostedHookMessage : public QEvent {
 public:
  static QEvent::Type EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  PostedHookMessage(uint32_t message, TControlHook* hook) : QEvent(EventType()), message_(message), hook_(hook) {}
  uint32_t Message() const { return message_; }
  TControlHook* Hook() const { return hook_; }

 private:
  uint32_t message_;
  TControlHook* hook_;
};

THookList* theHookList = nullptr;

}  // namespace

class THookList::UtilityWindow : public QObject {
 public:
  explicit UtilityWindow(THookList* list) : list_(list) {}

 protected:
  bool event(QEvent* event) override {
    if (event->type() != PostedHookMessage::EventType()) return QObject::event(event);
    const auto* posted = static_cast<PostedHookMessage*>(event);
    list_->HandleMessage(posted->Message(), posted->Hook());
    return true;
  }

 private:
  THookList* list_;
};

THookList::THookList() : window_(std::make_unique<UtilityWindow>(this)) {}

THookList::~THookList() {
  while (!hooks_.empty()) delete hooks_.back();  // each one leaves the list itself
}

THookList& THookList::Instance() {
  if (!theHookList) theHookList = new THookList();
  return *theHookList;
}

void THookList::FreeHookList() {
  THookList* list = theHookList;
  delete list;
  theHookList = nullptr;
}

TControlHook* THookList::Find(const TWinControl* control) const {
  for (TControlHook* hook : hooks_) {
    if (hook->Control() == control) return hook;
  }
  return nullptr;
}

TControlHook* THookList::FindOrCreate(TWinControl* control) {
  if (TControlHook* hook = Find(control)) return hook;
  hooks_.push_back(new TControlHook(control));
  return hooks_.back();
}

void THookList::Post(uint32_t message, TControlHook* hook) {
  QCoreApplication::postEvent(window_.get(), new PostedHookMessage(message, hook));
}

void THookList::HandleMessage(uint32_t message, TControlHook* hook) {
  // A hook may have been freed since the message was posted.
  if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) return;
  if (message == CM_RECREATEHOOK) {
    if (hook->RegistrationCount() > 0) hook->Install();
  } else if (message == CM_DESTROYHOOK) {
    if (hook->RegistrationCount() == 0) delete hook;
  }
}

void THookList::Forget(TControlHook* hook) { hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end()); }
