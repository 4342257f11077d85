#include "core/Placement.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ClampValue, NegativeBoundsMeanNoBound) {
  EXPECT_EQ(ClampValue(5, 0, 10), 5);
  EXPECT_EQ(ClampValue(-2000, 0, 10), 0);
  EXPECT_EQ(ClampValue(11, 0, 10), 10);
  EXPECT_EQ(ClampValue(0, 0, 10), 0);
  EXPECT_EQ(ClampValue(10, 0, 10), 10);
  EXPECT_EQ(ClampValue(-5, -1, 10), -5);
  EXPECT_EQ(ClampValue(500, 0, -1), 500);
  // Both tests look at the value passed in: with low above high, high wins.
  EXPECT_EQ(ClampValue(7, 10, 5), 5);
  EXPECT_EQ(ClampValue(3, 10, 5), 10);
}

class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest()
      : registry(home.paths().machineStore, home.paths().userStore, {}), settings(registry, identity) {
    identity.SettingsRoot = QStringLiteral("Software\\Tidewire");
    registry.CreateRegKey(Hive::LocalMachine, identity.SettingsRoot);
  }
  void store(const char* property, double value) { settings.setPlacement(QStringLiteral("frmMain"), property, value); }
  qint32 stored(const char* property) { return settings.placement(QStringLiteral("frmMain"), property).toInt(); }
  void restore() {
    RestoreFormSize(settings, window, 640, 480);
    RestoreFormPosition(settings, window);
    RestoreFormState(settings, window);
  }

  test::TempHome home;
  AppIdentity identity;
  Registry registry;
  Settings settings;
  test::FakeWindow window;  // 1920 x 1080 pixels at 15 twips a pixel
};

TEST_F(PlacementTest, NothingStoredOpens640By480Centred) {
  restore();
  EXPECT_EQ(window.w, 640 * 15);
  EXPECT_EQ(window.h, 480 * 15);
  EXPECT_EQ(window.x, (1920 - 640) * 15 / 2);
  EXPECT_EQ(window.y, (1080 - 480) * 15 / 2);
}

TEST_F(PlacementTest, ATopOfZeroCentresWhateverTheLeft) {
  store("Top", 0);
  store("Left", 500);
  store("Width", 12000);
  store("Height", 9000);
  restore();
  EXPECT_EQ(window.x, (1920 * 15 - 12000) / 2);
  EXPECT_EQ(window.y, (1080 * 15 - 9000) / 2);
}

TEST_F(PlacementTest, OffScreenPlacesArePulledBackOntoTheScreen) {
  store("Width", 12000);
  store("Height", 9000);
  store("Left", -2000);
  store("Top", 100000);
  restore();
  EXPECT_EQ(window.x, 0);
  EXPECT_EQ(window.y, 1080 * 15 - 9000);

  store("Left", 100000);
  store("Top", 300);
  restore();
  EXPECT_EQ(window.x, 1920 * 15 - 12000);
  EXPECT_EQ(window.y, 300);
}

TEST_F(PlacementTest, AWindowLargerThanTheScreenShrinksToItFrameAndAll) {
  // 1040 x 720 remembered, no place, on 800 x 600 with a 20-pixel title bar:
  // centring used to put the title bar and the menu above the screen.
  window.screen = QRectF(0, 0, 800 * 15, 600 * 15);
  window.frame = QMarginsF(1 * 15, 20 * 15, 1 * 15, 5 * 15);
  store("Width", 1040 * 15);
  store("Height", 720 * 15);
  restore();
  EXPECT_EQ(window.w, 798 * 15);
  EXPECT_EQ(window.h, 575 * 15);
  EXPECT_EQ(window.x, 1 * 15);
  EXPECT_EQ(window.y, 20 * 15);

  // A remembered place is pulled in the same way.
  store("Left", -700);
  store("Top", 45000);
  restore();
  EXPECT_EQ(window.x, 1 * 15);
  EXPECT_EQ(window.y, 20 * 15);
  EXPECT_EQ(window.h, 575 * 15);

  // Work areas smaller than the 640 x 480 minimum: the minimum gives way, so
  // the status bar stays in sight, and the title bar and menu too.
  window.screen = QRectF(100 * 15, 50 * 15, 600 * 15, 400 * 15);
  restore();
  EXPECT_EQ(QRectF(window.x, window.y, window.w, window.h), QRectF(101 * 15, 70 * 15, 598 * 15, 375 * 15));
  window.screen = QRectF(0, 0, 640 * 15, 450 * 15);  // a 640 x 480 screen with a panel
  restore();
  EXPECT_EQ(QRectF(window.x, window.y, window.w, window.h), QRectF(1 * 15, 20 * 15, 638 * 15, 425 * 15));
}

