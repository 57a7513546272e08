#pragma once
// The window-message hook: a component watches the messages of a windowed control
// without being that control. Each watched control gets one per-window hook
// (TControlHook) that replaces the control's window procedure and chains to the one it
// replaced; the components' registrations (TRxWindowHook) are offered every message
// before and after the control's own processing, the newest registration first.

#include "framework/component.h"
#include "framework/messages.h"

#include <functional>
#include <memory>
#include <vector>

class TWinControl;
class TControlHook;

// Private messages of the hook list's utility window.
enum : uint32_t {
  CM_RECREATEHOOK = 0xB052,  // re-install a per-window hook on its control's new window
  CM_DESTROYHOOK = 0xB053,   // free a per-window hook that has no registrations left
};

class TRxWindowHook;
using THookMessageEvent = std::function<void(TRxWindowHook* Sender, TMessage& Msg, bool& Handled)>;

class TRxWindowHook : public TComponent {
 public:
  explicit TRxWindowHook(TComponent* AOwner);
  ~TRxWindowHook() override;
  QString ClassName() const override { return QStringLiteral("TRxWindowHook"); }

  bool Active() const { return active_; }
  void SetActive(bool active);
  TWinControl* WinControl() const { return control_; }
  // Detaches from the old control, asks to be told when the new one goes, and
  // attaches while active.
  void SetWinControl(TWinControl* control);

  void HookControl();
  void UnhookControl();

  // Before the control's own processing; may change the message or set Handled.
  THookMessageEvent BeforeMessage;
  // After the control's own processing, also when that failed.
  THookMessageEvent AfterMessage;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TControlHook;
  bool active_ = true;
  TWinControl* control_ = nullptr;
  TControlHook* hook_ = nullptr;
};

// One per watched control. Lives in the hook list; its window procedure is installed in
// front of the procedure that was there before.
class TControlHook : public TComponent {
 public:
  explicit TControlHook(TWinControl* control);
  ~TControlHook() override;
  QString ClassName() const override { return QStringLiteral("TControlHook"); }

  TWinControl* Control() const { return control_; }
  int RegistrationCount() const { return static_cast<int>(registrations_.size()); }
  // Whether the hook's procedure is the one the control currently calls first.
  bool Installed() const;

  void AddRegistration(TRxWindowHook* registration);
  void RemoveRegistration(TRxWindowHook* registration);
  void Install();
  void Remove();

  // The hook's window procedure.
  void HookWndProc(TMessage& message);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  struct Procedure;
  void notify(TMessage& message, bool before, bool& handled);
  void callPrevious(TMessage& message);

  TWinControl* control_;
  std::vector<TRxWindowHook*> registrations_;
  std::shared_ptr<struct HookLink> link_;
};

// The process-wide list of per-window hooks with its hidden utility window, which
// receives the two private messages through the event queue.
class THookList {
 public:
  // Created on first need; freed by FreeHookList at the end of the program.
  static THookList& Instance();
  static void FreeHookList();

  TControlHook* Find(const TWinControl* control) const;
  TControlHook* FindOrCreate(TWinControl* control);
  int Count() const { return static_cast<int>(hooks_.size()); }

  // Posts CM_RECREATEHOOK or CM_DESTROYHOOK for hook to the utility window.
  void Post(uint32_t message, TControlHook* hook);
  // What the utility window does with a posted message.
  void HandleMessage(uint32_t message, TControlHook* hook);
  // A hook freed elsewhere leaves the list.
  void Forget(TControlHook* hook);

 private:
  THookList();
  ~THookList();
  class UtilityWindow;
  std::vector<TControlHook*> hooks_;
  std::unique_ptr<UtilityWindow> window_;
};
