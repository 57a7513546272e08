#pragma once
// The toolbar: a panel docked along one edge of its window, holding large flat picture
// buttons on a tiled wallpaper. The user may drag the whole bar to another edge; the
// bar lies upright along the left and right edges.

#include "framework/std_controls.h"

#include <QImage>
#include <QPoint>

#include <memory>
#include <vector>

class TSpeedBar;
class TSpeedbarSection;
class DragFrame;

enum TSpeedbarOption : unsigned {
  sbAllowDrag = 1,
  sbAllowResize = 2,
  sbFlatBtns = 4,
  sbGrayedBtns = 8,
  sbTransparentBtns = 16,
  sbStretchBitmap = 32,
};
enum class TBarPosition { bpAuto, bpCustom };
enum class TBarOrientation { boHorizontal, boVertical };

// The edge a bar dropped at point (in its window's client coordinates, client size
// `client`) docks to: the two diagonals split the area into four triangles.
TAlign DropEdge(const QPointF& point, const QSize& client);
// A drag starts once the mouse has moved 5 pixels along either axis.
bool DragThresholdReached(const QPoint& pressed, const QPoint& now);
// The grid step along a bar for a button size (8 for 40).
int ButtonGridStep(int buttonSize);
// Snapping after a rescale: along the bar to the nearest grid line (halfway to the even
// line), across it down to the line below.
int SnapAlongBar(int position, int offset, int step);
int SnapAcrossBar(int position, int offset, int step);
// Top-left corners of the unscaled tiles that cover inner.
std::vector<QPoint> WallpaperTiles(const QRect& inner, const QSize& tile);
// The glyph in grey, (77 R + 150 G + 29 B) div 256 on all channels; pixels of the
// transparent colour and of the button face stay as they are.
QImage GrayedGlyph(const QImage& glyph, QRgb transparent, QRgb buttonFace);
// The glyph with its transparent colour (the bottom-left pixel's) made see-through.
QImage TransparentGlyph(const QImage& glyph, QRgb transparent);

// One button of the bar: shows its glyph only (the caption is not drawn).
class TSpeedItem : public TCustomControl {
 public:
  explicit TSpeedItem(TComponent* AOwner);
  ~TSpeedItem() override;
  QString ClassName() const override { return QStringLiteral("TSpeedItem"); }

  // A 16-colour picture; its bottom-left pixel's colour is its transparent colour.
  void SetGlyph(const QImage& glyph);
  TSpeedbarSection* Section() const { return section_; }
  void SetSection(TSpeedbarSection* section);

  bool Hovered() const { return hovered_; }
  bool Pressed() const { return pressed_; }
  // What the button looks like now, as painted on the screen.
  QImage Render() const;

 protected:
  void Paint(QPainter& painter) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton button, const QPoint& pos) override;
  void MouseUp(TMouseButton button, const QPoint& pos) override;

 private:
  class HoverWatch;
  TSpeedBar* bar() const;
  void setHovered(bool hovered);

  QImage glyph_;
  QImage grayGlyph_;
  QRgb transparent_ = 0;
  TSpeedbarSection* section_ = nullptr;
  bool hovered_ = false;
  bool pressed_ = false;
  std::unique_ptr<HoverWatch> hoverWatch_;
  friend class HoverWatch;
};

class TSpeedbarSection : public TComponent {
 public:
  explicit TSpeedbarSection(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TSpeedbarSection"); }
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption) { caption_ = caption; }
  const std::vector<TSpeedItem*>& Items() const { return items_; }
  void AddItem(TSpeedItem* item);
  void RemoveItem(TSpeedItem* item);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  QString caption_;
  std::vector<TSpeedItem*> items_;
};

class TSpeedBar : public TCustomPanel {
 public:
  explicit TSpeedBar(TComponent* AOwner);
  ~TSpeedBar() override;
  QString ClassName() const override { return QStringLiteral("TSpeedBar"); }

  unsigned Options() const { return options_; }
  TBarPosition Position() const { return position_; }
  TBarOrientation Orientation() const { return orientation_; }
  int BtnOffsetHorz() const { return btnOffsetHorz_; }
  int BtnOffsetVert() const { return btnOffsetVert_; }
  int BtnWidth() const { return btnWidth_; }
  void SetBtnSize(int width, int height);
  // Grid steps along x and y of the bar as it lies now.
  int GridStepHorz() const;
  int GridStepVert() const;

  // Adds a section; a caption another section has gets " (1)", " (2)", ... appended.
  TSpeedbarSection* AddSection(const QString& caption);
  const std::vector<TSpeedbarSection*>& Sections() const { return sections_; }
  // Places a button of the bar at its grid position (left, top).
  void AddItem(TSpeedbarSection* section, TSpeedItem* item, int left, int top);

  // Tiled behind the buttons; a null image means none.
  const QImage& Wallpaper() const { return wallpaper_; }
  void SetWallpaper(const QImage& wallpaper);
  // The bar's font back to the system's menu font; the desktop reports none to a program,
  // so it is the bar's designed "MS Sans Serif" 8 point in the button-text colour.
  void SetDefaultFont();

  // Docks at edge (top, bottom, left or right), lying upright along the sides.
  void DockTo(TAlign edge);
  // After a change of the screen's pixels per inch: sizes and offsets scaled by
  // multiplier / divisor, every button snapped to the grid.
  void ScaleButtons(int multiplier, int divisor);

  // The inner rectangle: inside the border and bevels.
  QRect InnerRect() const;
  // Paints what lies behind the buttons (colour and wallpaper) for area of the bar,
  // with painter's origin at area's top-left corner.
  void PaintBackground(QPainter& painter, const QRect& area) const;
  bool Dragging() const { return dragging_; }
  // Where the bar would dock when dropped at this screen point, in screen coordinates.
  QRect DropRectAt(const QPoint& screenPoint, TAlign* edge = nullptr) const;

 protected:
  void Paint(QPainter& painter) override;
  void WndProc(TMessage& message) override;

 private:
  void beginPress(const QPoint& pos);
  void dragMove(const QPoint& screenPoint);
  void endPress(const QPoint& screenPoint);
  void setOrientation(TBarOrientation orientation);

  unsigned options_ = sbAllowDrag | sbFlatBtns | sbGrayedBtns | sbTransparentBtns;
  TBarPosition position_ = TBarPosition::bpAuto;
  TBarOrientation orientation_ = TBarOrientation::boHorizontal;
  int btnOffsetHorz_ = 3;
  int btnOffsetVert_ = 8;
  int btnWidth_ = 40;
  int btnHeight_ = 40;
  std::vector<TSpeedbarSection*> sections_;
  QImage wallpaper_;
  bool pressed_ = false;
  bool dragging_ = false;
  QPoint pressPoint_;
  TAlign dropEdge_ = TAlign::alTop;
  QRect shownFrame_;
  std::unique_ptr<DragFrame> dragFrame_;
};
