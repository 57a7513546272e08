// The component framework: alignment, the error report's text, menus and shortcuts,
// window procedures, and the close protocol of forms.
#include "framework/align.h"
#include "framework/application.h"
#include "platform/errors.h"
#include "framework/form.h"
#include "framework/image_list.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

struct AlignCase {
  const char* name;
  std::vector<AlignItem> items;
  std::vector<QRect> expected;
};

class AlignTest : public ::testing::TestWithParam<AlignCase> {};

TEST_P(AlignTest, PlacesControlsInEdgeOrder) {
  const AlignCase& c = GetParam();
  EXPECT_EQ(ArrangeAligned(QRect(0, 0, 100, 80), c.items), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Framework, AlignTest,
    ::testing::Values(
        AlignCase{"TopThenClient",
                  {{TAlign::alClient, QRect(5, 5, 10, 10)}, {TAlign::alTop, QRect(0, 0, 50, 20)}},
                  {QRect(0, 20, 100, 60), QRect(0, 0, 100, 20)}},
        AlignCase{"TopsStackByPosition",
                  {{TAlign::alTop, QRect(0, 30, 1, 10)}, {TAlign::alTop, QRect(0, 0, 1, 15)}},
                  {QRect(0, 15, 100, 10), QRect(0, 0, 100, 15)}},
        AlignCase{"LeftAfterTopAndBottom",
                  {{TAlign::alLeft, QRect(0, 0, 30, 1)},
                   {TAlign::alBottom, QRect(0, 0, 1, 10)},
                   {TAlign::alTop, QRect(0, 0, 1, 20)}},
                  {QRect(0, 20, 30, 50), QRect(0, 70, 100, 10), QRect(0, 0, 100, 20)}},
        AlignCase{"LeftThenSplitterThenClient",
                  {{TAlign::alLeft, QRect(0, 0, 40, 1)},
                   {TAlign::alLeft, QRect(40, 0, 3, 1)},
                   {TAlign::alClient, QRect(0, 0, 1, 1)}},
                  {QRect(0, 0, 40, 80), QRect(40, 0, 3, 80), QRect(43, 0, 57, 80)}},
        AlignCase{"InvisibleTakesNoSpace",
                  {AlignItem{TAlign::alTop, QRect(0, 0, 1, 20), false}, {TAlign::alClient, QRect()}},
                  {QRect(0, 0, 1, 20), QRect(0, 0, 100, 80)}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ErrorReport, AppendsFullStopAfterLettersAndDigitsOnly) {
  EXPECT_EQ(ErrorReportText(QStringLiteral("Datei nicht gefunden")), QStringLiteral("Datei nicht gefunden."));
  EXPECT_EQ(ErrorReportText(QStringLiteral("E/A-Fehler 13")), QStringLiteral("E/A-Fehler 13."));
  EXPECT_EQ(ErrorReportText(QStringLiteral("Achtung !")), QStringLiteral("Achtung !"));
  EXPECT_EQ(ErrorReportText(QStringLiteral("(siehe oben)")), QStringLiteral("(siehe oben)"));
  EXPECT_EQ(ErrorReportText(QStringLiteral("Ende.")), QStringLiteral("Ende."));
  EXPECT_EQ(ErrorReportText(QStringLiteral("Liste,")), QStringLiteral("Liste,"));
  EXPECT_EQ(ErrorReportText(QString()), QString());
}

TEST(ErrorReport, ShowsStopIconWithApplicationTitle) {
  ScriptedDialogs dialogs;
  CreateApplication()->SetTitle(QStringLiteral("Velarim"));
  Application()->HandleException(EInOutError(2));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Datei nicht gefunden."));
  EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Velarim"));
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Error);

  Application()->ShowNotice(QStringLiteral("Bitte wählen Sie zuerst ein Bild aus !"));
  EXPECT_EQ(dialogs.shown[1].icon, MessageIcon::None);
  EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Bitte wählen Sie zuerst ein Bild aus !"));
}

TEST(ErrorReport, SilentAbortShowsNothing) {
  ScriptedDialogs dialogs;
  CreateApplication()->HandleException(EAbort());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(Hints, ShortAndLongPartsSplitAtBar) {
  EXPECT_EQ(GetShortHint(QStringLiteral("Leinwand für die Anzeige des Bildes|")),
            QStringLiteral("Leinwand für die Anzeige des Bildes"));
  EXPECT_EQ(GetLongHint(QStringLiteral("kurz|lang")), QStringLiteral("lang"));
  EXPECT_EQ(GetShortHint(QStringLiteral("Zoomfunktion")), QStringLiteral("Zoomfunktion"));
}

class MenuForm : public TForm {
 public:
  explicit MenuForm(TComponent* owner) : TForm(owner) {
    menu = new TMainMenu(this);
    file = new TMenuItem(this);
    file->SetCaption(QStringLiteral("&Datei"));
    menu->Items()->Add(file);
    hidden = addItem(QKeySequence(Qt::CTRL | Qt::Key_A));
    hidden->SetVisible(false);
    disabled = addItem(QKeySequence(Qt::CTRL | Qt::Key_S));
    disabled->SetEnabled(false);
    SetMenu(menu);
    edit = new TEdit(this);
    edit->SetParent(this);
  }
  TMenuItem* addItem(const QKeySequence& key) {
    auto* item = new TMenuItem(this);
    item->SetCaption(QStringLiteral("x"));
    item->SetShortCut(key);
    item->OnClick = [this, item](TObject*) { clicked.push_back(item); };
    file->Add(item);
    return item;
  }
  TMainMenu* menu;
  TMenuItem* file;
  TMenuItem* hidden;
  TMenuItem* disabled;
  TEdit* edit;
  std::vector<TMenuItem*> clicked;
};

void PressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(target, &press);
}

TEST(Menus, HiddenEnabledItemPerformsOnShortcutDisabledDoesNot) {
  MenuForm form(nullptr);
  // The key reaches the form while the edit field has the focus: the menu sees it first.
  PressKey(form.edit->Widget(), Qt::Key_A, Qt::ControlModifier);
  PressKey(form.edit->Widget(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(form.clicked.size(), 1u);
  EXPECT_EQ(form.clicked[0], form.hidden);
}

TEST(Menus, QtActionsFollowItemStates) {
  MenuForm form(nullptr);
  EXPECT_FALSE(form.hidden->Action()->isVisible());
  EXPECT_FALSE(form.disabled->Action()->isEnabled());
  EXPECT_TRUE(form.hidden->Action()->text().startsWith(QStringLiteral("x\t")));
}

TEST(Menus, SeparatorShowsNoText) {
  TMainMenu menu(nullptr);
  auto* file = new TMenuItem(&menu);
  auto* separator = new TMenuItem(&menu);
  separator->SetCaption(QStringLiteral("-"));
  file->Add(separator);
  menu.Items()->Add(file);
  QMenuBar bar;
  menu.BuildMenuBar(&bar);
  EXPECT_TRUE(separator->Action()->isSeparator());
  EXPECT_TRUE(separator->Action()->text().isEmpty());
}

TEST(Menus, ItemsShowTheGlyphOfTheirImageIndex) {
  TMainMenu menu(nullptr);
  TImageList images(nullptr);
  QPixmap red(16, 16);
  red.fill(Qt::red);
  images.SetGlyph(9, QIcon(red));
  menu.SetImages(&images);
  auto* file = new TMenuItem(&menu);
  auto* print = new TMenuItem(&menu);
  auto* other = new TMenuItem(&menu);
  print->SetImageIndex(9);
  other->SetImageIndex(4);  // an index without a glyph
  file->Add(print);
  file->Add(other);
  menu.Items()->Add(file);
  QMenuBar bar;
  menu.BuildMenuBar(&bar);
  ASSERT_FALSE(print->Action()->icon().isNull());
  EXPECT_EQ(print->Action()->icon().pixmap(16, 16).toImage().pixel(8, 8), qRgb(255, 0, 0));
  EXPECT_TRUE(other->Action()->icon().isNull());
  EXPECT_TRUE(file->Action()->icon().isNull());
}

TEST(WindowProc, ReplacedProcedureSeesMessagesAndChains) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  std::vector<uint32_t> seen;
  TWndMethod previous = panel->WindowProc;
  panel->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    previous(m);
  };
  panel->Perform(WM_USER + 1, 7, 9);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], WM_USER + 1);
}

