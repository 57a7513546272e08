// The window-message hook: registrations offered every message before and after the
// control's own handling, newest first; the handled flag; a window's destruction and
// re-creation; failing handlers; and the per-window hook going away with its last user.
#include "framework/application.h"
#include "framework/control.h"
#include "framework/window_hook.h"
#include "support/scripted_dialogs.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kProbe = WM_USER + 7;

// A control that notes when its own handling of a message runs.
class ProbeControl : public TCustomControl {
 public:
  ProbeControl(std::vector<std::string>* log) : TCustomControl(nullptr), log_(log) {}
  void WndProc(TMessage& message) override {
    if (message.Msg == kProbe) {
      log_->push_back("own");
      message.Result = 42;
    }
    TCustomControl::WndProc(message);
  }

 private:
  std::vector<std::string>* log_;
};

class WindowHookTest : public ::testing::Test {
 protected:
  void TearDown() override {
    delete control_;
    QCoreApplication::processEvents();
    THookList::FreeHookList();
  }

  TRxWindowHook* registration(const std::string& name) {
    auto* hook = new TRxWindowHook(nullptr);
    owned_.emplace_back(hook);
    hook->BeforeMessage = [this, name](TRxWindowHook*, TMessage& m, bool& handled) {
      if (m.Msg != kProbe) return;
      log_.push_back(name + " before");
      if (name == handling_) handled = true;
    };
    hook->AfterMessage = [this, name](TRxWindowHook*, TMessage& m, bool&) {
      if (m.Msg == kProbe) log_.push_back(name + " after");
    };
    hook->SetWinControl(control_);
    return hook;
  }

  std::vector<std::string> log_;
  std::string handling_;
  ProbeControl* control_ = new ProbeControl(&log_);
  std::vector<std::unique_ptr<TRxWindowHook>> owned_;
};

TEST_F(WindowHookTest, NewestRegistrationHearsFirstBeforeAndAfterTheControl) {
  registration("first");
  registration("second");
  EXPECT_EQ(control_->Perform(kProbe), 42);
  EXPECT_EQ(log_, (std::vector<std::string>{"second before", "first before", "own", "second after", "first after"}));
  EXPECT_EQ(THookList::Instance().Count(), 1) << "one per-window hook for both registrations";
}

TEST_F(WindowHookTest, HandledMessageSkipsTheRestAndTheControl) {
  registration("first");
  registration("second");
  handling_ = "second";
  EXPECT_EQ(control_->Perform(kProbe), 0);
  EXPECT_EQ(log_, (std::vector<std::string>{"second before"}));
}

TEST_F(WindowHookTest, FailingHandlerIsReportedAndTheOthersStillRun) {
  ScriptedDialogs dialogs;
  registration("first");
  TRxWindowHook* failing = registration("second");
  failing->BeforeMessage = [](TRxWindowHook*, TMessage& m, bool&) {
    if (m.Msg == kProbe) throw std::runtime_error("Fehler im Handler");
  };
  EXPECT_EQ(control_->Perform(kProbe), 42);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Fehler im Handler."));
  EXPECT_EQ(log_, (std::vector<std::string>{"first before", "own", "second after", "first after"}));
}

TEST_F(WindowHookTest, AfterHandlersRunWhenTheControlFails) {
  control_->WindowProc = [previous = control_->WindowProc](TMessage& m) {
    if (m.Msg == kProbe) throw std::runtime_error("kaputt");
    previous(m);
  };
  registration("first");
  registration("second");
  EXPECT_THROW(control_->Perform(kProbe), std::runtime_error);
  EXPECT_EQ(log_, (std::vector<std::string>{"second before", "first before", "second after", "first after"}));
}

TEST_F(WindowHookTest, DestroyedWindowIsHookedAgainOnceItsMessageArrives) {
  registration("first");
  TControlHook* hook = THookList::Instance().Find(control_);
  ASSERT_NE(hook, nullptr);
  control_->Perform(WM_DESTROY);
  EXPECT_FALSE(hook->Installed());
  control_->Perform(kProbe);
  EXPECT_EQ(log_, (std::vector<std::string>{"own"}));
  QCoreApplication::processEvents();
  EXPECT_TRUE(hook->Installed());
  log_.clear();
  control_->Perform(kProbe);
  EXPECT_EQ(log_, (std::vector<std::string>{"first before", "own", "first after"}));
}

TEST_F(WindowHookTest, LastRegistrationGoneRestoresTheProcedureAndFreesTheHookLater) {
  TRxWindowHook* hook = registration("first");
  hook->SetActive(false);
  control_->Perform(kProbe);
  EXPECT_EQ(log_, (std::vector<std::string>{"own"}));
  EXPECT_EQ(THookList::Instance().Count(), 1) << "freed through the posted message, not at once";
  QCoreApplication::processEvents();
  EXPECT_EQ(THookList::Instance().Count(), 0);
  hook->SetActive(true);
  log_.clear();
  control_->Perform(kProbe);
  EXPECT_EQ(log_, (std::vector<std::string>{"first before", "own", "first after"}));
}

TEST_F(WindowHookTest, ProcedureInstalledLaterStaysInTheChain) {
  TRxWindowHook* hook = registration("first");
  control_->WindowProc = [this, previous = control_->WindowProc](TMessage& m) {
    if (m.Msg == kProbe) log_.push_back("later");
    previous(m);
  };
  hook->SetActive(false);
  control_->Perform(kProbe);
  EXPECT_EQ(log_, (std::vector<std::string>{"later", "own"}));
}

TEST_F(WindowHookTest, DestroyedControlEmptiesTheRegistration) {
  TRxWindowHook* hook = registration("first");
  delete control_;
  control_ = nullptr;
  EXPECT_EQ(hook->WinControl(), nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(THookList::Instance().Count(), 0);
}

}  // namespace
