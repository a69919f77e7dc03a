#include "ui/screen_fit.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace tessary {

namespace {

// The window manager decorates and places a window just after it is shown; a move in
// this time is its, later ones are the user's and are left alone.
constexpr qint64 kPlacingMs = 1500;
constexpr const char* kShownAt = "tessaryShownAt";

bool IsKeptWindow(const QWidget& widget) {
  if (!widget.isWindow()) return false;
  switch (widget.windowType()) {
    case Qt::Popup: case Qt::ToolTip: case Qt::Desktop: return false;  // menus place themselves
    default: return !widget.isMaximized() && !widget.isFullScreen() && !widget.isMinimized();
  }
}

}  // namespace

QRect KeepInside(const QRect& rc, const QRect& area) {
  if (area.isEmpty()) return rc;
  QRect fit(rc.topLeft(), rc.size().boundedTo(area.size()));
  fit.moveLeft(std::clamp(fit.left(), area.left(), area.right() - fit.width() + 1));
  fit.moveTop(std::clamp(fit.top(), area.top(), area.bottom() - fit.height() + 1));
  return fit;
}

QRect CentredOn(const QSize& size, const QRect& over, const QRect& area) {
  QRect rc(QPoint(), size);
  rc.moveCenter(over.center());
  return KeepInside(rc, area);
}

QRect AvailableArea(const QWidget& window) {
  const QScreen* screen = QGuiApplication::screenAt(window.frameGeometry().center());
  if (!screen) screen = window.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

void KeepOnScreen(QWidget& window) {
  if (!IsKeptWindow(window)) return;
  const QRect frame = window.frameGeometry();
  const QRect fit = KeepInside(frame, AvailableArea(window));
  if (fit == frame) return;
  // The frame's decorations stay around the client area.
  const QSize decoration = frame.size() - window.geometry().size();
  if (fit.size() != frame.size()) window.resize((fit.size() - decoration).expandedTo(window.minimumSize()));
  window.move(fit.topLeft());
}

CScreenKeeper::CScreenKeeper(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

CScreenKeeper::~CScreenKeeper() { qApp->removeEventFilter(this); }

bool CScreenKeeper::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize) return false;
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (!widget->isWindow()) return false;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (type == QEvent::Show) {
    widget->setProperty(kShownAt, now);
  } else {
    const QVariant shownAt = widget->property(kShownAt);
    if (!shownAt.isValid() || now - shownAt.toLongLong() > kPlacingMs || !widget->isVisible()) return false;
  }
  KeepOnScreen(*widget);
  return false;
}

}  // namespace tessary
