#pragma once
// The gradient caption: paints a form's title bar (from the left frame edge up to the
// caption buttons) as a colour gradient with a text of its own. It watches the form's
// non-client messages through a window-message hook and paints after the form's own
// frame painting, which it keeps off the caption by taking the caption out of the
// update region.

#include "framework/component.h"
#include "framework/control.h"
#include "framework/form.h"

#include <QFont>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class TRxWindowHook;

// One band of a left-to-right gradient: x from left (inclusive) to right (exclusive).
struct GradientBand {
  int left = 0;
  int right = 0;
  uint32_t color = 0;  // 0x00BBGGRR
};

// The bands that fill width pixels from left with a gradient from start to end in
// `steps` bands: a band count below 2 fills everything with start; the pixels that the
// bands leave at the right end (width mod bands) get the end colour.
std::vector<GradientBand> GradientBands(uint32_t start, uint32_t end, int steps, int left, int width);

struct CaptionButtons {
  bool systemMenu = true;
  bool minimize = true;
  bool maximize = true;
  bool help = false;
};

// How many caption buttons the window system shows for these icons and this border.
int CaptionButtonCount(const CaptionButtons& buttons, TFormBorderStyle border);

// The caption area of a window, in the coordinates of windowRect: inside the frame,
// one pixel less than the caption height, ending where the caption buttons begin.
QRect CaptionRectangle(const QRect& windowRect, TFormBorderStyle border, int buttonCount);

// The text cut from the right with "..." until measure() says it fits width; the
// last attempt ("...") is used even if it does not fit.
QString ShortenCaptionText(const QString& text, int width, const std::function<int(const QString&)>& measure);

class TRxGradientCaption : public TComponent {
 public:
  explicit TRxGradientCaption(TComponent* AOwner);
  ~TRxGradientCaption() override;
  QString ClassName() const override { return QStringLiteral("TRxGradientCaption"); }

  bool Active() const { return active_; }
  void SetActive(bool active);
  const QString& FormCaption() const { return formCaption_; }
  void SetFormCaption(const QString& caption);
  void SetStartColor(TColor color);
  void SetGradientInactive(bool value);
  const QFont& Font() const { return font_; }
  TColor FontColor() const { return fontColor_; }
  void SetFont(const QFont& font, TColor color);
  void SetDefaultFont(bool value);

  // Installs or removes the hook and repaints the caption of a visible form at once.
  void Update();
  // Whether the caption is drawn as that of the active window.
  bool WindowActive() const { return windowActive_; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TForm* form() const;
  bool painting() const;
  QRect captionRect() const;  // in screen coordinates
  void beforeMessage(TMessage& message, bool& handled);
  void afterMessage(TMessage& message);
  void paintCaption();
  void drawCaption(QPainter& windowPainter);
  void repaintIf(bool visibleNow);
  void applyDefaultFont();

  bool active_ = true;
  QString formCaption_;
  TColor startColor_ = clWindowText;
  int gradientSteps_ = 64;
  bool gradientActive_ = true;
  bool gradientInactive_ = false;
  QFont font_;
  TColor fontColor_;
  bool defaultFont_ = true;
  TColor fontInactiveColor_;
  bool windowActive_ = true;
  TRxWindowHook* hook_;
  // The update region of a non-client paint in progress, and its replacement.
  intptr_t rememberedRegion_ = 0;
  QRegion replacementRegion_;
  bool regionReplaced_ = false;
};

// A further gradient caption owned by form, starting from startColor, showing the
// form's current window text; its hook is installed at once.
TRxGradientCaption* CreateGradientCaption(TForm* form, TColor startColor);
