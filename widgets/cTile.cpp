#include "widgets/cTile.h"

#include "widgets/MessageBoxes.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace tw {
namespace {

const char* const kPictureName = "PICTURE";

// The remainder that stays within 0..divisor-1 for negative values too: the
// tiling is anchored the same way on both sides of the origin.
int FloorMod(int value, int divisor) {
  const int r = value % divisor;
  return r < 0 ? r + divisor : r;
}

}  // namespace

cTile::cTile(MessageBoxes* boxes) : boxes_(boxes ? boxes : &MessageBoxes::standard()) {}

void cTile::setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes ? boxes : &MessageBoxes::standard(); }

void cTile::setFilename(const QString& name) {
  if (name == filename_) return;
  release();
  if (name.isEmpty()) return;
  QImageReader reader(name);
  const QImage image = reader.read();
  if (image.isNull()) {
    report(QStringLiteral("Load Picture Failed: ") + reader.errorString(), static_cast<int>(reader.error()));
    return;
  }
  QPixmap picture = QPixmap::fromImage(image);
  if (picture.isNull()) {
    // The decoded picture could not be turned into one that can be drawn.
    report(QStringLiteral("Unable to create compatible DC"), 1);
    return;
  }
  picture_ = std::move(picture);
  filename_ = name;
}

void cTile::setPicture(const QPixmap& picture) {
  release();
  if (picture.isNull()) return;
  // Shared until the caller changes its own: the tile keeps what it was given.
  picture_ = picture;
  filename_ = QString::fromLatin1(kPictureName);
}

void cTile::release() {
  filename_.clear();
  picture_ = QPixmap();
}

void cTile::report(const QString& message, int number) {
  boxes_->warning(nullptr, QString(), QStringLiteral("Error: ") + message + QStringLiteral(", ") + QString::number(number));
}

QPoint cTile::SourceStart(int x, int y) const {
  if (picture_.isNull()) return {};
  return QPoint(FloorMod(x + xOrigin_, picture_.width()), FloorMod(y + yOrigin_, picture_.height()));
}

QRect cTile::FirstPiece(int x, int y, int width, int height) const {
  if (picture_.isNull() || width <= 0 || height <= 0) return {};
  const QPoint start = SourceStart(x, y);
  return QRect(start.x(), start.y(), std::min(picture_.width() - start.x(), width),
               std::min(picture_.height() - start.y(), height));
}

void cTile::TileArea(QPainter& painter, int x, int y, int width, int height) const {
  if (picture_.isNull() || width <= 0 || height <= 0) return;
  // Piece by piece: the first piece of the first row from the start, then
  // whole pictures, the last of each row and the last row clipped to the
  // rectangle. Plain copies of the picture allocate nothing while painting.
  const int bitmapWidth = picture_.width();
  const int bitmapHeight = picture_.height();
  const QPoint start = SourceStart(x, y);
  int sourceY = start.y();
  for (int top = y; top < y + height;) {
    const int rowHeight = std::min(bitmapHeight - sourceY, y + height - top);
    int sourceX = start.x();
    for (int left = x; left < x + width;) {
      const int pieceWidth = std::min(bitmapWidth - sourceX, x + width - left);
      painter.drawPixmap(left, top, picture_, sourceX, sourceY, pieceWidth, rowHeight);
      left += pieceWidth;
      sourceX = 0;
    }
    top += rowHeight;
    sourceY = 0;
  }
}

void cTile::TileArea(QPaintDevice& device, int x, int y, int width, int height) const {
  QPainter painter(&device);
  TileArea(painter, x, y, width, height);
}

}  // namespace tw
