#include "chrome/info_form.h"

#include "chrome/bevel.h"
#include "chrome/button_bar.h"
#include "chrome/url_label.h"
#include "chrome/version_resource.h"
#include "framework/menus.h"
#include "framework/place_control.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

TFormHHInfo* FormHHInfo = nullptr;

namespace {

constexpr int kEscape = 27;

QFont DesignFont(const QString& family, int points, bool bold = false) {
  QFont font(family);
  font.setPixelSize(points * 96 / 72);
  font.setBold(bold);
  return font;
}

// Image 0 of the window's image list: a blue round sign with a white "i".
QPixmap InfoImage() {
  QPixmap image(16, 16);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(0, 0, 128));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
  painter.setPen(Qt::white);
  painter.setFont(DesignFont(QStringLiteral("Arial"), 8, true));
  painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("i"));
  return image;
}

}  // namespace

class TFormHHInfo::KeyPreviewFilter : public QObject {
 public:
  explicit KeyPreviewFilter(TFormHHInfo* form) : form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override { return form_->previewEvent(watched, event); }

 private:
  TFormHHInfo* form_;
};

TFormHHInfo::TFormHHInfo(TComponent* AOwner) : TForm(AOwner), keyPreview_(new KeyPreviewFilter(this)) {
  SetName(QStringLiteral("FormHHInfo"));
  SetBorderStyle(TFormBorderStyle::bsSingle);
  SetPosition(TPosition::poScreenCenter);
  SetKeyPreview(true);
  SetClientSize(484, 386);
  SetCaption(WebAddress() + QStringLiteral(" .. immer ein Besuch wert"));
  widget_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  widget_->setFixedSize(widget_->size());

  abcButtonBar1 = Place<TabcButtonBar>(this, "abcButtonBar1", this, 0, 0, 484, 386);
  abcButtonBar1->SetAlign(TAlign::alClient);
  abcButtonBar1->SetHeaderFont(DesignFont(QStringLiteral("MS Sans Serif"), 8, true), clNavy);
  abcButtonPage1 = new TabcButtonPage(this);
  abcButtonPage1->SetName(QStringLiteral("abcButtonPage1"));
  abcButtonPage1->SetButtonBar(abcButtonBar1);
  abcButtonPage1->SetCaption(QStringLiteral("Kontakt und Versionsnummer"));
  abcButtonPage1->SetImage(InfoImage());
  abcButtonPage1->Widget()->setCursor(Qt::PointingHandCursor);

  createLabels();
  createLinks();

  VersionResource1 = new TVersionResource(this);
  VersionResource1->SetName(QStringLiteral("VersionResource1"));
  VersionResource1->SetLanguage(TLanguage::lnGerman);

  qApp->installEventFilter(keyPreview_);
  FormHHInfo = this;
}

TFormHHInfo::~TFormHHInfo() {
  qApp->removeEventFilter(keyPreview_);
  delete keyPreview_;
  if (FormHHInfo == this) FormHHInfo = nullptr;
}

void TFormHHInfo::createLabels() {
  const auto label = [this](const char* name, int left, int top, int width, int height, const QFont& font) {
    auto* l = Place<TAlignedLabel>(this, name, abcButtonPage1, left, top, width, height);
    l->SetAutoSize(false);
    l->SetAlignment(TAlignment::taCenter);
    l->SetFont(font);
    l->SetFontColor(clBlack);
    l->SetTransparent(true);
    return l;
  };
  const QFont tahoma = DesignFont(QStringLiteral("Tahoma"), 9);
  const QFont arialBold = DesignFont(QStringLiteral("Arial"), 9, true);

  Label1 = label("Label1", 33, 16, 400, 37, tahoma);
  Label1->SetWordWrap(true);
  Label1->SetCaption(QStringLiteral("© 2026 Halmsee Bildwerkstatt. Alle Rechte vorbehalten.\n"
                                    "Weitergabe der Webversion nur unverändert und kostenlos."));
  Bevel1 = Place<TBevel>(this, "Bevel1", abcButtonPage1, 33, 60, 400, 93);
  Label6 = label("Label6", 43, 68, 380, 13, arialBold);
  Builtlabel = label("Builtlabel", 43, 88, 380, 13, arialBold);
  Label6->SetHeight(17);
  Builtlabel->SetHeight(17);
  Label2 = label("Label2", 33, 160, 400, 18, tahoma);
  Label2->SetCaption(QStringLiteral("E-Mail: ") + MailAddress());
  Label3 = label("Label3", 33, 181, 400, 18, tahoma);
  Label3->SetCaption(QStringLiteral("Fax: 030 23125 991"));
  Label4 = label("Label4", 33, 203, 400, 18, tahoma);
  Label4->SetCaption(QStringLiteral("Telefon: 030 23125 990"));
  Label5 = label("Label5", 33, 224, 400, 18, tahoma);
  Label5->SetCaption(QStringLiteral("Halmsee Bildwerkstatt, Am Mühlgraben 7, 14999 Halmsee"));
}

void TFormHHInfo::createLinks() {
  PopupMenu1 = new TMenuItem(this);
  PopupMenu1->SetName(QStringLiteral("PopupMenu1"));
  const int pageHeight = abcButtonPage1->Height();
  const auto link = [this](const char* name, int top, const QString& url) {
    auto* l = Place<TUrlLabel>(this, name, abcButtonPage1, 0, top, abcButtonPage1->Width(), 28);
    l->SetAutoSize(false);
    l->SetAlign(TAlign::alBottom);
    l->SetAlignment(TAlignment::taCenter);
    l->SetURL(url);
    l->SetPopupMenu(PopupMenu1);
    return l;
  };
  UrlLabel2 = link("UrlLabel2", pageHeight - 28, QStringLiteral("http://") + WebAddress());
  UrlLabel2->SetCaption(WebAddress());
  UrlLabel1 = link("UrlLabel1", pageHeight - 56, QStringLiteral("mailto:") + MailAddress());
  UrlLabel1->SetCaption(MailAddress());
}

const QString& TFormHHInfo::WebAddress() {
  static const QString address = QStringLiteral("www.velarim.example.org");
  return address;
}

const QString& TFormHHInfo::MailAddress() {
  static const QString address = QStringLiteral("kontakt@velarim.example.org");
  return address;
}

void TFormHHInfo::ShowModal() {
  modalResult_ = TModalResult::mrNone;
  widget_->setWindowModality(Qt::ApplicationModal);
  Show();
  widget_->activateWindow();
}

void TFormHHInfo::FormActivate(TObject*) {
  Label6->SetCaption(QStringLiteral("VELARIM V3.0 Webversion"));
  Builtlabel->SetCaption(QStringLiteral("Built ") + VersionResource1->VersionInfo().FileVersion);
}

void TFormHHInfo::FormKeyDown(TObject*, int& Key) {
  if (Key != kEscape) return;
  modalResult_ = TModalResult::mrCancel;
  Hide();
  Key = 0;
}

bool TFormHHInfo::previewEvent(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != widget_) return false;
  if (event->type() == QEvent::WindowActivate && watched == widget_) {
    FormActivate(this);
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* keyEvent = static_cast<QKeyEvent*>(event);
  int key = keyEvent->key() == Qt::Key_Escape ? kEscape : keyEvent->key();
  FormKeyDown(this, key);
  return key == 0;
}
