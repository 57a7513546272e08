#include "framework/drag_drop.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace {

const char* const kDropTargetProperty = "velarimDropTarget";

// Turns Qt's drag events on one control's widget into its drag handlers.
class DropTarget : public QObject {
 public:
  DropTarget(TControl* target, TDragOverEvent over, TDragDropEvent drop)
      : QObject(target->Widget()), target_(target), over_(std::move(over)), drop_(std::move(drop)) {}

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter: return dragMoved(static_cast<QDragMoveEvent*>(event), TDragState::dsDragEnter);
      case QEvent::DragMove: return dragMoved(static_cast<QDragMoveEvent*>(event), TDragState::dsDragMove);
      case QEvent::DragLeave: return dragLeft();
      case QEvent::Drop: return dropped(static_cast<QDropEvent*>(event));
      default: return false;
    }
  }

 private:
  static TControl* sourceOf(const QDropEvent* event) {
    const auto* data = qobject_cast<const ControlDragData*>(event->mimeData());
    return data ? data->Source() : nullptr;
  }

  bool dragMoved(QDragMoveEvent* event, TDragState state) {
    TControl* source = sourceOf(event);
    bool accept = false;
    if (source && over_) {
      const QPoint p = event->position().toPoint();
      over_(target_, source, p.x(), p.y(), state, accept);
    }
    if (accept) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
    return true;
  }

  bool dragLeft() {
    bool accept = false;
    if (over_) over_(target_, nullptr, 0, 0, TDragState::dsDragLeave, accept);
    return true;
  }

  bool dropped(QDropEvent* event) {
    TControl* source = sourceOf(event);
    if (!source || !drop_) {
      event->ignore();
      return true;
    }
    event->acceptProposedAction();
    const QPoint p = event->position().toPoint();
    drop_(target_, source, p.x(), p.y());
    return true;
  }

  TControl* target_;
  TDragOverEvent over_;
  TDragDropEvent drop_;
};

}  // namespace

ControlDragData::ControlDragData(TControl* source) : sourceWidget_(source->Widget()), source_(source) {
  setData(Format(), QByteArray());
}

TControl* ControlDragData::Source() const { return sourceWidget_ ? source_ : nullptr; }

const QString& ControlDragData::Format() {
  static const QString format = QStringLiteral("application/x-velarim-control-drag");
  return format;
}

void SetDragHandlers(TControl* target, TDragOverEvent OnDragOver, TDragDropEvent OnDragDrop) {
  QWidget* widget = target->Widget();
  // A control has one pair of handlers: new ones replace the old.
  delete widget->property(kDropTargetProperty).value<QObject*>();
  auto* filter = new DropTarget(target, std::move(OnDragOver), std::move(OnDragDrop));
  widget->installEventFilter(filter);
  widget->setProperty(kDropTargetProperty, QVariant::fromValue<QObject*>(filter));
  widget->setAcceptDrops(true);
}

void BeginDrag(TControl* source, const QList<QUrl>& urls) {
  auto* drag = new QDrag(source->Widget());
  auto* data = new ControlDragData(source);
  if (!urls.isEmpty()) data->setUrls(urls);
  drag->setMimeData(data);
  drag->exec(Qt::CopyAction, Qt::CopyAction);
}
