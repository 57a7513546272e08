// Velarim as a screen reader sees it: with an accessibility bus and its registry running
// on the test's display, a client of the desktop's accessibility service reads the
// program's tree and finds every control the program draws itself, and the lists, with
// its role and German name; its "press" on a slide clears the slide as a click does.
#include "main_window.h"
#include "print_road.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

namespace e2e {
namespace {

const QString kTreeScript = QStringLiteral(E2E_SOURCE_DIR "/atspi_tree.py");

// A private session bus for the test's desktop: the first program that asks it for the
// accessibility bus has it started (at-spi-bus-launcher, with the registry on that bus),
// as a desktop session does. When the session bus ends with the test, the launcher, its
// bus and the registry end with it.
class AccessibilityBus {
 public:
  explicit AccessibilityBus(const Display& display) : environment_(display.Environment()) {
    bus_ = std::make_unique<ChildProcess>(
        QStringLiteral("dbus-daemon"),
        QStringList{QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")},
        environment_);
    const std::optional<QByteArray> line = bus_->ReadLine(10s);
    if (!line) return;
    address_ = QString::fromUtf8(line->trimmed());
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
  }
  bool Ready() const { return !address_.isEmpty(); }
  const QProcessEnvironment& Environment() const { return environment_; }
  QStringList ProgramEnvironment() const {
    return {QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + address_, QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"),
            QStringLiteral("QT_ACCESSIBILITY=1")};
  }

 private:
  QProcessEnvironment environment_;
  QString address_;
  std::unique_ptr<ChildProcess> bus_;
};

struct Node {
  QString role;
  QString name;
  QString actions;
  bool operator<(const Node& other) const { return std::tie(role, name) < std::tie(other.role, other.name); }
};

// The tree's objects as the client printed them, by role and name.
std::set<Node> ReadTree(const AccessibilityBus& bus, const QStringList& press = {}) {
  const ToolResult result = RunTool(QStringLiteral("/usr/bin/python3"),
                                    QStringList{kTreeScript, QStringLiteral("Velarim"), QStringLiteral("20")} + press,
                                    bus.Environment(), 40s);
  EXPECT_TRUE(result.ok()) << result.output.toStdString();
  std::set<Node> nodes;
  // Depth, role, name and actions; a menu item's name holds its shortcut after a tab.
  for (const QByteArray& line : result.output.split('\n')) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() >= 4) {
      nodes.insert({QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2]), QString::fromUtf8(fields.back())});
    }
  }
  return nodes;
}

TEST(AccessibleTreeTest, AScreenReaderFindsEveryControlWithRoleAndGermanName) {
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  ASSERT_TRUE(QuadrantPicture(QSize(60, 40), {Qt::red, Qt::green, Qt::blue, Qt::yellow})
                  .save(pictures.filePath(QStringLiteral("Strand.jpg")), "JPEG"));
  ASSERT_TRUE(QDir(pictures.path()).mkdir(QStringLiteral("Urlaub")));
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  AccessibilityBus bus(display);
  ASSERT_TRUE(bus.Ready()) << "no accessibility bus";
  Velarim velarim(display, {.settings = LastFolderSettings(pictures.path()), .environment = bus.ProgramEnvironment()});
  const std::optional<Window> main = velarim.WaitForMainWindow(30s);
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  // Slide 2 of the first sheet filled from the keyboard, so one slide has a picture's name.
  ASSERT_TRUE(PreviewFileRow(display, *main, 0));
  display.Key(QStringLiteral("ctrl+2"));

  const std::set<Node> tree = ReadTree(bus);
  const Node expected[] = {
      // Qt hands a title bar to the desktop as a text, its buttons inside it.
      {"text", "Velarim", ""},
      {"push button", "Minimieren", ""},
      {"push button", "Maximieren", ""},
      {"push button", "Schließen", ""},
      {"menu bar", "", ""},
      {"tool bar", "Werkzeugleiste", ""},
      {"push button", "Zoomfunktion", ""},
      {"push button", "Ausgabe auf Ihrem Drucker", ""},
      {"page tab", "9 cm x 13 cm", ""},
      {"page tab", "13 cm x 9 cm", ""},
      {"image", "Vorschau (9 cm x 13 cm): Bild", ""},
      {"image", "Vorschau (13 cm x 9 cm): Bild", ""},
      {"split pane", "Vier Felder mit Trennbalken", ""},
      {"panel", "Feld oben links", ""},
      {"panel", "Feld unten rechts", ""},
      {"image", "Dia 1 von 4, 13 x 9 cm: leer", ""},
      {"image", "Dia 2 von 4, 13 x 9 cm: Strand.jpg", ""},
      {"image", "Dia 3 von 4, 13 x 9 cm: leer", ""},
      {"image", "Dia 4 von 4, 13 x 9 cm: leer", ""},
      {"image", "Dia 1 von 4, 9 x 13 cm: leer", ""},
      {"image", "Dia 4 von 4, 9 x 13 cm: leer", ""},
      {"text", "Dateimasken", ""},
      {"check box", "Grafik-Vorschau zeigen ", ""},
      {"list", "Ordnerliste", ""},
      {"list item", "Urlaub", ""},
      {"separator", "Trennbalken zwischen Ordner- und Dateiliste", ""},
      {"list", "Dateiliste", ""},
      {"list item", "Strand.jpg", ""},
  };
  for (const Node& node : expected) {
    EXPECT_TRUE(tree.count(node)) << node.role.toStdString() << " \"" << node.name.toStdString() << "\" not found";
  }
  // The drive selector is Qt's own: on Linux it is named by the drive it shows.
  EXPECT_TRUE(std::any_of(tree.begin(), tree.end(), [](const Node& node) { return node.role == QStringLiteral("combo box"); }));
  const auto slide = tree.find({QStringLiteral("image"), QStringLiteral("Dia 2 von 4, 13 x 9 cm: Strand.jpg"), {}});
  ASSERT_NE(slide, tree.end());
  EXPECT_TRUE(slide->actions.contains(QStringLiteral("Press"))) << slide->actions.toStdString();

  // The screen reader's press clears the slide, and its name says so (read afresh, past
  // the client's cache of names).
  ReadTree(bus, {QStringLiteral("image"), QStringLiteral("Dia 2 von 4, 13 x 9 cm: Strand.jpg")});
  EXPECT_TRUE(WaitUntil(
      [&] { return ReadTree(bus).count({QStringLiteral("image"), QStringLiteral("Dia 2 von 4, 13 x 9 cm: leer"), {}}) != 0; },
      30s));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
