// The main window's chrome: the toolbar's section and wallpaper, the gradient captions
// of the title bar, and the window placement keeper.
#include "app/form_placement.h"
#include "app/main_form.h"
#include "chrome/chrome_resources.h"
#include "chrome/gradient_caption.h"
#include "chrome/speed_bar.h"

void TForm1::createChrome() {
  TSpeedbarSection* section = Toolbar->AddSection(QStringLiteral("Untitled (0)"));
  section->SetName(QStringLiteral("SpeedbarSection1"));
  ZoomBt->SetSection(section);
  DruckBt->SetSection(section);

  RxGradientCaption1 = new TRxGradientCaption(this);
  RxGradientCaption1->SetName(QStringLiteral("RxGradientCaption1"));
  RxGradientCaption1->SetFormCaption(QStringLiteral("Velarim"));

  FormPlacement1 = new TFormPlacement(this);
  FormPlacement1->SetName(QStringLiteral("FormPlacement1"));
  FormPlacement1->Loaded();
}

void TForm1::FormCreateCaption() {
  // A second caption in the window-text colour; the first one, hooked earlier, paints
  // after it and covers it.
  CreateGradientCaption(this, clWindowText);
}

void TForm1::FormCreateWallpaper() {
  if (ColorToRGB(Toolbar->Color()) == ColorToRGB(clBlack)) {
    Toolbar->SetWallpaper(QImage());
  } else {
    Toolbar->SetWallpaper(LoadBitmapResource(QStringLiteral("BACKGROUND")));
  }
}

void TForm1::FormCreateTitle() { RxGradientCaption1->SetFormCaption(QStringLiteral("VELARIM V3.0 Webversion")); }
