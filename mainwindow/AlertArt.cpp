#include "mainwindow/AlertArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tw::AlertArt {
namespace {

const QColor kBorder(57, 77, 132);
const QColor kTitleTop(232, 238, 251);
const QColor kTitleBottom(189, 204, 238);
const QColor kTitleRule(150, 168, 214);
const QColor kBodyTop(255, 255, 255);
const QColor kBodyBottom(232, 238, 251);

QPixmap ClosePicture(bool hover, qreal dpr) {
  QPixmap pm(QSize(kCloseSize, kCloseSize) * dpr);
  pm.setDevicePixelRatio(dpr);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0.5, 0.5, kCloseSize - 1, kCloseSize - 1);
  if (hover) {
    p.setPen(QPen(QColor(30, 45, 170), 1));
    p.setBrush(QColor(57, 77, 255));
  } else {
    p.setPen(QPen(QColor(120, 138, 190), 1));
    p.setBrush(QColor(255, 255, 255, 140));
  }
  p.drawRoundedRect(box, 3, 3);
  p.setPen(QPen(hover ? QColor(Qt::white) : kBorder, 1.6, Qt::SolidLine, Qt::RoundCap));
  const qreal a = 4.0;
  const qreal b = kCloseSize - 4.0;
  p.drawLine(QPointF(a, a), QPointF(b, b));
  p.drawLine(QPointF(a, b), QPointF(b, a));
  return pm;
}

}  // namespace

QPixmap CloseNormalPicture(qreal devicePixelRatio) { return ClosePicture(false, devicePixelRatio); }
QPixmap CloseHoverPicture(qreal devicePixelRatio) { return ClosePicture(true, devicePixelRatio); }

void PaintTitleStrip(QPainter& p, const QRect& r, const QIcon& icon) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kTitleTop);
  g.setColorAt(1, kTitleBottom);
  p.fillRect(r, g);
  p.setPen(kTitleRule);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.setPen(kBorder);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.drawLine(r.topRight(), r.bottomRight());
  if (!icon.isNull()) {
    const int s = 16;
    icon.paint(&p, QRect(r.left() + 3, r.top() + (r.height() - s) / 2, s, s));
  }
}

void PaintBody(QPainter& p, const QRect& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kBodyTop);
  g.setColorAt(1, kBodyBottom);
  p.fillRect(r, g);
  p.setPen(kBorder);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace tw::AlertArt
