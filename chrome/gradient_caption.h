#pragma once
// The caption component of a form that draws its own frame: it watches the form's
// non-client painting and paints the title bar with a text of its own, FormCaption,
// which may differ from the form's window text.

#include "framework/component.h"

#include <QString>

#include <memory>

class QPainter;
class TForm;

class TRxGradientCaption : public TComponent {
 public:
  // An owner that is not a form gets no caption painted.
  explicit TRxGradientCaption(TComponent* AOwner);
  ~TRxGradientCaption() override;
  QString ClassName() const override { return QStringLiteral("TRxGradientCaption"); }

  const QString& FormCaption() const { return formCaption_; }
  // A different text is stored and painted at once, before this returns.
  void SetFormCaption(const QString& caption);

 private:
  void hook();
  void paintCaption(QPainter& painter) const;
  void repaintCaption() const;

  TForm* form_;
  QString formCaption_;
  // Cleared on destruction, so the form's chained window procedure skips this caption.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
