#include "ControlEventLog.h"
#include "ScriptedReader.h"
#include "download/bkDLControl.h"
#include "widgets/DownloadBar.h"
#include "widgets/DownloadProgressView.h"

#include <QImage>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::ScriptedReader;

constexpr OleColor kRed = 0x0000FF;
constexpr OleColor kBlue = 0xFF0000;

class DownloadBarTest : public ::testing::Test {
 protected:
  DownloadBarTest() : reader(new ScriptedReader), dl(reader) {
    dl.setBackColor(kBlue);
    dl.setForeColor(kRed);
    dl.setBorderStyle(0);
    bar.resize(100, 10);
    bar.setControl(&dl);
  }
  // Starts a transfer and reports bytes of total.
  void progress(qint64 bytes, qint64 total) {
    if (!dl.DownloadActive()) {
      dl.setFileURL(QStringLiteral("http://x/feed.xml"));
      dl.setSaveFilePath(dir.path());
      ASSERT_TRUE(dl.BeginDownload());
    }
    reader->deliver(ScriptedReader::Status(bindstatus::DownloadingData, {}, bytes, total));
  }
  QImage shot() { return bar.grab().toImage(); }

  QTemporaryDir dir;
  ScriptedReader* reader;
  bkDLControl dl;
  DownloadBar bar;
};

TEST_F(DownloadBarTest, FillsTheDoneFractionWithForeColorAndTheRestWithBackColor) {
  progress(25, 100);
  const QImage image = shot();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(23, 5), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(27, 5), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(95, 5), QColor(Qt::blue));
}

TEST_F(DownloadBarTest, IsAllBackColorWhenIdleOrHidden) {
  EXPECT_EQ(shot().pixelColor(2, 5), QColor(Qt::blue));
  progress(50, 100);
  dl.setShowProgress(false);
  EXPECT_EQ(shot().pixelColor(2, 5), QColor(Qt::blue));
  dl.setShowProgress(true);
  EXPECT_EQ(shot().pixelColor(2, 5), QColor(Qt::red));
  reader->deliver(ScriptedReader::Failure(QStringLiteral("reset")));
  EXPECT_EQ(shot().pixelColor(2, 5), QColor(Qt::blue));
}

TEST_F(DownloadBarTest, NeverPaintsPastItsWidth) {
  progress(300, 100);  // a server that sent more than it announced
  const QImage image = shot();
  EXPECT_EQ(image.pixelColor(99, 5), QColor(Qt::red));
  EXPECT_EQ(image.width(), 100);
}

TEST_F(DownloadBarTest, SystemColoursComeFromThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Button, Qt::green);
  palette.setColor(QPalette::ButtonText, Qt::yellow);
  EXPECT_EQ(ResolveOleColor(kSystemButtonFace, palette), QColor(Qt::green));
  EXPECT_EQ(ResolveOleColor(kSystemButtonText, palette), QColor(Qt::yellow));
  EXPECT_EQ(ResolveOleColor(0x00336699, palette), QColor(0x99, 0x66, 0x33));
}

TEST_F(DownloadBarTest, ClicksOnTheBarAreTheControlsEvents) {
  test::ControlEventLog log(dl);
  QTest::mouseClick(&bar, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 4));
  EXPECT_EQ(log.names(), (QStringList{QStringLiteral("MouseDown"), QStringLiteral("MouseUp"), QStringLiteral("Click")}));
  EXPECT_EQ(log.events.first(), QStringLiteral("MouseDown 1 1 10 4"));
  QTest::mouseDClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 4));
  EXPECT_TRUE(log.names().contains(QStringLiteral("DblClick")));
}

TEST(DownloadProgressView, KeepsTheBarWithinItsRange) {
  QProgressBar bar;
  DownloadProgressView view(&bar);
  view.setProgressMax(0);
  EXPECT_EQ(bar.maximum(), 1);
  view.setProgressMax(200);
  view.setProgressValue(150);
  EXPECT_EQ(bar.value(), 150);
  view.setProgressValue(500);
  EXPECT_EQ(bar.value(), 200);
  view.setProgressValue(0);
  EXPECT_EQ(bar.value(), 0);
}

// A download reports progress many times a second: the bar is painted with
// the window's next update, once, not inside every report.
TEST(DownloadProgressView, PaintsWithTheNextUpdateNotInsideEachReport) {
  QProgressBar bar;
  bar.setTextVisible(false);
  bar.resize(200, 10);
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QCoreApplication::processEvents();
  int paints = 0;
  struct PaintCounter : QObject {
    int& paints;
    explicit PaintCounter(int& p) : paints(p) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter(paints);
  bar.installEventFilter(&counter);

  DownloadProgressView view(&bar);
  view.setProgressMax(1000);
  for (int value = 100; value <= 1000; value += 100) view.setProgressValue(value);
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(bar.value(), 1000);
  EXPECT_TRUE(bar.updatesEnabled());
  QTRY_COMPARE(paints, 1);
  QTest::qWait(50);
  EXPECT_EQ(paints, 1);
  // The painted bar is full: its last column carries the chunk's colour,
  // not the groove's.
  const QImage shot = bar.grab().toImage();
  bar.setValue(0);
  const QImage empty = bar.grab().toImage();
  EXPECT_NE(shot.pixel(shot.width() - 4, 5), empty.pixel(empty.width() - 4, 5));

  // A bar whose updates are off keeps them off.
  bar.setUpdatesEnabled(false);
  view.setProgressValue(500);
  EXPECT_EQ(bar.value(), 500);
  EXPECT_FALSE(bar.updatesEnabled());
}

}  // namespace
}  // namespace tw
