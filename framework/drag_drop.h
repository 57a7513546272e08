#pragma once
// Dragging between controls: a drag carries its source control; a control that has
// drag handlers is asked, while a drag moves over it, whether it accepts the source,
// and receives the drop. Qt's drag and drop runs underneath, so the platform shows the
// drop and no-drop cursors.

#include "framework/control.h"

#include <QMimeData>
#include <QPointer>
#include <QUrl>

enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;

// What a drag between controls carries: its source, alive or not.
class ControlDragData : public QMimeData {
  Q_OBJECT

 public:
  explicit ControlDragData(TControl* source);
  // The source control; null when it has been destroyed meanwhile.
  TControl* Source() const;
  static const QString& Format();

 private:
  QPointer<QWidget> sourceWidget_;
  TControl* source_;
};

// Makes target a drop target: OnDragOver decides (Accept starts false) whenever a drag
// of a control enters, moves over or leaves it; OnDragDrop takes an accepted drop.
// Drags that carry no control (files from other programs) are refused.
void SetDragHandlers(TControl* target, TDragOverEvent OnDragOver, TDragDropEvent OnDragDrop);

// Runs a drag with source as its source until it is dropped or cancelled. The urls
// travel beside the source, so other programs can take the drag as files.
void BeginDrag(TControl* source, const QList<QUrl>& urls = {});
