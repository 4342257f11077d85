#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>

#include <cmath>

namespace tw {
namespace {

double PerPixel(double dpi) { return dpi > 0 ? kTwipsPerInch / dpi : 15.0; }

}  // namespace

double TwipsPerPixelX(const QPaintDevice& device) { return PerPixel(device.logicalDpiX()); }
double TwipsPerPixelY(const QPaintDevice& device) { return PerPixel(device.logicalDpiY()); }

double ScreenTwipsPerPixelX() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return PerPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
}

double ScreenTwipsPerPixelY() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return PerPixel(screen ? screen->logicalDotsPerInchY() : 96.0);
}

int TwipsToPixels(double twips, double twipsPerPixel) {
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace tw
