#include "widgets/ImageList.h"

#include "core/AppIdentity.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tw {
namespace {

QString PicturePath(const QString& key) { return QStringLiteral(":/icons/") + key + QStringLiteral(".png"); }

// The program's own stand-in: a blue tile with two waves.
void PaintProductTile(QPainter& p, qreal s) {
  const QRectF box(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
  QLinearGradient sea(box.topLeft(), box.bottomRight());
  sea.setColorAt(0, QColor(40, 120, 200));
  sea.setColorAt(1, QColor(20, 70, 140));
  p.setPen(QPen(QColor(15, 50, 105), s / 16));
  p.setBrush(sea);
  p.drawRoundedRect(box, s * 0.2, s * 0.2);
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 2; ++i) {
    const qreal y = s * (0.42 + i * 0.24);
    QPainterPath wave;
    wave.moveTo(s * 0.18, y);
    wave.cubicTo(s * 0.35, y - s * 0.16, s * 0.5, y + s * 0.16, s * 0.82, y - s * 0.04);
    p.setPen(QPen(QColor(255, 255, 255, i == 0 ? 255 : 190), s * 0.1, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);
  }
}

QPixmap Badge(const QString& key, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  if (key == QLatin1String(kProductTitle)) {
    PaintProductTile(p, s);
    return pm;
  }
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

bool ImageList::hasPicture(const QString& key) const {
  return added_.contains(key) || (fallback_ == Fallback::ResourcesAndGenerated && QFile::exists(PicturePath(key)));
}

bool ImageList::Add(const QString& key, const QIcon& picture) {
  if (picture.isNull() || added_.contains(key)) return false;
  added_.insert(key, picture);
  addedOrder_.append(key);
  return true;
}

bool ImageList::Replace(const QString& key, const QIcon& picture) {
  if (picture.isNull() || !added_.contains(key)) return false;
  added_.insert(key, picture);
  return true;
}

void ImageList::Remove(const QString& key) {
  if (added_.remove(key)) addedOrder_.removeOne(key);
}

QStringList ImageList::Keys() const {
  QStringList keys = addedOrder_;
  if (fallback_ == Fallback::ResourcesAndGenerated) {
    const QStringList files = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
      const QString key = file.chopped(4);
      if (!added_.contains(key)) keys << key;
    }
  }
  return keys;
}

QIcon ImageList::icon(const QString& key) const {
  if (auto it = added_.constFind(key); it != added_.constEnd()) return *it;
  if (fallback_ == Fallback::None) return {};
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
