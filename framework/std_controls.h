#pragma once
// The standard controls the program's windows are built from: panels with bevels,
// labels, edit fields, check boxes and buttons.

#include "framework/control.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomPanel"); }

  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel bevel);
  TPanelBevel BevelInner() const { return bevelInner_; }
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);

 protected:
  void Paint(QPainter& painter) override;
  QMargins ContentMargins() const override;

 private:
  TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
  TPanelBevel bevelInner_ = TPanelBevel::bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
};

// The plain panel: the kind the main window frames at start-up.
class TPanel : public TCustomPanel {
 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TPanel"); }
};

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TLabel"); }

  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  // An auto-sized label takes the size of its one-line text.
  void SetAutoSize(bool autoSize);
  void SetCaption(const QString& caption) override;
  // The caption as shown: "&&" is one "&", a single "&" marks the access key.
  static QString DisplayText(const QString& caption);

 protected:
  void Paint(QPainter& painter) override;

 private:
  void adjustSize();

  bool wordWrap_ = false;
  bool transparent_ = false;
  bool autoSize_ = true;
};

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TEdit"); }

  QString Text() const;
  void SetText(const QString& text);
  TNotifyEvent OnChange;

 private:
  TEdit(TComponent* AOwner, HostWidget<QLineEdit>* edit);
  QLineEdit* edit_;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TCheckBox"); }

  bool Checked() const;
  void SetChecked(bool checked);
  void SetCaption(const QString& caption) override;

 private:
  TCheckBox(TComponent* AOwner, HostWidget<QCheckBox>* box);
  QCheckBox* box_;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TButton"); }
  void SetCaption(const QString& caption) override;
  void SetDefault(bool isDefault);

 private:
  TButton(TComponent* AOwner, HostWidget<QPushButton>* button);
  QPushButton* button_;
};