TEST_F(PlacementTest, NothingOffTheScreenIsSaved) {
  window.frame = QMarginsF(15, 300, 15, 75);
  window.move(-30000, 20000);
  window.resize(12000, 9000);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);
  EXPECT_EQ(stored("Left"), 15);
  EXPECT_EQ(stored("Top"), 1080 * 15 - 75 - 9000);
  EXPECT_EQ(stored("Width"), 12000);

  // Once framed, a window placed before its frame was known is pulled in.
  window.move(0, 0);
  KeepOnScreen(window);
  EXPECT_EQ(window.x, 15);
  EXPECT_EQ(window.y, 300);

  // Where the desktop follows no move, the window keeps its place and
  // shrinks until its frame's bottom and right edges are on the screen.
  // Its frame may have been put where it asked to be, the client below it.
  window.movable = false;
  window.shownBelow = QPointF(0, 300);
  window.move(1500 * 15, 600 * 15);
  KeepOnScreen(window);
  EXPECT_EQ(window.x, 1500 * 15);
  EXPECT_EQ(window.y, 600 * 15);
  EXPECT_EQ(window.w, 1920 * 15 - 15 - 1500 * 15);
  EXPECT_EQ(window.h, 1080 * 15 - 75 - 600 * 15 - 300);
}

TEST_F(PlacementTest, SizesBelowTheMinimumGrow) {
  store("Width", 300 * 15);
  store("Height", 900 * 15);
  restore();
  EXPECT_EQ(window.w, 640 * 15);
  EXPECT_EQ(window.h, 900 * 15);
}

TEST_F(PlacementTest, MaximisedIsRestoredAndKeepsTheLastNormalSize) {
  window.move(1500, 1200);
  window.resize(15000, 10000);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);

  window.state = WindowState::Maximized;
  window.move(0, 0);
  window.resize(1920 * 15, 1040 * 15);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);
  EXPECT_EQ(stored("WindowState"), 2);
  EXPECT_EQ(stored("Width"), 15000);
  EXPECT_EQ(stored("Left"), 1500);

  // Size and place first, so they are what the window goes back to.
  test::FakeWindow next;
  RestoreFormSize(settings, next, 640, 480);
  RestoreFormPosition(settings, next);
  EXPECT_EQ(next.state, WindowState::Normal);
  RestoreFormState(settings, next);
  EXPECT_EQ(next.state, WindowState::Maximized);
  EXPECT_EQ(next.w, 15000);
  EXPECT_EQ(next.h, 10000);
  EXPECT_EQ(next.x, 1500);
  EXPECT_EQ(next.y, 1200);
}

TEST_F(PlacementTest, EndingMinimisedStoresOnlyTheStateAndOpensNormal) {
  window.move(1500, 1200);
  window.resize(15000, 10000);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);
  window.state = WindowState::Minimized;
  window.move(-32000, -32000);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);
  EXPECT_EQ(stored("WindowState"), 1);
  EXPECT_EQ(stored("Top"), 1200);

  test::FakeWindow next;
  RestoreFormSize(settings, next, 640, 480);
  RestoreFormPosition(settings, next);
  EXPECT_EQ(next.state, WindowState::Normal);
  EXPECT_EQ(next.x, 1500);
  EXPECT_EQ(next.y, 1200);
}

TEST_F(PlacementTest, WithoutARealPositionTheStoredOneIsKeptForAnotherDesktop) {
  // Where the desktop places every window (Wayland) and reports 0, 0.
  window.positioned = false;
  store("Left", 300 * 15);
  store("Top", 200 * 15);
  store("Width", 12000);
  store("Height", 9000);
  restore();
  EXPECT_EQ(window.w, 12000);
  EXPECT_EQ(window.h, 9000);
  EXPECT_EQ(window.x, 0) << "neither moved to the stored place nor centred";
  EXPECT_EQ(window.y, 0);

  window.resize(15000, 10000);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);
  EXPECT_EQ(stored("Left"), 300 * 15);
  EXPECT_EQ(stored("Top"), 200 * 15);
  EXPECT_EQ(stored("Width"), 15000);
  EXPECT_EQ(stored("Height"), 10000);
  EXPECT_EQ(stored("WindowState"), 0);

  // Maximised is still remembered, and a size too large for the screen
  // still shrinks to it, frame and all.
  window.state = WindowState::Maximized;
  SaveFormSize(settings, window);
  EXPECT_EQ(stored("WindowState"), 2);
  test::FakeWindow next;
  next.positioned = false;
  next.screen = QRectF(0, 0, 800 * 15, 600 * 15);
  next.frame = QMarginsF(0, 30 * 15, 0, 0);
  RestoreFormSize(settings, next, 640, 480);
  RestoreFormPosition(settings, next);
  KeepOnScreen(next);
  RestoreFormState(settings, next);
  EXPECT_EQ(next.w, 800 * 15);
  EXPECT_EQ(next.h, 570 * 15);
  EXPECT_EQ(next.x, 0);
  EXPECT_EQ(next.y, 0);
  EXPECT_EQ(next.state, WindowState::Maximized);
}

TEST_F(PlacementTest, FractionsOfATwipAreRoundedWhenSaved) {
  window.move(100.5, 101.5);
  window.resize(9600.4, 7200.6);
  SaveFormPosition(settings, window);
  SaveFormSize(settings, window);
  EXPECT_EQ(stored("Left"), 100);
  EXPECT_EQ(stored("Top"), 102);
  EXPECT_EQ(stored("Width"), 9600);
  EXPECT_EQ(stored("Height"), 7201);
}

TEST_F(PlacementTest, TopmostUsesPixels) {
  window.move(1500, 750);
  window.resize(9600, 7200);
  SetFormTopmost(window, true);
  EXPECT_EQ(window.calls.last(), QStringLiteral("setTopmost 1 100 50 640 480"));
}

}  // namespace
}  // namespace tw
