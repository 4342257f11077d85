#include "widgets/WidgetGeometry.h"

#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace tw {
namespace {

QRect PrimaryAvailableArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

int Px(double twips, double tpp) { return static_cast<int>(std::lround(twips / tpp)); }

}  // namespace

WidgetGeometry::WidgetGeometry(QWidget& window, QString formName)
    : window_(window), formName_(std::move(formName)), screenArea_(&PrimaryAvailableArea) {}

void WidgetGeometry::setScreenArea(std::function<QRect()> area) {
  screenArea_ = area ? std::move(area) : std::function<QRect()>(&PrimaryAvailableArea);
}

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
  window_.setGeometry(r.x(), r.y(), Px(width, twipsPerPixelX()), Px(height, twipsPerPixelY()));
}

double WidgetGeometry::screenWidth() const {
  const QRect area = screenArea_();
  return (area.x() + area.width()) * twipsPerPixelX();
}

double WidgetGeometry::screenHeight() const {
  const QRect area = screenArea_();
  return (area.y() + area.height()) * twipsPerPixelY();
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

void InstallMinimumSize(QWidget& window) { window.setMinimumSize(kMainMinimumWidthPx, kMainMinimumHeightPx); }

void RemoveMinimumSize(QWidget& window) { window.setMinimumSize(0, 0); }

}  // namespace tw
