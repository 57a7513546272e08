#include "sheet/quad_split.h"

#include "framework/accessible.h"
#include "picture/icon.h"
#include "platform/errors.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>

TabcCustomQuadSplit::TabcCustomQuadSplit(TComponent* AOwner) : TabcCustomSplit(AOwner) {
  DescribeAccessible(widget_, AccessibleDescription{
                                  QAccessible::Splitter, [] { return QStringLiteral("Vier Felder mit Trennbalken"); }, {}, {}, {}});
}

void TabcCustomQuadSplit::AlignPanes() {
  const std::array<QRect, 4> bounds = QuadPaneBounds(Frame(), BarColumns(), BarRows());
  for (int i = 0; i < PaneCount() && i < static_cast<int>(bounds.size()); ++i) {
    const QRect& r = bounds[static_cast<size_t>(i)];
    Panes(i)->SetBounds(r.left(), r.top(), r.width(), r.height());
  }
}

void TabcCustomQuadSplit::PaintBars(QPainter& painter) {
  const SplitFrame frame = Frame();
  const auto [first, second] = BarColours();
  for (const BarLine& line : QuadBarLines(frame, BarColumns(), BarRows())) {
    painter.setPen(line.firstColour ? first : second);
    painter.drawLine(line.from, line.to);
  }
  if (SplitColor() == Color()) return;
  for (const QRect& face : QuadBarFaces(frame, BarColumns(), BarRows())) {
    painter.fillRect(face, ToQColor(SplitColor()));
  }
}

TabcSplitPaneClass TabcQuadSplit::GetPaneClass() const {
  return [](TComponent* AOwner) { return new TabcSplitPane(AOwner); };
}

void RegisterSplitCursors() {
  QFile file(QStringLiteral(":/sheet/ABCCRSIZE.cur"));
  QCursor cursor(Qt::SizeAllCursor);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray bytes = file.readAll();
    try {
      const CursorImage image =
          ReadCursorFile(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
      cursor = QCursor(QPixmap::fromImage(image.image), image.hotSpot.x(), image.hotSpot.y());
    } catch (const EInvalidGraphic&) {
      // The program's own resource is checked by its tests; should it ever be damaged,
      // Qt's standard sizing cursor still shows what the crossing does.
    }
  }
  RegisterScreenCursor(crSplitCross, cursor);
}

void UnregisterSplitCursors() { RemoveScreenCursor(crSplitCross); }
