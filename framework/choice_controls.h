#pragma once
// Controls of choice dialogs: radio buttons (siblings exclude each other), a captioned
// group frame, and shapes (filled rectangles with an outline) for illustrations.

#include "framework/control.h"

#include <QGroupBox>
#include <QRadioButton>

class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TRadioButton"); }

  bool Checked() const;
  void SetChecked(bool checked);
  void SetCaption(const QString& caption) override;

 private:
  TRadioButton(TComponent* AOwner, HostWidget<QRadioButton>* button);
  QRadioButton* button_;
};

// A radio group used as a frame only: a caption in a bevelled border, no items.
class TRadioGroup : public TWinControl {
 public:
  explicit TRadioGroup(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TRadioGroup"); }
  void SetCaption(const QString& caption) override;

 private:
  TRadioGroup(TComponent* AOwner, HostWidget<QGroupBox>* box);
  QGroupBox* box_;
};

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TShape"); }
  void SetBrushColor(TColor color);

 protected:
  void Paint(QPainter& painter) override;

 private:
  TColor brushColor_ = clWhite;
};
