#include "widgets/SplitGeometry.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

SplitGeometry Vertical(int width, int height, int minimum = 0) {
  SplitGeometry g;
  g.setControlSize(QSize(width, height));
  g.setOrientation(SplitOrientation::Vertical);
  g.setMinimumPaneWidth(minimum);
  return g;
}

TEST(SplitGeometry, BarWidthHasAFloorAndMayNotPassHalfTheControl) {
  SplitGeometry g = Vertical(100, 400);
  EXPECT_TRUE(g.setBarWidth(5));
  EXPECT_EQ(g.barWidth(), 10);
  EXPECT_FALSE(g.setBarWidth(60));
  EXPECT_EQ(g.barWidth(), 10) << "a refused width keeps the old one";
  EXPECT_TRUE(g.setBarWidth(50)) << "exactly half is allowed";
  EXPECT_EQ(g.barWidth(), 50);
}

TEST(SplitGeometry, AHorizontalBarIsCheckedAgainstTheHeight) {
  SplitGeometry g;
  g.setControlSize(QSize(1000, 100));
  g.setOrientation(SplitOrientation::Horizontal);
  EXPECT_FALSE(g.setBarWidth(60));
  EXPECT_TRUE(g.setBarWidth(40));
}

TEST(SplitGeometry, OrientationCentresTheBar) {
  SplitGeometry g = Vertical(3000, 800);
  EXPECT_EQ(g.barPosition(), 1500);
  g.setOrientation(SplitOrientation::Horizontal);
  EXPECT_EQ(g.barPosition(), 400);
}

TEST(SplitGeometry, NegativeMinimumBecomesZero) {
  SplitGeometry g;
  g.setMinimumPaneWidth(-40);
  EXPECT_EQ(g.minimumPaneWidth(), 0);
}

TEST(SplitGeometry, TheControlIsWidenedToHoldTwoMinimumPanesAndTheBar) {
  SplitGeometry g = Vertical(1500, 600, 1000);
  const SplitLayout l = g.Layout();
  EXPECT_EQ(l.control.width(), 2075);
  EXPECT_EQ(l.control.height(), 600);
  EXPECT_EQ(g.splitterLeftTop(), 1000);
}

TEST(SplitGeometry, ABarBelowTheMinimumIsPulledToIt) {
  SplitGeometry g = Vertical(5000, 600, 300);
  g.setBarPosition(0);
  const SplitLayout l = g.Layout();
  EXPECT_TRUE(l.barPulledBack);
  EXPECT_EQ(g.splitterLeftTop(), 300);
  EXPECT_EQ(g.barPosition(), 300);
}

TEST(SplitGeometry, TheFarPaneKeepsItsMinimumToo) {
  // The main window's case: a bar stored on a wide screen, a narrower window.
  SplitGeometry g = Vertical(10000, 6000, 2655);
  g.setBarPosition(9000);
  g.Layout();
  EXPECT_EQ(g.splitterLeftTop(), 10000 - 75 - 2655);

  SplitGeometry h;
  h.setControlSize(QSize(800, 5000));
  h.setOrientation(SplitOrientation::Horizontal);
  h.setMinimumPaneWidth(1000);
  h.setBarPosition(4500);
  h.Layout();
  EXPECT_EQ(h.splitterLeftTop(), 5000 - 75 - 1000);
}

TEST(SplitGeometry, PanesMeetTheBarOnBothSides) {
  SplitGeometry g = Vertical(4000, 900, 500);
  g.setBarPosition(1200);
  const SplitLayout l = g.Layout();
  EXPECT_FALSE(l.barPulledBack);
  EXPECT_EQ(l.leftPane, QRect(0, 0, 1200, 900));
  EXPECT_EQ(l.bar, QRect(1200, 0, 75, 900));
  EXPECT_EQ(l.rightPane, QRect(1275, 0, 4000 - 1275, 900));

  SplitGeometry h;
  h.setControlSize(QSize(700, 3000));
  h.setOrientation(SplitOrientation::Horizontal);
  h.setBarPosition(1000);
  const SplitLayout m = h.Layout();
  EXPECT_EQ(m.leftPane, QRect(0, 0, 700, 1000));
  EXPECT_EQ(m.bar, QRect(0, 1000, 700, 75));
  EXPECT_EQ(m.rightPane, QRect(0, 1075, 700, 3000 - 1075));
}

TEST(SplitGeometry, AVerticalDragStopsShortOfTheLimits) {
  SplitGeometry g = Vertical(3000, 600, 300);
  g.setBarPosition(1000);
  g.BeginDrag(20, 5);
  // new left = 1000 - 20 + x
  EXPECT_FALSE(g.DragTo(-680, 5)) << "300 itself is excluded";
  EXPECT_EQ(g.barPosition(), 1000);
  EXPECT_TRUE(g.DragTo(-679, 5));
  EXPECT_EQ(g.barPosition(), 301);

  g.setBarPosition(1000);
  EXPECT_FALSE(g.DragTo(1720, 5)) << "width - minimum itself is excluded";
  EXPECT_TRUE(g.DragTo(1719, 5));
  EXPECT_EQ(g.barPosition(), 2699);
}

TEST(SplitGeometry, AHorizontalDragIsFreeAndTheLayoutPutsItBack) {
  SplitGeometry g;
  g.setControlSize(QSize(800, 3000));
  g.setOrientation(SplitOrientation::Horizontal);
  g.setMinimumPaneWidth(400);
  g.BeginDrag(3, 10);
  EXPECT_TRUE(g.DragTo(3, -2000));
  EXPECT_EQ(g.barPosition(), 1500 - 10 - 2000);
  g.EndDrag();
  g.Layout();
  EXPECT_EQ(g.splitterLeftTop(), 400);
}

TEST(SplitGeometry, NoDragWithoutAButtonDown) {
  SplitGeometry g = Vertical(3000, 600);
  EXPECT_FALSE(g.DragTo(100, 0));
  EXPECT_EQ(g.barPosition(), 1500);
}

}  // namespace
}  // namespace tw
