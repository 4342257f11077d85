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

}  // namespace

qint32 ClampValue(qint32 value, qint32 low, qint32 high) {
  qint32 result = value;
  if (low >= 0 && value < low) result = low;
  if (high >= 0 && value > high) result = high;
  return result;
}

void SaveFormPosition(Settings& settings, const WindowGeometry& window) {
  if (window.windowState() != WindowState::Normal) return;
  settings.setPlacement(window.formName(), setting::PlacementTop, window.top());
  settings.setPlacement(window.formName(), setting::PlacementLeft, window.left());
}

void SaveFormSize(Settings& settings, const WindowGeometry& window) {
  settings.setPlacement(window.formName(), setting::PlacementWindowState, static_cast<int>(window.windowState()));
  if (window.windowState() != WindowState::Normal) return;
  settings.setPlacement(window.formName(), setting::PlacementWidth, window.width());
  settings.setPlacement(window.formName(), setting::PlacementHeight, window.height());
}

bool RestoreFormPosition(const Settings& settings, WindowGeometry& window) {
  const qint32 top = Stored(settings, window, setting::PlacementTop);
  const qint32 left = Stored(settings, window, setting::PlacementLeft);
  if (window.windowState() != WindowState::Normal) return true;
  if (top != 0) {
    const qint32 maxLeft = WholeTwips(window.screenWidth() - window.width());
    const qint32 maxTop = WholeTwips(window.screenHeight() - window.height());
    window.move(ClampValue(left, 0, maxLeft), ClampValue(top, 0, maxTop));
  } else {
    // Halves of whole twips, rounded toward zero: centred.
    window.move(WholeTwips(window.screenWidth() - window.width()) / 2,
                WholeTwips(window.screenHeight() - window.height()) / 2);
  }
  return true;
}

void RestoreFormSize(const Settings& settings, WindowGeometry& window, int minimumWidthPx, int minimumHeightPx) {
  double width = Stored(settings, window, setting::PlacementWidth);
  double height = Stored(settings, window, setting::PlacementHeight);
  const qint32 state = Stored(settings, window, setting::PlacementWindowState);

  if (minimumWidthPx > 0 && minimumWidthPx * window.twipsPerPixelX() > width) {
    width = minimumWidthPx * window.twipsPerPixelX();
  }
  if (minimumHeightPx > 0 && minimumHeightPx * window.twipsPerPixelY() > height) {
    height = minimumHeightPx * window.twipsPerPixelY();
  }
  window.resize(width != 0 ? width : 640 * window.twipsPerPixelX(),
                height != 0 ? height : 480 * window.twipsPerPixelY());
  if (state == static_cast<int>(WindowState::Maximized)) window.setWindowState(WindowState::Maximized);
}

void SetFormTopmost(WindowGeometry& window, bool topmost) {
  window.setTopmost(topmost, Pixels16(window.left(), window.twipsPerPixelX()),
                    Pixels16(window.top(), window.twipsPerPixelY()),
                    Pixels16(window.width(), window.twipsPerPixelX()),
                    Pixels16(window.height(), window.twipsPerPixelY()));
}

}  // namespace tw
