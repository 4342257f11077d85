#pragma once

#include "core/WindowGeometry.h"

#include <QRect>
#include <QString>

#include <functional>

class QWidget;

namespace tw {

// WindowGeometry over a top-level widget, so window placement can save and
// restore it. Positions are the frame's, sizes the client area's, both in
// twips. While the window is minimised or maximised, the bounds are those
// it goes back to. "The screen" is the primary screen's available area, so
// a restored window keeps clear of panels.
class WidgetGeometry : public WindowGeometry {
 public:
  WidgetGeometry(QWidget& window, QString formName);

  // One screen area, in pixels, for every window place; for tests.
  void setScreenArea(std::function<QRect()> area);

  QString formName() const override { return formName_; }
  WindowState windowState() const override;
  void setWindowState(WindowState state) override;
  double left() const override;
  double top() const override;
  double width() const override;
  double height() const override;
  void move(double left, double top) override;
  void resize(double width, double height) override;
  // Not on Wayland.
  bool hasPosition() const override;
  bool followsMoves() const override;
  QPointF shownTopLeft() const override;
  QRectF screenArea(const QRectF& bounds) const override;
  QMarginsF frameMargins() const override;
  double twipsPerPixelX() const override;
  double twipsPerPixelY() const override;
  void setTopmost(bool topmost, int leftPx, int topPx, int widthPx, int heightPx) override;

 private:
  QRect normalBounds() const;
  void fitMinimumSize(const QRect& bounds);

  QWidget& window_;
  QString formName_;
  std::function<QRect()> screenArea_;
};

// The main window cannot be made smaller than 640 x 480 pixels, unless the
// work area of its screen is smaller, frame included: each time placement
// sizes it, the minimum gives way to the room there is.
inline constexpr int kMainMinimumWidthPx = 640;
inline constexpr int kMainMinimumHeightPx = 480;
void InstallMinimumSize(QWidget& window);
void RemoveMinimumSize(QWidget& window);

}  // namespace tw
