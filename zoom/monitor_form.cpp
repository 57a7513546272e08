#include "zoom/monitor_form.h"

#include "framework/menus.h"
#include "picture/image_control.h"
#include "platform/errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QWindow>

namespace {

TMenuItem* MenuItem(TFormMonitor* form, const char* name, TMenuItem* parent, const QString& caption,
                    std::function<void(TObject*)> handler = {}) {
  auto* item = new TMenuItem(form);
  item->SetName(QString::fromLatin1(name));
  item->SetCaption(caption);
  item->OnClick = std::move(handler);
  parent->Add(item);
  return item;
}

}  // namespace

TFormMonitor::TFormMonitor(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("FormMonitor"));
  // Opens at its designed position; the window system has no default size for new
  // windows here, so the designed outer size stands in for it.
  SetPosition(TPosition::poDefaultSizeOnly);
  SetBounds(279, 177, 400, 300);
  SetClientSize(392, 273);
  SetColor(clBtnFace);
  SetCaption(QStringLiteral("Monitor"));

  ImageMonitor = new TImage(this);
  ImageMonitor->SetName(QStringLiteral("ImageMonitor"));
  ImageMonitor->SetParent(this);
  ImageMonitor->SetAlign(TAlign::alClient);
  ImageMonitor->SetStretch(true);
  createMenu();

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

void TFormMonitor::createMenu() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName(QStringLiteral("MainMenu1"));
  TMenuItem* top = MainMenu1->Items();
  Ende1 = MenuItem(this, "Ende1", top, QStringLiteral("&Ende"), [this](TObject* s) { Ende1Click(s); });
  Anzeige1 = MenuItem(this, "Anzeige1", top, QStringLiteral("&Anzeige"));
  ImmerimVordergrund1 = MenuItem(this, "ImmerimVordergrund1", Anzeige1, QStringLiteral("&Immer im Vordergrund"),
                                 [this](TObject* s) { ImmerimVordergrund1Click(s); });
  NichtimVordergrund1 = MenuItem(this, "NichtimVordergrund1", Anzeige1, QStringLiteral("&Nicht im Vordergrund"),
                                 [this](TObject* s) { NichtimVordergrund1Click(s); });
  Bearbeiten1 = MenuItem(this, "Bearbeiten1", top, QStringLiteral("&Bearbeiten"));
  InZwischenablagekopieren1 =
      MenuItem(this, "InZwischenablagekopieren1", Bearbeiten1, QStringLiteral("&In Zwischenablage kopieren"),
               [this](TObject* s) { InZwischenablagekopieren1Click(s); });
  Aktuel1 = MenuItem(this, "Aktuel1", top, QStringLiteral("Aktualisieren"), [this](TObject* s) { Aktuel1Click(s); });
  SetMenu(MainMenu1);
}

void TFormMonitor::FormCreate(TObject*) { SetCaption(QStringLiteral("VELARIM--> Zoomansicht ...")); }

void TFormMonitor::Ende1Click(TObject*) { Close(); }

void TFormMonitor::ImmerimVordergrund1Click(TObject*) { setTopmost(true); }

void TFormMonitor::NichtimVordergrund1Click(TObject*) { setTopmost(false); }

bool TFormMonitor::Topmost() const { return Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

// Changes only the window manager's "above" state of the existing window: changing the
// widget's flags would hide and re-create it, and it could come back elsewhere.
void TFormMonitor::setTopmost(bool topmost) {
  QWidget* window = Widget();
  window->overrideWindowFlags(window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, topmost));
  if (QWindow* handle = window->windowHandle()) handle->setFlag(Qt::WindowStaysOnTopHint, topmost);
}

QImage TFormMonitor::CaptureClientArea() {
  QWidget* client = ClientWidget();
  QImage capture(client->size(), QImage::Format_RGB32);
  capture.fill(ToQColor(clBtnFace));
  QPainter painter(&capture);
  client->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  return capture;
}

void TFormMonitor::InZwischenablagekopieren1Click(TObject*) {
  const QImage capture = CaptureClientArea();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) throw Exception(kClipboardUnavailable);
  clipboard->setImage(capture);
  // The system may refuse the clipboard to us (another program holds on to it).
  const QMimeData* placed = clipboard->mimeData();
  if (!placed || !placed->hasImage()) throw Exception(kClipboardUnavailable);
}

void TFormMonitor::Aktuel1Click(TObject*) {
  if (ZoomCommand) ZoomCommand(this);
}
