#pragma once

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QtGlobal>

namespace tw {

class Settings;
class WindowGeometry;

// value limited to [low, high]; a negative bound means no bound on that
// side. Both tests look at the value passed in, so with low > high a value
// below both gives high.
qint32 ClampValue(qint32 value, qint32 low, qint32 high);

// A client area moved, and shrunk where it must be, so that it lies inside
// area together with its frame. A window's minimum size gives way to a
// smaller area: the status bar at the bottom matters more than the minimum.
// Should the frame alone not fit, its top-left corner stays inside, so the
// title bar and the menu can always be reached.
QRectF FitToArea(QRectF client, const QMarginsF& frame, const QRectF& area);

// Saves name + "Top" / "Left" while the window is in the normal state and
// has a real position.
void SaveFormPosition(Settings& settings, const WindowGeometry& window);
// Saves name + "WindowState" always, and name + "Width" / "Height" only in
// the normal state, so the last normal size survives.
// Both save the place the window would have on a screen that exists now:
// nothing off-screen is ever remembered.
void SaveFormSize(Settings& settings, const WindowGeometry& window);
// Moves the window to its stored place, or centres it when no top is
// stored; either way kept on a screen that exists now, shrunk to fit. A
// window without a real position is only shrunk to fit.
bool RestoreFormPosition(const Settings& settings, WindowGeometry& window);
// Sets the stored size (at least the minimum in pixels; 640 x 480 pixels when
// none is stored).
void RestoreFormSize(const Settings& settings, WindowGeometry& window, int minimumWidthPx, int minimumHeightPx);
// Maximises when that was the stored state; a stored minimised state is not
// restored. Comes after the size and the position, which the window then
// goes back to.
void RestoreFormState(const Settings& settings, WindowGeometry& window);
// Pulls a window in the normal state back inside the screen, for when its
// frame has become known after it was placed.
void KeepOnScreen(WindowGeometry& window);
void SetFormTopmost(WindowGeometry& window, bool topmost);

}  // namespace tw
