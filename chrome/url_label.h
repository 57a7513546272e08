#pragma once
// Labels of the information window: a label with a text alignment, and the link label
// that hands its target to the desktop shell when clicked.

#include "framework/std_controls.h"

#include <QPointer>

class TMenuItem;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TAlignedLabel : public TLabel {
 public:
  explicit TAlignedLabel(TComponent* AOwner) : TLabel(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TAlignedLabel"); }

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

 protected:
  void Paint(QPainter& painter) override;

 private:
  TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TUrlLabel : public TAlignedLabel {
 public:
  explicit TUrlLabel(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TUrlLabel"); }

  const QString& URL() const { return url_; }
  void SetURL(const QString& url) { url_ = url; }
  // A context menu of the form that replaces the label's own one ("Copy"); one
  // without items shows nothing.
  void SetPopupMenu(TMenuItem* menu) { popupMenu_ = menu; }

  // Opens URL (or, when that is blank, the caption) through the shell.
  void Click() override;

 protected:
  void MouseDown(TMouseButton button, const QPoint& pos) override;
  void MouseUp(TMouseButton button, const QPoint& pos) override;

 private:
  void showContextMenu(const QPoint& pos);

  QString url_;
  TColor activeColor_ = clPurple;
  TColor colorBeforePress_ = clBlack;
  bool pressed_ = false;
  TMenuItem* popupMenu_ = nullptr;
};
