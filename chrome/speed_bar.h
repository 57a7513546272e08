#pragma once
// The toolbar: a bar along one edge of the main window holding large flat picture
// buttons whose glyphs stay grey until the pointer is over them.

#include "framework/std_controls.h"

#include <QToolButton>

class TSpeedItem : public TWinControl {
 public:
  explicit TSpeedItem(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TSpeedItem"); }
  void SetGlyph(const QIcon& glyph);

 private:
  TSpeedItem(TComponent* AOwner, HostWidget<QToolButton>* button);
  QToolButton* button_;
};

class TSpeedBar : public TCustomPanel {
 public:
  explicit TSpeedBar(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TSpeedBar"); }
};
