#pragma once
// The zoom view window: shows the current picture stretched over its whole client
// area, stays above other windows on request, copies what it shows to the clipboard,
// and refreshes itself through the main window's zoom command.

#include "framework/form.h"

#include <functional>

class TImage;
class TMainMenu;
class TMenuItem;

inline const QString kClipboardUnavailable = QStringLiteral("Zwischenablage kann nicht geöffnet werden");

class TFormMonitor : public TForm {
 public:
  explicit TFormMonitor(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TFormMonitor"); }

  void FormCreate(TObject* Sender);
  void Ende1Click(TObject* Sender);
  void ImmerimVordergrund1Click(TObject* Sender);
  void NichtimVordergrund1Click(TObject* Sender);
  void InZwischenablagekopieren1Click(TObject* Sender);
  void Aktuel1Click(TObject* Sender);

  // Whether the window is in the band of windows kept above the others.
  bool Topmost() const;
  // The client area as the window shows it now, on the button-face background.
  QImage CaptureClientArea();

  // The main window's zoom command, run by "Aktualisieren" with this window as sender.
  std::function<void(TObject* Sender)> ZoomCommand;

  TImage* ImageMonitor;
  TMainMenu* MainMenu1;
  TMenuItem* Ende1;
  TMenuItem* Anzeige1;
  TMenuItem* ImmerimVordergrund1;
  TMenuItem* NichtimVordergrund1;
  TMenuItem* Bearbeiten1;
  TMenuItem* InZwischenablagekopieren1;
  TMenuItem* Aktuel1;

 private:
  void createMenu();
  void setTopmost(bool topmost);
};
