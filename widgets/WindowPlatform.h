#pragma once

#include <QString>

namespace tw {

// Whether the windowing platform lets a program place its own top-level
// windows and tells it where they are. X11 does; Wayland does neither (the
// compositor places every window and reports no position), so there the
// program leaves placing to the desktop.
bool PlatformPlacesWindows(const QString& platformName);
// The same for the platform this run uses.
bool PlatformPlacesWindows();

}  // namespace tw
