#pragma once
// Accessibility for the controls that draw themselves. Qt's own widgets (lists, edit
// fields, check boxes, tab bars, menus) describe themselves to the desktop's assistive
// technology; a control that paints itself is only a blank widget to it. A description
// tells what the control is (its role), what it is called and shows now (its name, read
// each time it is asked for), and what a screen reader's "press" does. Parts are regions
// of a widget that act like controls of their own without being widgets (the title bar's
// buttons).

#include <QAccessible>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

struct AccessiblePart {
  QAccessible::Role role = QAccessible::NoRole;
  std::function<QString()> name;
  // The region in the widget's coordinates; an empty one is not shown now.
  std::function<QRect()> rect;
  // What a click on the region does; empty when a click does nothing.
  std::function<void()> press;
  std::vector<AccessiblePart> parts;
};

struct AccessibleDescription {
  QAccessible::Role role = QAccessible::Client;
  std::function<QString()> name;
  // A longer explanation (the keys that work on it); may be empty.
  std::function<QString()> description;
  std::function<void()> press;
  std::vector<AccessiblePart> parts;
};

// Gives the widget the description; the desktop asks for it from then on.
void DescribeAccessible(QWidget* widget, AccessibleDescription description);
// Whether the widget carries a description.
bool HasAccessibleDescription(const QWidget* widget);

// Tells assistive technology that what the description's name says has changed.
void AnnounceNameChanged(QWidget* widget);
