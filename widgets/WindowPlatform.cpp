#include "widgets/WindowPlatform.h"

#include <QGuiApplication>

namespace tw {

bool PlatformPlacesWindows(const QString& platformName) {
  // "wayland", "wayland-egl", "wayland-brcm": every Wayland client plugin.
  return !platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}

bool PlatformPlacesWindows() { return PlatformPlacesWindows(QGuiApplication::platformName()); }

}  // namespace tw
