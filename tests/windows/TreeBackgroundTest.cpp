#include "RecordingMessageBoxes.h"
#include "hooks/GSubclass.h"
#include "widgets/cTVBackground.h"
#include "widgets/cTile.h"

#include <QApplication>
#include <QImageReader>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tw {
namespace {

constexpr QRgb kUntouched = 0xff123456;

// A 32 x 32 picture whose every pixel is different.
QPixmap Numbered(int side = 32) {
  QImage image(side, side, QImage::Format_RGB32);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) image.setPixel(x, y, qRgb(x * 7 % 256, y * 7 % 256, (x + y) % 256));
  }
  return QPixmap::fromImage(image);
}

TEST(Tile, TheFirstPieceFollowsTheOrigin) {
  cTile tile;
  tile.setPicture(Numbered());
  EXPECT_EQ(tile.FirstPiece(10, 10, 100, 50), QRect(10, 10, 22, 22));
  tile.setXOriginOffset(5);
  EXPECT_EQ(tile.FirstPiece(0, 0, 100, 50), QRect(5, 0, 27, 32));
  EXPECT_EQ(tile.FirstPiece(0, 0, 8, 6), QRect(5, 0, 8, 6)) << "clipped to the rectangle";
  // Left of and above the origin the grid goes on the same way.
  tile.setYOriginOffset(-3);
  EXPECT_EQ(tile.SourceStart(0, 0), QPoint(5, 29));
  EXPECT_EQ(tile.SourceStart(-40, -40), QPoint(29, 21));
}

