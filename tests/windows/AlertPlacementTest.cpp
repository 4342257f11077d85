#include "mainwindow/AlertPlacement.h"
#include "mainwindow/AlertSlots.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using namespace AlertPlacement;

TEST(AlertSlots, TheFirstFreeSlotFromOneIsTaken) {
  AlertSlots slots;
  EXPECT_EQ(slots.Take(), 1);
  EXPECT_EQ(slots.Take(), 2);
  EXPECT_EQ(slots.Take(), 3);
  slots.Release(2);
  EXPECT_FALSE(slots.isTaken(2));
  EXPECT_EQ(slots.Take(), 2);
  EXPECT_EQ(slots.takenCount(), 3);
}

TEST(AlertSlots, AFullTableHandsOutNothing) {
  AlertSlots slots;
  for (int i = 1; i <= AlertSlots::kSlotCount; ++i) ASSERT_EQ(slots.Take(), i);
  EXPECT_TRUE(slots.isFull());
  EXPECT_EQ(slots.Take(), 0);
  slots.Release(57);
  EXPECT_EQ(slots.Take(), 57);
}

TEST(AlertSlots, ReleasingWhatIsNotTakenChangesNothing) {
  AlertSlots slots;
  slots.Take();
  slots.Release(0);
  slots.Release(-3);
  slots.Release(101);
  slots.Release(5);
  EXPECT_EQ(slots.takenCount(), 1);
  EXPECT_FALSE(slots.isTaken(0));
}

TEST(AlertPlacement, SlotsThatFitCountWholeAlerts) {
  EXPECT_EQ(SlotsThatFit(1040, 110), (1040 - kMarginPx) / 110);
  EXPECT_EQ(SlotsThatFit(3 * 110 + kMarginPx, 110), 3);
  EXPECT_EQ(SlotsThatFit(3 * 110 + kMarginPx - 1, 110), 2);
}

TEST(AlertPlacement, AScreenTooSmallForOneAlertStillHasOnePlace) {
  EXPECT_EQ(SlotsThatFit(50, 110), 1);
  EXPECT_EQ(SlotsThatFit(0, 110), 1);
  EXPECT_EQ(SlotsThatFit(500, 0), 1);
}

TEST(AlertPlacement, PastTheTopTheStackStartsAgainAtTheBottom) {
  EXPECT_EQ(StackPosition(1, 4), 1);
  EXPECT_EQ(StackPosition(4, 4), 4);
  EXPECT_EQ(StackPosition(5, 4), 1);
  EXPECT_EQ(StackPosition(9, 4), 1);
  EXPECT_EQ(StackPosition(100, 1), 1);
  EXPECT_EQ(StackPosition(0, 4), 1);
  EXPECT_EQ(StackPosition(7, 0), 1);
}

TEST(AlertPlacement, AlertsStandAboveThePanelAtTheRight) {
  // A 1920 x 1080 screen with a 40 pixel panel along the bottom.
  const QRect available(0, 0, 1920, 1040);
  const QSize size(252, 110);
  const QRect first = FinalGeometry(available, size, 1);
  EXPECT_EQ(first.right(), 1920 - 1 - kMarginPx);
  EXPECT_EQ(first.bottom(), 1040 - 1 - kMarginPx);
  const QRect second = FinalGeometry(available, size, 2);
  EXPECT_EQ(second.x(), first.x());
  EXPECT_EQ(second.bottom(), first.top() - 1) << "exactly one alert height above";
}

TEST(AlertPlacement, AnAreaAwayFromTheOriginIsRespected) {
  // A panel on the left and at the top.
  const QRect available(60, 30, 1000, 700);
  const QRect r = FinalGeometry(available, QSize(252, 110), 1);
  EXPECT_EQ(r.right(), 60 + 1000 - 1 - kMarginPx);
  EXPECT_EQ(r.bottom(), 30 + 700 - 1 - kMarginPx);
}

TEST(AlertPlacement, OnATinyScreenTheTitleStripStaysReachable) {
  const QRect available(0, 0, 200, 60);
  const QRect r = FinalGeometry(available, QSize(252, 110), 3);
  EXPECT_EQ(r.topLeft(), QPoint(0, 0));
  EXPECT_EQ(r.size(), QSize(252, 110));
}

TEST(AlertPlacement, SlidingKeepsTheBottomEdge) {
  const QRect final(500, 400, 252, 110);
  const QRect thin = SlideGeometry(final, 6);
  EXPECT_EQ(thin.bottom(), final.bottom());
  EXPECT_EQ(thin.height(), 6);
  EXPECT_EQ(SlideGeometry(final, 500), final);
  EXPECT_EQ(SlideGeometry(final, -4).height(), 0);
}

}  // namespace
}  // namespace tw
