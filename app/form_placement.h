#pragma once
// The window placement keeper: restores a form's position, size and state each time
// the form is shown and saves them when it closes, in an INI file of its own (by
// default the executable's name with ".INI", in the profile directory) under the
// form's class name.

#include "framework/component.h"
#include "framework/form.h"
#include "framework/messages.h"

#include <QPoint>
#include <QString>

class TIniFile;

// Placement flags as the window placement reports them.
enum : uint32_t { WPF_SETMINPOSITION = 1, WPF_RESTORETOMAXIMIZED = 2 };

// A window's placement: its state and the frame it has when neither minimised nor
// maximised (left, top, right, bottom, right and bottom exclusive).
struct TWindowPlacement {
  uint32_t flags = 0;
  int showCmd = SW_SHOWNORMAL;
  QPoint minPosition{-1, -1};
  QPoint maxPosition{-1, -1};
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

TWindowPlacement GetWindowPlacement(const TForm* form);
// Show command 0 changes only the frame and positions, not what the window shows.
void SetWindowPlacement(TForm* form, const TWindowPlacement& placement);

// The window state a stored show command stands for; anything unknown gives fallback.
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
TWindowState WindowStateFromShowCmd(int showCmd, TWindowState fallback);

// The words of a stored position list, split at commas and blanks; a word that is not
// an integer (or missing) takes its fallback.
std::vector<int> PositionWords(const QString& text, const std::vector<int>& fallbacks);

// Where a maximised window of this border puts its top-left corner so that its frame
// lies just outside the screen.
QPoint MaximizedPositionFor(TFormBorderStyle border);

// The screen-size suffix of the position keys, "(1024x768)".
QString ScreenSizeSuffix();
int ScreenPixelsPerInch();

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };

class TFormPlacement : public TComponent {
 public:
  explicit TFormPlacement(TComponent* AOwner);
  ~TFormPlacement() override;
  QString ClassName() const override { return QStringLiteral("TFormPlacement"); }

  // Takes over the owner form's show, close-query and destroy notifications.
  void Loaded();

  bool Active() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  unsigned Options() const { return options_; }
  void SetOptions(unsigned options) { options_ = options; }
  // The placement file, named after the executable with ".INI", and the form's section,
  // named after its class.
  QString IniFileName() const;
  QString IniSection() const;

  bool Restored() const { return restored_; }
  bool Saved() const { return saved_; }

  void SaveFormPlacement();
  void RestoreFormPlacement();

  // The keeper's text write into its section; the value reads back as it was written.
  void WriteString(TIniFile& ini, const QString& ident, const QString& value) const;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TForm* form() const;
  void formShow(TObject* sender);
  void formCloseQuery(TObject* sender, bool& canClose);
  void formDestroy(TObject* sender);
  void restorePosition(TIniFile& ini, const QString& section);
  void restoreState(TIniFile& ini, const QString& section);
  void setMaximizedPosition();

  bool active_ = true;
  unsigned options_ = fpState | fpPosition;
  int version_ = 0;
  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  bool attached_ = false;
  TNotifyEvent savedOnShow_;
  TCloseQueryEvent savedOnCloseQuery_;
  TNotifyEvent savedOnDestroy_;
};