TEST(Tile, TilingGivesThePixelsOfPieceByPieceCopying) {
  cTile tile;
  const QImage source = Numbered().toImage();
  tile.setPicture(QPixmap::fromImage(source));
  tile.setXOriginOffset(5);
  tile.setYOriginOffset(-7);
  QImage target(150, 90, QImage::Format_RGB32);
  target.fill(kUntouched);
  tile.TileArea(target, 10, 10, 100, 50);
  for (int y = 0; y < target.height(); ++y) {
    for (int x = 0; x < target.width(); ++x) {
      const bool inside = x >= 10 && x < 110 && y >= 10 && y < 60;
      const QRgb expected = inside ? source.pixel(((x + 5) % 32 + 32) % 32, ((y - 7) % 32 + 32) % 32) : kUntouched;
      ASSERT_EQ(target.pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(Tile, PicturesAreLoadedOnceAndFailuresReported) {
  QTemporaryDir dir;
  const QString good = dir.filePath(QStringLiteral("tile.png"));
  ASSERT_TRUE(Numbered(24).save(good));
  test::RecordingMessageBoxes boxes;
  cTile tile(&boxes);

  tile.setFilename(good);
  EXPECT_EQ(tile.Filename(), good);
  EXPECT_EQ(tile.BitmapWidth(), 24);
  EXPECT_EQ(tile.BitmapHeight(), 24);
  QFile::remove(good);
  tile.setFilename(good);  // the current name: nothing happens
  EXPECT_TRUE(tile.hasPicture());

  const QString missing = dir.filePath(QStringLiteral("missing.gif"));
  const QString broken = dir.filePath(QStringLiteral("broken.png"));
  QFile file(broken);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("\x89PNG\r\n\x1a\n not really");
  file.close();
  for (const QString& name : {missing, broken}) {
    QImageReader reader(name);
    reader.read();
    const QString expected = QStringLiteral("|Error: Load Picture Failed: ") + reader.errorString() + QStringLiteral(", ") +
                             QString::number(static_cast<int>(reader.error()));
    boxes.warnings.clear();
    tile.setFilename(name);
    EXPECT_EQ(boxes.warnings, QStringList{expected});
    EXPECT_FALSE(tile.hasPicture());
    EXPECT_TRUE(tile.Filename().isEmpty());
    EXPECT_TRUE(tile.Picture().isNull());
  }

  tile.setPicture(Numbered());
  EXPECT_EQ(tile.Filename(), QStringLiteral("PICTURE"));
  tile.setPicture(QPixmap());
  EXPECT_FALSE(tile.hasPicture());
}

class TreeBackgroundTest : public ::testing::Test {
 protected:
  TreeBackgroundTest() {
    tree.setHeaderHidden(true);
    tree.setUniformRowHeights(true);
    tree.resize(220, 160);
    for (int i = 0; i < 40; ++i) {
      auto* item = new QTreeWidgetItem(&tree, {QStringLiteral("Item %1").arg(i)});
      if (i == 1) new QTreeWidgetItem(item, {QStringLiteral("A child with a rather long caption for scrolling")});
    }
    tree.show();
  }
  QImage shot() { return tree.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  int rowHeight() { return tree.visualItemRect(tree.topLevelItem(0)).height(); }
  // Where the tiles show: right of every caption.
  QPoint background() { return QPoint(tree.viewport()->width() - 8, 30); }

  QTreeWidget tree;
  test::RecordingMessageBoxes boxes;
};

TEST_F(TreeBackgroundTest, TilesShowBehindTheItemsAndMoveWithTheContent) {
  const QImage plain = shot();
  cTVBackground painter;
  painter.Tile().setPicture(Numbered());
  painter.Attach(&tree, &tree);
  EXPECT_EQ(GSubclass::AttachmentCount(tree.viewport()), 1);

  QImage tiled = shot();
  const QImage source = Numbered().toImage();
  const QPoint at = background();
  EXPECT_EQ(tiled.pixel(at), source.pixel(at.x() % 32, at.y() % 32));
  // The tree's drawing is on top of the tiles, which show through where the
  // tree drew no caption.
  const QRect caption = tree.visualItemRect(tree.topLevelItem(0));
  int written = 0, tileBetween = 0, background = 0;
  for (int y = caption.top(); y <= caption.bottom(); ++y) {
    for (int x = caption.left(); x <= caption.right(); ++x) {
      const bool tile = tiled.pixel(x, y) == source.pixel(x % 32, y % 32);
      if (plain.pixel(x, y) == plain.pixel(at)) {
        ++background;
        tileBetween += tile;
      } else {
        written += !tile;
      }
    }
  }
  EXPECT_GT(written, 20);
  EXPECT_EQ(tileBetween, background);

  // One item down: the tiles go up by one item.
  tree.verticalScrollBar()->setValue(1);
  QApplication::processEvents();
  EXPECT_EQ(painter.Tile().YOriginOffset(), rowHeight());
  const QImage scrolled = shot();
  EXPECT_EQ(scrolled.pixel(at), tiled.pixel(at.x(), at.y() + rowHeight()));

  // Sideways too, once the caption of the child is wider than the tree.
  tree.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree.header()->setStretchLastSection(false);
  tree.topLevelItem(1)->setExpanded(true);
  tree.verticalScrollBar()->setValue(0);
  tree.horizontalScrollBar()->setValue(10);
  QApplication::processEvents();
  shot();
  EXPECT_EQ(painter.Tile().XOriginOffset(), 10);

  painter.Detach();
  EXPECT_FALSE(GSubclass::IsSubclassed(tree.viewport()));
  EXPECT_EQ(shot().pixel(at), plain.pixel(at));
}

TEST_F(TreeBackgroundTest, WithoutAPictureTheTreePaintsAsUsual) {
  const QImage plain = shot();
  cTVBackground painter;
  painter.Tile().setMessageBoxes(&boxes);
  painter.Tile().setFilename(QStringLiteral("/nonexistent/tile.gif"));
  EXPECT_EQ(boxes.warnings.size(), 1);
  painter.Attach(&tree, &tree);
  EXPECT_EQ(shot(), plain);
}

TEST_F(TreeBackgroundTest, ABranchThatOpensPaintsTheTreeOnce) {
  cTVBackground painter;
  painter.Tile().setPicture(Numbered());
  painter.Attach(&tree, &tree);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();

  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      paints += e->type() == QEvent::Paint;
      return false;
    }
  } counter;
  tree.viewport()->installEventFilter(&counter);
  tree.topLevelItem(1)->setExpanded(true);
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 1);
}

TEST_F(TreeBackgroundTest, ThePainterAndTheTreeMayEndInEitherOrder) {
  auto painter = std::make_unique<cTVBackground>();
  painter->Tile().setPicture(Numbered());
  {
    QTreeWidget shortLived;
    shortLived.show();
    painter->Attach(&shortLived, &shortLived);
  }
  EXPECT_EQ(painter->tree(), nullptr);
  painter->Detach();
  painter->Attach(&tree, &tree);
  QWidget* viewport = tree.viewport();
  painter.reset();
  EXPECT_FALSE(GSubclass::IsSubclassed(viewport));
  shot();
}

}  // namespace
}  // namespace tw
