#include "widgets/ImageList.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tw {
namespace {

QString PicturePath(const QString& key) { return QStringLiteral(":/icons/") + key + QStringLiteral(".png"); }

QPixmap Badge(const QString& key, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  const QRectF box(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(static_cast<int>(s * 0.62));
  p.setFont(font);

  if (key == QLatin1String("warning")) {
    QPainterPath tri;
    tri.moveTo(s / 2, s * 0.05);
    tri.lineTo(s * 0.97, s * 0.92);
    tri.lineTo(s * 0.03, s * 0.92);
    tri.closeSubpath();
    p.setPen(QPen(QColor(150, 105, 0), s / 16));
    p.setBrush(QColor(250, 196, 45));
    p.drawPath(tri);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, s * 0.18, s, s * 0.78), Qt::AlignCenter, QStringLiteral("!"));
    return pm;
  }
  QColor fill;
  QString mark;
  if (key == QLatin1String("info")) {
    fill = QColor(45, 110, 205);
    mark = QStringLiteral("i");
  } else if (key == QLatin1String("error")) {
    fill = QColor(205, 40, 40);
    mark = QStringLiteral("\u00D7");
  } else {
    // Any other key: a tile of a colour of its own, with its first letter.
    const int hue = static_cast<int>(qHash(key) % 360u);
    fill = QColor::fromHsv(hue, 150, 190);
    mark = key.isEmpty() ? QStringLiteral("?") : key.left(1).toUpper();
    p.setPen(QPen(fill.darker(150), s / 16));
    p.setBrush(fill);
    p.drawRoundedRect(box, s * 0.2, s * 0.2);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, mark);
    return pm;
  }
  p.setPen(QPen(fill.darker(140), s / 16));
  p.setBrush(fill);
  p.drawEllipse(box);
  p.setPen(Qt::white);
  p.drawText(box, Qt::AlignCenter, mark);
  return pm;
}

}  // namespace

bool ImageList::hasPicture(const QString& key) const { return QFile::exists(PicturePath(key)); }

QIcon ImageList::icon(const QString& key) const {
  auto it = cache_.constFind(key);
  if (it != cache_.constEnd()) return *it;
  QIcon icon = hasPicture(key) ? QIcon(PicturePath(key)) : GeneratedIcon(key);
  cache_.insert(key, icon);
  return icon;
}

QIcon ImageList::GeneratedIcon(const QString& key) {
  QIcon icon;
  icon.addPixmap(Badge(key, 16));
  icon.addPixmap(Badge(key, 32));
  return icon;
}

}  // namespace tw
