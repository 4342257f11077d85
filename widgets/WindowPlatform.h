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
// The desktop is a Wayland session (WAYLAND_DISPLAY, or the session type
// the login manager set), whichever platform this run uses: an X11 program
// there runs through XWayland, where the compositor still places windows
// itself (weston puts a tool window wherever it likes, and follows no move
// of a window once it is shown).
bool UnderWaylandSession();
// An X11 run inside a Wayland session.
bool RunsThroughXWayland();

}  // namespace tw
