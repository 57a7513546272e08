#pragma once
// The information window: program name, version and contact, shown modally on
// request and closed with its close box or Escape.

#include "framework/form.h"

class QEvent;
class TAlignedLabel;
class TBevel;
class TMenuItem;
class TUrlLabel;
class TVersionResource;
class TabcButtonBar;
class TabcButtonPage;

enum class TModalResult { mrNone, mrOk, mrCancel };

class TFormHHInfo : public TForm {
 public:
  explicit TFormHHInfo(TComponent* AOwner);
  ~TFormHHInfo() override;
  QString ClassName() const override { return QStringLiteral("TFormHHInfo"); }

  static const QString& WebAddress();
  static const QString& MailAddress();

  // Shows the window modal to the whole application; it stays open, while the event
  // loop runs on, until Escape or the close box ends it.
  void ShowModal();
  TModalResult ModalResult() const { return modalResult_; }

  void FormActivate(TObject* Sender);
  // The key handler that sees every key of the window first (key preview).
  void FormKeyDown(TObject* Sender, int& Key);

  TabcButtonBar* abcButtonBar1;
  TabcButtonPage* abcButtonPage1;
  TAlignedLabel* Label1;
  TBevel* Bevel1;
  TAlignedLabel* Label6;
  TAlignedLabel* Builtlabel;
  TAlignedLabel* Label2;
  TAlignedLabel* Label3;
  TAlignedLabel* Label4;
  TAlignedLabel* Label5;
  TUrlLabel* UrlLabel1;
  TUrlLabel* UrlLabel2;
  TMenuItem* PopupMenu1;
  TVersionResource* VersionResource1;

 private:
  class KeyPreviewFilter;
  void createLabels();
  void createLinks();
  bool previewEvent(QObject* watched, QEvent* event);

  KeyPreviewFilter* keyPreview_;
  TModalResult modalResult_ = TModalResult::mrNone;
};

// The one information window of the program; null before it is created.
extern TFormHHInfo* FormHHInfo;
