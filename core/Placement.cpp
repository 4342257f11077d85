#include "Placement.h"

#include "Settings.h"
#include "WindowGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw {
namespace {

// Whole twips, as a 32-bit number: halves to even, out of range clamped.
qint32 WholeTwips(double value) {
  const double r = std::nearbyint(value);
  if (r <= std::numeric_limits<qint32>::min()) return std::numeric_limits<qint32>::min();
  if (r >= std::numeric_limits<qint32>::max()) return std::numeric_limits<qint32>::max();
  return static_cast<qint32>(r);
}

qint16 Pixels16(double twips, double twipsPerPixel) {
  const double px = std::nearbyint(twips / twipsPerPixel);
  return static_cast<qint16>(std::clamp(px, -32768.0, 32767.0));
}

qint32 Stored(const Settings& settings, const WindowGeometry& window, const char* property) {
  return settings.placement(window.formName(), property).toInt();
}

QRectF NormalBounds(const WindowGeometry& window) {
  return {window.left(), window.top(), window.width(), window.height()};
}

// The window's normal bounds as they would be kept on the screen.
QRectF KeptBounds(const WindowGeometry& window, const QRectF& bounds) {
  return FitToArea(bounds, window.frameMargins(), window.screenArea(bounds));
}

void Place(WindowGeometry& window, const QRectF& bounds) {
  if (bounds.size() != QSizeF(window.width(), window.height())) window.resize(bounds.width(), bounds.height());
  if (window.hasPosition()) window.move(bounds.left(), bounds.top());
}

}  // namespace

qint32 ClampValue(qint32 value, qint32 low, qint32 high) {
  qint32 result = value;
  if (low >= 0 && value < low) result = low;
  if (high >= 0 && value > high) result = high;
  return result;
}

QRectF FitToArea(QRectF client, const QMarginsF& frame, const QRectF& area) {
  const double roomWidth = std::max(0.0, area.width() - frame.left() - frame.right());
  const double roomHeight = std::max(0.0, area.height() - frame.top() - frame.bottom());
  if (client.width() > roomWidth) client.setWidth(roomWidth);
  if (client.height() > roomHeight) client.setHeight(roomHeight);
  // The far edges first, then the near ones, which win when both cannot hold.
  const double left = std::max(std::min(client.left(), area.right() - frame.right() - client.width()),
                               area.left() + frame.left());
  const double top = std::max(std::min(client.top(), area.bottom() - frame.bottom() - client.height()),
                              area.top() + frame.top());
  client.moveTo(left, top);
  return client;
}

void SaveFormPosition(Settings& settings, const WindowGeometry& window) {
  if (window.windowState() != WindowState::Normal || !window.hasPosition()) return;
  const QRectF kept = KeptBounds(window, NormalBounds(window));
  settings.setPlacement(window.formName(), setting::PlacementTop, kept.top());
  settings.setPlacement(window.formName(), setting::PlacementLeft, kept.left());
}

void SaveFormSize(Settings& settings, const WindowGeometry& window) {
  settings.setPlacement(window.formName(), setting::PlacementWindowState, static_cast<int>(window.windowState()));
  if (window.windowState() != WindowState::Normal) return;
  const QRectF kept = KeptBounds(window, NormalBounds(window));
  settings.setPlacement(window.formName(), setting::PlacementWidth, kept.width());
  settings.setPlacement(window.formName(), setting::PlacementHeight, kept.height());
}

bool RestoreFormPosition(const Settings& settings, WindowGeometry& window) {
  const qint32 top = Stored(settings, window, setting::PlacementTop);
  const qint32 left = Stored(settings, window, setting::PlacementLeft);
  if (window.windowState() != WindowState::Normal) return true;
  QRectF bounds = NormalBounds(window);
  if (!window.hasPosition()) {
    // The desktop places the window: only its size is kept to the screen.
    Place(window, KeptBounds(window, bounds));
    return true;
  }
  if (top != 0) {
    bounds.moveTo(left, top);
  } else {
    // Centred, frame and all, on the screen the window is on: halves of
    // whole twips, rounded toward zero.
    const QRectF area = window.screenArea(bounds);
    const QMarginsF frame = window.frameMargins();
    const qint32 spareWidth = WholeTwips(area.width() - frame.left() - frame.right() - bounds.width());
    const qint32 spareHeight = WholeTwips(area.height() - frame.top() - frame.bottom() - bounds.height());
    bounds.moveTo(area.left() + frame.left() + spareWidth / 2, area.top() + frame.top() + spareHeight / 2);
  }
  Place(window, KeptBounds(window, bounds));
  return true;
}

void RestoreFormSize(const Settings& settings, WindowGeometry& window, int minimumWidthPx, int minimumHeightPx) {
  double width = Stored(settings, window, setting::PlacementWidth);
  double height = Stored(settings, window, setting::PlacementHeight);

  if (minimumWidthPx > 0 && minimumWidthPx * window.twipsPerPixelX() > width) {
    width = minimumWidthPx * window.twipsPerPixelX();
  }
  if (minimumHeightPx > 0 && minimumHeightPx * window.twipsPerPixelY() > height) {
    height = minimumHeightPx * window.twipsPerPixelY();
  }
  window.resize(width != 0 ? width : 640 * window.twipsPerPixelX(),
                height != 0 ? height : 480 * window.twipsPerPixelY());
}

void RestoreFormState(const Settings& settings, WindowGeometry& window) {
  if (Stored(settings, window, setting::PlacementWindowState) == static_cast<int>(WindowState::Maximized)) {
    window.setWindowState(WindowState::Maximized);
  }
}

void KeepOnScreen(WindowGeometry& window) {
  if (window.windowState() != WindowState::Normal) return;
  const QRectF bounds = NormalBounds(window);
  QRectF kept = KeptBounds(window, bounds);
  if (!window.followsMoves()) {
    // It stays where the desktop put it, so it shrinks to what fits there.
    const QRectF area = window.screenArea(bounds);
    const QMarginsF frame = window.frameMargins();
    const QPointF shown = window.shownTopLeft();
    kept = bounds;
    kept.setWidth(std::min(bounds.width(), area.right() - frame.right() - shown.x()));
    kept.setHeight(std::min(bounds.height(), area.bottom() - frame.bottom() - shown.y()));
  }
  if (kept != bounds) Place(window, kept);
}

void SetFormTopmost(WindowGeometry& window, bool topmost) {
  window.setTopmost(topmost, Pixels16(window.left(), window.twipsPerPixelX()),
                    Pixels16(window.top(), window.twipsPerPixelY()),
                    Pixels16(window.width(), window.twipsPerPixelX()),
                    Pixels16(window.height(), window.twipsPerPixelY()));
}

}  // namespace tw
