#pragma once

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

class QPaintDevice;
class QPainter;

namespace tw {

class MessageBoxes;

// A picture repeated as tiles into any rectangle, with the tile grid anchored
// at a movable origin: the pixel at (x, y) shows the picture's pixel
// ((x + XOriginOffset) mod width, (y + YOriginOffset) mod height).
//
// Failures are shown as warning boxes with no title, "Error: <message>, <number>";
// the tile is then left without a picture.
class cTile {
 public:
  explicit cTile(MessageBoxes* boxes = nullptr);

  // Loads a picture file. Setting the current name does nothing; an empty
  // name drops the picture. "PICTURE" when the picture was given directly.
  QString Filename() const { return filename_; }
  void setFilename(const QString& name);
  QPixmap Picture() const { return picture_; }
  // A null picture drops the current one.
  void setPicture(const QPixmap& picture);
  bool hasPicture() const { return !filename_.isEmpty(); }

  int BitmapWidth() const { return picture_.width(); }
  int BitmapHeight() const { return picture_.height(); }
  int XOriginOffset() const { return xOrigin_; }
  void setXOriginOffset(int offset) { xOrigin_ = offset; }
  int YOriginOffset() const { return yOrigin_; }
  void setYOriginOffset(int offset) { yOrigin_ = offset; }

  // Covers the rectangle with tiles.
  void TileArea(QPainter& painter, int x, int y, int width, int height) const;
  void TileArea(QPaintDevice& device, int x, int y, int width, int height) const;

  // Where the tiling of a rectangle at (x, y) starts in the picture.
  QPoint SourceStart(int x, int y) const;
  // The picture's part that the first (top left) piece of the rectangle shows.
  QRect FirstPiece(int x, int y, int width, int height) const;

  void setMessageBoxes(MessageBoxes* boxes);

 private:
  void release();
  void report(const QString& message, int number);

  MessageBoxes* boxes_;
  QString filename_;
  QPixmap picture_;
  int xOrigin_ = 0;
  int yOrigin_ = 0;
};

}  // namespace tw
