#pragma once

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace tw {

enum class WindowState : int { Normal = 0, Minimized = 1, Maximized = 2 };

// What window placement needs of a window. Positions and sizes are in twips
// (1/1440 inch), converted from pixels with the screen's units per pixel.
class WindowGeometry {
 public:
  virtual ~WindowGeometry() = default;

  // Names the stored values: "frmMain" gives frmMainTop, frmMainLeft, ...
  virtual QString formName() const = 0;

  virtual WindowState windowState() const = 0;
  virtual void setWindowState(WindowState state) = 0;

  // Normal-state bounds of the client area, in twips.
  virtual double left() const = 0;
  virtual double top() const = 0;
  virtual double width() const = 0;
  virtual double height() const = 0;
  virtual void move(double left, double top) = 0;
  virtual void resize(double width, double height) = 0;
  // False where the platform neither tells where the window is nor lets the
  // program put it anywhere (Wayland): the desktop places it, and the stored
  // position is kept for a desktop that can use it.
  virtual bool hasPosition() const = 0;
  // False where the desktop takes a window's place only when it first
  // shows and follows no later move (X11 through XWayland): a window that
  // must be pulled back on screen afterwards can only be made smaller.
  virtual bool followsMoves() const { return true; }
  // Where the client area really is on the screen, in twips: below the
  // place asked for when the desktop put the frame there (XWayland).
  virtual QPointF shownTopLeft() const { return {left(), top()}; }

  // The part of a screen that windows may use (panels left out), of the
  // screen that holds the largest part of bounds now, or of the nearest
  // screen when none holds any.
  virtual QRectF screenArea(const QRectF& bounds) const = 0;
  // The window manager's frame around the client area; none until the
  // window has been framed.
  virtual QMarginsF frameMargins() const = 0;
  virtual double twipsPerPixelX() const = 0;
  virtual double twipsPerPixelY() const = 0;

  // Keeps the window above all normal windows (true) or back among them,
  // at the given place and size in pixels.
  virtual void setTopmost(bool topmost, int leftPx, int topPx, int widthPx, int heightPx) = 0;
};

}  // namespace tw
