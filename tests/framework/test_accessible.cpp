// Descriptions of self-drawn widgets: the role, the name read when asked, the parts with
// their own names, places and presses, and a description that wins over an interface
// Qt made before it.
#include "framework/accessible.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(AccessibleTest, DescribedWidgetTellsRoleNamePartsAndPresses) {
  QWidget widget;
  widget.resize(100, 40);
  QString state = QStringLiteral("leer");
  int pressed = 0, partPressed = 0;
  AccessiblePart button{QAccessible::Button, [] { return QStringLiteral("Schließen"); }, [] { return QRect(80, 0, 20, 20); },
                        [&] { ++partPressed; }, {}};
  AccessiblePart bar{QAccessible::TitleBar, [] { return QStringLiteral("Titel"); }, [] { return QRect(0, 0, 100, 20); }, {},
                     {button}};
  DescribeAccessible(&widget, {QAccessible::Graphic, [&] { return QStringLiteral("Dia: ") + state; },
                               [] { return QStringLiteral("Strg+1"); }, [&] { ++pressed; }, {bar}});
  ASSERT_TRUE(HasAccessibleDescription(&widget));

  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
  EXPECT_EQ(face->role(), QAccessible::Graphic);
  EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Dia: leer"));
  state = QStringLiteral("Strand.jpg");  // the name follows what the widget shows
  EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Dia: Strand.jpg"));
  EXPECT_EQ(face->text(QAccessible::Description), QStringLiteral("Strg+1"));
  face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(pressed, 1);

  ASSERT_EQ(face->childCount(), 1);
  QAccessibleInterface* titleBar = face->child(0);
  EXPECT_EQ(titleBar->role(), QAccessible::TitleBar);
  EXPECT_EQ(titleBar->parent(), face);
  EXPECT_EQ(face->indexOfChild(titleBar), 0);
  EXPECT_EQ(titleBar->actionInterface(), nullptr);  // a click on it does nothing
  QAccessibleInterface* close = titleBar->child(0);
  EXPECT_EQ(close->text(QAccessible::Name), QStringLiteral("Schließen"));
  EXPECT_EQ(close->rect(), QRect(widget.mapToGlobal(QPoint(80, 0)), QSize(20, 20)));
  close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(partPressed, 1);
}

TEST(AccessibleTest, ADescriptionReplacesAnInterfaceMadeBeforeIt) {
  QWidget widget;
  widget.setAccessibleName(QStringLiteral("vorher"));
  ASSERT_EQ(QAccessible::queryAccessibleInterface(&widget)->role(), QAccessible::Client);
  DescribeAccessible(&widget, {QAccessible::ToolBar, [] { return QStringLiteral("Werkzeugleiste"); }, {}, {}, {}});
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&widget)->role(), QAccessible::ToolBar);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&widget)->text(QAccessible::Name), QStringLiteral("Werkzeugleiste"));
}

}  // namespace
