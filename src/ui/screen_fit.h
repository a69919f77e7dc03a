#pragma once
// Keeps top-level windows on the screen: a window placed over its owner near the
// screen's edge, or larger than a small screen, would open partly out of sight.
#include <QObject>
#include <QRect>

class QWidget;

namespace tessary {

// rc moved, and shrunk where it is larger, so that it lies inside area.
QRect KeepInside(const QRect& rc, const QRect& area);
// A rectangle of the size centred on over, kept inside area.
QRect CentredOn(const QSize& size, const QRect& over, const QRect& area);
// The available area (without panels) of the screen under the window's centre.
QRect AvailableArea(const QWidget& window);
// Moves (and if need be shrinks) a top-level window so its frame lies inside the
// available area. Maximised and full-screen windows are the window manager's.
void KeepOnScreen(QWidget& window);

// An application-wide event filter: every top-level window is kept on the screen when
// it is shown and when the window manager first places it.
class CScreenKeeper : public QObject {
  Q_OBJECT
 public:
  explicit CScreenKeeper(QObject* parent = nullptr);
  ~CScreenKeeper() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tessary
