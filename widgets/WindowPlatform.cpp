#include "widgets/WindowPlatform.h"

#include <QGuiApplication>

namespace tw {

bool PlatformPlacesWindows(const QString& platformName) {
  // "wayland", "wayland-egl", "wayland-brcm": every Wayland client plugin.
  return !platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive);
}

bool PlatformPlacesWindows() { return PlatformPlacesWindows(QGuiApplication::platformName()); }

bool UnderWaylandSession() {
  return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

bool RunsThroughXWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("xcb")) && UnderWaylandSession();
}

}  // namespace tw