// The geometry a window gets when the pointer has pulled its title bar or an edge by an
// offset before the window manager takes the drag over.
TEST(Frame, DraggedGeometryFollowsThePulledEdges) {
  const QRect start(100, 50, 400, 300);
  const QPoint by(30, -20);
  const struct {
    Qt::Edges edges;
    QRect expected;
  } cases[] = {
      {{}, QRect(130, 30, 400, 300)},
      {Qt::RightEdge | Qt::BottomEdge, QRect(100, 50, 430, 280)},
      {Qt::LeftEdge, QRect(130, 50, 370, 300)},
      {Qt::TopEdge, QRect(100, 30, 400, 320)},
      {Qt::TopEdge | Qt::LeftEdge, QRect(130, 30, 370, 320)},
  };
  for (const auto& c : cases) EXPECT_EQ(DraggedGeometry(start, c.edges, by), c.expected) << int(c.edges);
}

TEST(Frame, LayoutAndHitTest) {
  const FrameLayout f = ComputeFrameLayout(QSize(718, 465), 4, 19, 20);
  EXPECT_EQ(f.window, QRect(0, 0, 726, 512));
  EXPECT_EQ(f.client, QRect(4, 43, 718, 465));
  EXPECT_EQ(FrameHitTest(f, 4, QPoint(100, 10), true), HTCAPTION);
  EXPECT_EQ(FrameHitTest(f, 4, f.closeButton.center(), true), HTCLOSE);
  EXPECT_EQ(FrameHitTest(f, 4, QPoint(100, 30), true), HTMENU);
  EXPECT_EQ(FrameHitTest(f, 4, QPoint(100, 200), true), HTCLIENT);
  EXPECT_EQ(FrameHitTest(f, 4, QPoint(1, 200), true), HTLEFT);
  EXPECT_EQ(FrameHitTest(f, 4, QPoint(725, 511), true), HTBOTTOMRIGHT);
  EXPECT_EQ(FrameHitTest(f, 4, QPoint(1, 200), false), HTCAPTION);
}

