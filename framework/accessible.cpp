#include "framework/accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <unordered_map>

namespace {

using DescriptionPtr = std::shared_ptr<const AccessibleDescription>;

std::unordered_map<const QObject*, DescriptionPtr>& Descriptions() {
  static std::unordered_map<const QObject*, DescriptionPtr> descriptions;
  return descriptions;
}

const QString kPressAction = QAccessibleActionInterface::pressAction();

// A region of a described widget, shown to assistive technology as a control of its own.
// The cache of Qt's accessibility owns it once registered; it turns invalid with its widget.
class PartInterface : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  PartInterface(QWidget* widget, const AccessiblePart& part, QAccessibleInterface* parent)
      : widget_(widget), part_(part), parent_(parent) {
    for (const AccessiblePart& child : part_.parts) {
      auto* made = new PartInterface(widget, child, this);
      QAccessible::registerAccessibleInterface(made);
      children_.push_back(made);
    }
  }

  bool isValid() const override { return !widget_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return parent_->window(); }
  QAccessibleInterface* parent() const override { return isValid() ? parent_ : nullptr; }
  QAccessibleInterface* child(int index) const override {
    return index >= 0 && index < childCount() ? children_[static_cast<size_t>(index)] : nullptr;
  }
  int childCount() const override { return static_cast<int>(children_.size()); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (size_t i = 0; i < children_.size(); ++i) {
      if (children_[i] == child) return static_cast<int>(i);
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (PartInterface* child : children_) {
      if (child->rect().contains(x, y)) return child;
    }
    return nullptr;
  }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && part_.name && isValid() ? part_.name() : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid() || !part_.rect) return QRect();
    const QRect local = part_.rect();
    return QRect(widget_->mapToGlobal(local.topLeft()), local.size());
  }
  QAccessible::Role role() const override { return part_.role; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !isValid() || !widget_->isVisible() || !part_.rect || part_.rect().isEmpty();
    state.focusable = false;
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface && part_.press ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return part_.press ? QStringList{kPressAction} : QStringList(); }
  void doAction(const QString& name) override {
    if (name == kPressAction && part_.press && isValid()) part_.press();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<QWidget> widget_;
  AccessiblePart part_;
  QAccessibleInterface* parent_;
  std::vector<PartInterface*> children_;
};

// A self-drawn widget as its description tells it, with its parts after its child widgets.
class DescribedWidget : public QAccessibleWidget {
 public:
  DescribedWidget(QWidget* widget, DescriptionPtr description)
      : QAccessibleWidget(widget, description->role), description_(std::move(description)) {
    for (const AccessiblePart& part : description_->parts) {
      auto* made = new PartInterface(widget, part, this);
      QAccessible::registerAccessibleInterface(made);
      parts_.push_back(made);
    }
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && description_->name) return description_->name();
    if (t == QAccessible::Description && description_->description) return description_->description();
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return QAccessibleWidget::childCount() + static_cast<int>(parts_.size()); }
  QAccessibleInterface* child(int index) const override {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    const auto part = static_cast<size_t>(index - widgets);
    return part < parts_.size() ? parts_[part] : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (size_t i = 0; i < parts_.size(); ++i) {
      if (parts_[i] == child) return QAccessibleWidget::childCount() + static_cast<int>(i);
    }
    return QAccessibleWidget::indexOfChild(child);
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (PartInterface* part : parts_) {
      if (part->rect().contains(x, y)) return part;
    }
    return QAccessibleWidget::childAt(x, y);
  }
  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (description_->press && !names.contains(kPressAction)) names.prepend(kPressAction);
    return names;
  }
  void doAction(const QString& name) override {
    if (name == kPressAction && description_->press) {
      description_->press();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

 private:
  DescriptionPtr description_;
  std::vector<PartInterface*> parts_;
};

QAccessibleInterface* DescribedWidgetFactory(const QString&, QObject* object) {
  const auto found = Descriptions().find(object);
  if (found == Descriptions().end() || !object->isWidgetType()) return nullptr;
  return new DescribedWidget(static_cast<QWidget*>(object), found->second);
}

void InstallFactoryOnce() {
  static const bool installed = [] {
    QAccessible::installFactory(&DescribedWidgetFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace

void DescribeAccessible(QWidget* widget, AccessibleDescription description) {
  InstallFactoryOnce();
  const bool known = Descriptions().count(widget) != 0;
  Descriptions()[widget] = std::make_shared<const AccessibleDescription>(std::move(description));
  if (!known) QObject::connect(widget, &QObject::destroyed, [widget] { Descriptions().erase(widget); });
  // An interface made before the description (a name set through Qt, say) would hide it:
  // it is dropped, and the next question makes the described one.
  QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
  if (made && !dynamic_cast<DescribedWidget*>(made)) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

bool HasAccessibleDescription(const QWidget* widget) { return Descriptions().count(widget) != 0; }

void AnnounceNameChanged(QWidget* widget) {
  QAccessibleEvent event(widget, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}
