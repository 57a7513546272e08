#include "chrome/speed_item_access.h"

#include "chrome/speed_bar.h"
#include "framework/accessible.h"
#include "framework/keyboard_press.h"

void MakeSpeedItemAccessible(TSpeedItem* item) {
  MakeKeyboardPressable(item);
  DescribeAccessible(item->Widget(), AccessibleDescription{
                                         QAccessible::Button,
                                         // The pop-up's text, the short part of the hint.
                                         [item] { return item->Hint().section(u'|', 0, 0); },
                                         {},
                                         [item] { item->Click(); },
                                         {}});
}
