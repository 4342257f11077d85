#pragma once

#include <QtGlobal>

namespace tw {

class Settings;
class WindowGeometry;

// value limited to [low, high]; a negative bound means no bound on that
// side. Both tests look at the value passed in, so with low > high a value
// below both gives high.
qint32 ClampValue(qint32 value, qint32 low, qint32 high);

// Saves name + "Top" / "Left" while the window is in the normal state.
void SaveFormPosition(Settings& settings, const WindowGeometry& window);
// Saves name + "WindowState" always, and name + "Width" / "Height" only in
// the normal state, so the last normal size survives.
void SaveFormSize(Settings& settings, const WindowGeometry& window);
// Moves the window to its stored place, pulled back onto the screen, or
// centres it when no top is stored.
bool RestoreFormPosition(const Settings& settings, WindowGeometry& window);
// Sets the stored size (at least the minimum in pixels; 640 x 480 pixels when
// none is stored) and maximises when that was the stored state.
void RestoreFormSize(const Settings& settings, WindowGeometry& window, int minimumWidthPx, int minimumHeightPx);
void SetFormTopmost(WindowGeometry& window, bool topmost);

}  // namespace tw
