#include "framework/system_colors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

namespace {

constexpr uint32_t Bgr(int r, int g, int b) { return static_cast<uint32_t>(r | (g << 8) | (b << 16)); }

uint32_t BgrOfQColor(const QColor& c) { return Bgr(c.red(), c.green(), c.blue()); }

// The colours the program's windows were designed with, for the elements Qt's palette has
// no role for (captions, their gradients, frames), so these look as designed everywhere.
uint32_t DesignedColor(int index) {
  switch (index) {
    case COLOR_SCROLLBAR: return Bgr(0xC0, 0xC0, 0xC0);
    case COLOR_BACKGROUND: return Bgr(0x00, 0x80, 0x80);
    case COLOR_ACTIVECAPTION: return Bgr(0x00, 0x00, 0x80);
    case COLOR_INACTIVECAPTION: return Bgr(0x80, 0x80, 0x80);
    case COLOR_MENU: return Bgr(0xC0, 0xC0, 0xC0);
    case COLOR_WINDOW: return Bgr(0xFF, 0xFF, 0xFF);
    case COLOR_WINDOWFRAME: return Bgr(0x00, 0x00, 0x00);
    case COLOR_MENUTEXT: return Bgr(0x00, 0x00, 0x00);
    case COLOR_WINDOWTEXT: return Bgr(0x00, 0x00, 0x00);
    case COLOR_CAPTIONTEXT: return Bgr(0xFF, 0xFF, 0xFF);
    case COLOR_ACTIVEBORDER: return Bgr(0xC0, 0xC0, 0xC0);
    case COLOR_INACTIVEBORDER: return Bgr(0xC0, 0xC0, 0xC0);
    case COLOR_APPWORKSPACE: return Bgr(0x80, 0x80, 0x80);
    case COLOR_HIGHLIGHT: return Bgr(0x00, 0x00, 0x80);
    case COLOR_HIGHLIGHTTEXT: return Bgr(0xFF, 0xFF, 0xFF);
    case COLOR_BTNFACE: return Bgr(0xC0, 0xC0, 0xC0);
    case COLOR_BTNSHADOW: return Bgr(0x80, 0x80, 0x80);
    case COLOR_GRAYTEXT: return Bgr(0x80, 0x80, 0x80);
    case COLOR_BTNTEXT: return Bgr(0x00, 0x00, 0x00);
    case COLOR_INACTIVECAPTIONTEXT: return Bgr(0xC0, 0xC0, 0xC0);
    case COLOR_BTNHIGHLIGHT: return Bgr(0xFF, 0xFF, 0xFF);
    case COLOR_3DDKSHADOW: return Bgr(0x00, 0x00, 0x00);
    case COLOR_3DLIGHT: return Bgr(0xDF, 0xDF, 0xDF);
    case COLOR_INFOTEXT: return Bgr(0x00, 0x00, 0x00);
    case COLOR_INFOBK: return Bgr(0xFF, 0xFF, 0xE1);
    case COLOR_HOTLIGHT: return Bgr(0x00, 0x00, 0xFF);
    case COLOR_GRADIENTACTIVECAPTION: return Bgr(0x10, 0x84, 0xD0);
    case COLOR_GRADIENTINACTIVECAPTION: return Bgr(0xB5, 0xB5, 0xB5);
    default: return 0;
  }
}

// The Qt palette role that stands for a system colour, if any.
bool PaletteRole(int index, QPalette::ColorGroup& group, QPalette::ColorRole& role) {
  group = QPalette::Active;
  switch (index) {
    case COLOR_WINDOW: role = QPalette::Base; return true;
    case COLOR_WINDOWTEXT: role = QPalette::WindowText; return true;
    case COLOR_BTNFACE: role = QPalette::Button; return true;
    case COLOR_BTNTEXT: role = QPalette::ButtonText; return true;
    case COLOR_BTNSHADOW: role = QPalette::Dark; return true;
    case COLOR_BTNHIGHLIGHT: role = QPalette::Light; return true;
    case COLOR_3DDKSHADOW: role = QPalette::Shadow; return true;
    case COLOR_3DLIGHT: role = QPalette::Midlight; return true;
    case COLOR_HIGHLIGHT: role = QPalette::Highlight; return true;
    case COLOR_HIGHLIGHTTEXT: role = QPalette::HighlightedText; return true;
    case COLOR_INFOTEXT: role = QPalette::ToolTipText; return true;
    case COLOR_INFOBK: role = QPalette::ToolTipBase; return true;
    case COLOR_GRAYTEXT: group = QPalette::Disabled; role = QPalette::Text; return true;
    default: return false;
  }
}

}  // namespace

uint32_t GetSysColor(int index) {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && PaletteRole(index, group, role)) {
    return BgrOfQColor(QGuiApplication::palette().color(group, role));
  }
  return DesignedColor(index);
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                  ? QGuiApplication::primaryScreen()
                                  : nullptr;
      if (!screen) return index == SM_CXSCREEN ? 1024 : 768;
      return index == SM_CXSCREEN ? screen->geometry().width() : screen->geometry().height();
    }
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CYCAPTION: return 19;
    case SM_CYMENU: return 19;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
  }
}

uint32_t ColorToRGB(TColor color) {
  if (color < 0) {
    return GetSysColor(color & 0xFF);
  }
  return static_cast<uint32_t>(color) & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
  const uint32_t rgb = ColorToRGB(color);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) { return static_cast<TColor>(BgrOfQColor(color)); }
