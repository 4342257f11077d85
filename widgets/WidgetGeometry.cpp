#include "widgets/WidgetGeometry.h"

#include "widgets/Twips.h"
#include "widgets/WindowPlatform.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw {
namespace {

int Px(double twips, double tpp) { return static_cast<int>(std::lround(twips / tpp)); }

// The minimum a window asked for, kept aside from the one it has now.
constexpr const char* kWantedMinimum = "tidewireWantedMinimum";

qint64 Overlap(const QRect& a, const QRect& b) {
  const QRect both = a & b;
  return both.isEmpty() ? 0 : static_cast<qint64>(both.width()) * both.height();
}

qint64 Distance(const QRect& a, const QRect& b) {
  const QPoint d = a.center() - b.center();
  return static_cast<qint64>(d.x()) * d.x() + static_cast<qint64>(d.y()) * d.y();
}

// The available area of the screen that holds most of bounds, or of the
// nearest screen when none holds any of it.
QRect AvailableAreaFor(const QRect& bounds) {
  const QScreen* best = nullptr;
  qint64 bestOverlap = 0;
  qint64 bestDistance = std::numeric_limits<qint64>::max();
  for (const QScreen* screen : QGuiApplication::screens()) {
    const qint64 overlap = Overlap(bounds, screen->geometry());
    const qint64 distance = Distance(bounds, screen->geometry());
    if (overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && distance < bestDistance)) {
      best = screen;
      bestOverlap = overlap;
      bestDistance = distance;
    }
  }
  return best ? best->availableGeometry() : QRect(0, 0, 640, 480);
}

}  // namespace

WidgetGeometry::WidgetGeometry(QWidget& window, QString formName) : window_(window), formName_(std::move(formName)) {}

void WidgetGeometry::setScreenArea(std::function<QRect()> area) { screenArea_ = std::move(area); }

WindowState WidgetGeometry::windowState() const {
  const Qt::WindowStates s = window_.windowState();
  if (s & Qt::WindowMinimized) return WindowState::Minimized;
  if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
  return WindowState::Normal;
}

void WidgetGeometry::setWindowState(WindowState state) {
  switch (state) {
    case WindowState::Normal: window_.setWindowState(Qt::WindowNoState); break;
    case WindowState::Minimized: window_.setWindowState(Qt::WindowMinimized); break;
    case WindowState::Maximized: window_.setWindowState(Qt::WindowMaximized); break;
  }
}

QRect WidgetGeometry::normalBounds() const {
  // The client area, position included: restoring with setGeometry then
  // puts the window back exactly, whatever the frame's size.
  const QRect normal = window_.normalGeometry();
  return normal.isValid() ? normal : window_.geometry();
}

double WidgetGeometry::left() const { return normalBounds().x() * twipsPerPixelX(); }
double WidgetGeometry::top() const { return normalBounds().y() * twipsPerPixelY(); }
double WidgetGeometry::width() const { return normalBounds().width() * twipsPerPixelX(); }
double WidgetGeometry::height() const { return normalBounds().height() * twipsPerPixelY(); }

void WidgetGeometry::move(double left, double top) {
  const QRect r = normalBounds();
  window_.setGeometry(Px(left, twipsPerPixelX()), Px(top, twipsPerPixelY()), r.width(), r.height());
}

void WidgetGeometry::resize(double width, double height) {
  const QRect r = normalBounds();
  const QRect sized(r.x(), r.y(), Px(width, twipsPerPixelX()), Px(height, twipsPerPixelY()));
  fitMinimumSize(sized);
  window_.setGeometry(sized);
}

void WidgetGeometry::fitMinimumSize(const QRect& bounds) {
  const QSize wanted = window_.property(kWantedMinimum).toSize();
  if (!wanted.isValid()) return;
  const double x = twipsPerPixelX();
  const double y = twipsPerPixelY();
  const QRectF area = screenArea(QRectF(bounds.x() * x, bounds.y() * y, bounds.width() * x, bounds.height() * y));
  const QMarginsF frame = frameMargins();
  const int roomWidth = std::max(0, Px(area.width() - frame.left() - frame.right(), x));
  const int roomHeight = std::max(0, Px(area.height() - frame.top() - frame.bottom(), y));
  window_.setMinimumSize(std::min(wanted.width(), roomWidth), std::min(wanted.height(), roomHeight));
}

bool WidgetGeometry::hasPosition() const { return PlatformPlacesWindows(); }
bool WidgetGeometry::followsMoves() const { return !RunsThroughXWayland(); }

QPointF WidgetGeometry::shownTopLeft() const {
  // Asked of the X server: a desktop that frames the window below the place
  // it asked for need not tell the window where it ended up.
  const QWindow* handle = window_.windowHandle();
#if QT_CONFIG(xcb)
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (handle && handle->isExposed() && x11 && x11->connection()) {
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, static_cast<xcb_window_t>(handle->winId()), root, 0, 0), nullptr);
    if (at) {
      const QPointF shown(at->dst_x * twipsPerPixelX(), at->dst_y * twipsPerPixelY());
      free(at);
      return shown;
    }
  }
#endif
  Q_UNUSED(handle);
  return WindowGeometry::shownTopLeft();
}

QRectF WidgetGeometry::screenArea(const QRectF& bounds) const {
  const double x = twipsPerPixelX();
  const double y = twipsPerPixelY();
  const QRect px = screenArea_ ? screenArea_()
                               : AvailableAreaFor(QRect(Px(bounds.left(), x), Px(bounds.top(), y),
                                                        Px(bounds.width(), x), Px(bounds.height(), y)));
  return {px.x() * x, px.y() * y, px.width() * x, px.height() * y};
}

QMarginsF WidgetGeometry::frameMargins() const {
  const QWindow* handle = window_.windowHandle();
  const QMargins m = handle ? handle->frameMargins() : QMargins();
  return {m.left() * twipsPerPixelX(), m.top() * twipsPerPixelY(), m.right() * twipsPerPixelX(),
          m.bottom() * twipsPerPixelY()};
}

double WidgetGeometry::twipsPerPixelX() const { return TwipsPerPixelX(window_); }
double WidgetGeometry::twipsPerPixelY() const { return TwipsPerPixelY(window_); }

void WidgetGeometry::setTopmost(bool topmost, int leftPx, int topPx, int widthPx, int heightPx) {
  // Changing a window's flags hides it; it comes back where it was.
  const bool visible = window_.isVisible();
  window_.setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  window_.setGeometry(leftPx, topPx, widthPx, heightPx);
  if (visible) window_.show();
}

void InstallMinimumSize(QWidget& window) {
  const QSize minimum(kMainMinimumWidthPx, kMainMinimumHeightPx);
  window.setProperty(kWantedMinimum, minimum);
  window.setMinimumSize(minimum);
}

void RemoveMinimumSize(QWidget& window) {
  window.setProperty(kWantedMinimum, QVariant());
  window.setMinimumSize(0, 0);
}

}  // namespace tw
