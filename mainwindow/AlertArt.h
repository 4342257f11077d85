#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>

class QPainter;

namespace tw::AlertArt {

inline constexpr int kCloseSize = 14;

// The close button, normal and under the pointer.
QPixmap CloseNormalPicture(qreal devicePixelRatio = 1.0);
QPixmap CloseHoverPicture(qreal devicePixelRatio = 1.0);
// The title strip: a soft blue gradient, the window's border on three sides
// and the program icon at the left.
void PaintTitleStrip(QPainter& painter, const QRect& rect, const QIcon& icon);
// The body under it: a light gradient with the border on three sides.
void PaintBody(QPainter& painter, const QRect& rect);

}  // namespace tw::AlertArt
