// Controls and forms reach the application only through the services it registers, so
// they can be built, shown and closed with no application object at all.
#include "framework/application.h"
#include "framework/application_services.h"
#include "framework/form.h"
#include "framework/std_controls.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Records what the framework asks of the application.
class RecordingApplication : public ApplicationServices {
 public:
  RecordingApplication() { RegisterApplication(this); }
  ~RecordingApplication() { RegisterApplication(nullptr); }

  void ShowHintFor(TControl* control, const QPoint&) override { hintsFor.push_back(control); }
  void HandleException(const std::exception& error) override { errors.push_back(error.what()); }
  TForm* MainForm() const override { return mainForm; }
  const QString& ExeName() const override { return exeName; }
  const QString& Title() const override { return title; }
  bool Terminated() const override { return terminated; }
  void Terminate() override { terminated = true; }
  void FormDestroyed(TForm* form) override { destroyed.push_back(form); }

  std::vector<TControl*> hintsFor;
  std::vector<std::string> errors;
  std::vector<TForm*> destroyed;
  QString title = QStringLiteral("Velarim");
  QString exeName = QStringLiteral("/opt/velarim/Velarim");
  TForm* mainForm = nullptr;
  bool terminated = false;
};

void AskForHint(TControl* control) {
  const QPoint local(5, 5);
  QHelpEvent help(QEvent::ToolTip, local, control->Widget()->mapToGlobal(local));
  QCoreApplication::sendEvent(control->Widget(), &help);
}

class WithoutApplication : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroyApplication();
    ASSERT_EQ(RegisteredApplication(), nullptr);
  }
};

TEST_F(WithoutApplication, ControlsAndFormsWorkAndCreateNone) {
  {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 50, 30);
    panel->SetHint(QStringLiteral("Kurz|Lang"));
    panel->SetShowHint(true);
    form.Show();
    AskForHint(panel);
    EXPECT_FALSE(QToolTip::isVisible());
    // Without an application no form is the main form: closing hides it.
    form.Close();
    EXPECT_FALSE(form.Visible());
  }
  EXPECT_EQ(RegisteredApplication(), nullptr);
  EXPECT_EQ(Application(), nullptr);
  // What a control asks of the application has an answer without one.
  EXPECT_EQ(ApplicationMainForm(), nullptr);
  EXPECT_FALSE(ApplicationExeName().isEmpty());
}

TEST_F(WithoutApplication, ErrorInOnCreateGoesToTheCaller) {
  TForm form(nullptr);
  form.OnCreate = [](TObject*) { throw std::runtime_error("kaputt"); };
  EXPECT_THROW(form.Created(), std::runtime_error);
}

TEST_F(WithoutApplication, RegisteredServicesAreAskedInstead) {
  RecordingApplication application;
  auto form = std::make_unique<TForm>(nullptr);
  TForm* formAddress = form.get();
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 40, 20);
  form->Show();
  AskForHint(panel);
  EXPECT_EQ(application.hintsFor, std::vector<TControl*>{panel});

  form->OnCreate = [](TObject*) { throw std::runtime_error("kaputt"); };
  form->Created();
  EXPECT_EQ(application.errors, std::vector<std::string>{"kaputt"});

  application.mainForm = form.get();
  EXPECT_EQ(ApplicationMainForm(), form.get());
  EXPECT_EQ(ApplicationExeName(), application.exeName);
  form->Close();
  EXPECT_TRUE(application.terminated);

  form.reset();
  EXPECT_EQ(application.destroyed, std::vector<TForm*>{formAddress});
}

TEST(ApplicationServicesTest, TheApplicationRegistersItselfAndGetsTheHints) {
  TApplication* application = CreateApplication();
  EXPECT_EQ(Application(), application);
  EXPECT_EQ(RegisteredApplication(), application);
  QString longHint;
  application->OnHint = [&](const QString& hint) { longHint = hint; };
  {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 40, 20);
    panel->SetHint(QStringLiteral("Kurz|Lang"));
    panel->SetShowHint(true);
    form.Show();
    AskForHint(panel);
  }
  application->OnHint = nullptr;
  QToolTip::hideText();
  EXPECT_EQ(longHint, QStringLiteral("Lang"));
}

}  // namespace
