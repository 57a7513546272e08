#include "framework/form_accessible.h"

#include "framework/accessible.h"
#include "framework/form.h"

#include <QWidget>

namespace {

bool Sizeable(const TForm* form) {
  return form->BorderStyle() == TFormBorderStyle::bsSizeable || form->BorderStyle() == TFormBorderStyle::bsSizeToolWin;
}

// A rectangle of the frame layout in the widget's coordinates; none while the form draws
// no frame of its own.
std::function<QRect()> FramePlace(const TForm* form, QRect FrameLayout::*member, bool onlySizeable) {
  return [form, member, onlySizeable] {
    if (!form->OwnFrame() || (onlySizeable && !Sizeable(form))) return QRect();
    return (form->Frame().*member).translated(form->FrameOrigin());
  };
}

AccessiblePart CaptionButton(TForm* form, QRect FrameLayout::*member, bool onlySizeable,
                             std::function<QString()> name, std::function<void()> press) {
  return AccessiblePart{QAccessible::Button, std::move(name), FramePlace(form, member, onlySizeable), std::move(press), {}};
}

}  // namespace

void DescribeOwnFrame(TForm* form) {
  QWidget* window = form->Widget();
  AccessiblePart titleBar{QAccessible::TitleBar, [form] { return form->Caption(); },
                          FramePlace(form, &FrameLayout::caption, false), {}, {}};
  titleBar.parts = {
      CaptionButton(form, &FrameLayout::minButton, true, [] { return QStringLiteral("Minimieren"); },
                    [window] { window->showMinimized(); }),
      CaptionButton(form, &FrameLayout::maxButton, true,
                    [window] { return window->isMaximized() ? QStringLiteral("Wiederherstellen") : QStringLiteral("Maximieren"); },
                    [window] { window->isMaximized() ? window->showNormal() : window->showMaximized(); }),
      CaptionButton(form, &FrameLayout::closeButton, false, [] { return QStringLiteral("Schließen"); },
                    [form] { form->Close(); }),
  };
  DescribeAccessible(window, AccessibleDescription{QAccessible::Window, [form] { return form->Caption(); }, {}, {}, {titleBar}});
}