// The press of a second click in a row reaches the frame only as a double click.
TEST(Frame, CloseButtonClosesAlsoOnTheSecondClickOfADoubleClick) {
  TForm form(nullptr);
  form.SetOwnFrame(true);
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  form.Show();
  const QPointF button = form.Frame().closeButton.center();
  const QPointF global = form.Widget()->mapToGlobal(button);
  QMouseEvent doubleClick(QEvent::MouseButtonDblClick, button, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, button, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form.Widget(), &doubleClick);
  QApplication::sendEvent(form.Widget(), &release);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form.Visible());
}

TEST(Forms, SecondaryFormHidesOnClose) {
  TForm form(nullptr);
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    EXPECT_EQ(action, TCloseAction::caHide);
  };
  form.Show();
  form.Close();
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form.Visible());
}

TEST(Forms, CloseQueryCanRefuse) {
  TForm form(nullptr);
  int closes = 0;
  form.OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  form.Show();
  form.Close();
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(form.Visible());
}

TEST(Components, OwnerDestroysOwnedNewestFirst) {
  std::vector<QString> order;
  struct Tracked : TComponent {
    Tracked(TComponent* owner, QString name, std::vector<QString>& log) : TComponent(owner), log_(log) {
      SetName(std::move(name));
    }
    ~Tracked() override { log_.push_back(Name()); }
    std::vector<QString>& log_;
  };
  {
    TComponent owner(nullptr);
    new Tracked(&owner, QStringLiteral("a"), order);
    new Tracked(&owner, QStringLiteral("b"), order);
    EXPECT_EQ(owner.ComponentCount(), 2);
  }
  EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("b"), QStringLiteral("a")}));
}

}  // namespace

namespace {

class ThrowingObject : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw EInOutError(5);
    return QObject::event(event);
  }
};

TEST(ErrorReport, ErrorEscapingAnEventHandlerIsReportedAndTheLoopGoesOn) {
  ScriptedDialogs dialogs;
  ThrowingObject target;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&target, &event);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Dateizugriff verweigert."));
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Error);
}

}  // namespace
