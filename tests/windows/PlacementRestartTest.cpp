#include "core/AppIdentity.h"
#include "core/Placement.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "support/TempHome.h"
#include "widgets/Twips.h"
#include "widgets/WidgetGeometry.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace tw {
namespace {

// Saves a window as shutdown does and restores a new one as start-up does,
// across a "restart" that shares only the settings store.
class PlacementRestartTest : public ::testing::Test {
 protected:
  PlacementRestartTest()
      : registry(home.paths().machineStore, home.paths().userStore, {}), settings(registry, identity) {
    identity.SettingsRoot = QStringLiteral("Software\\Tidewire");
    registry.CreateRegKey(Hive::LocalMachine, identity.SettingsRoot);
  }

  struct Run {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    WidgetGeometry geometry{*window, QStringLiteral("frmMain")};
  };

  std::unique_ptr<Run> start() {
    auto run = std::make_unique<Run>();
    run->geometry.setScreenArea([this] { return screen; });
    InstallMinimumSize(*run->window);
    // Size, place and state first, then shown.
    RestoreFormSize(settings, run->geometry, kMainMinimumWidthPx, kMainMinimumHeightPx);
    RestoreFormPosition(settings, run->geometry);
    RestoreFormState(settings, run->geometry);
    run->window->show();
    QTest::qWait(10);
    return run;
  }
  void shutdown(Run& run) {
    SaveFormPosition(settings, run.geometry);
    SaveFormSize(settings, run.geometry);
  }
  qint32 stored(const char* property) { return settings.placement(QStringLiteral("frmMain"), property).toInt(); }

  test::TempHome home;
  AppIdentity identity;
  Registry registry;
  Settings settings;
  QRect screen{0, 0, 1600, 1000};
};

TEST_F(PlacementRestartTest, TheFirstRunOpensCentredAtTheMinimum) {
  auto run = start();
  EXPECT_EQ(run->window->size(), QSize(640, 480));
  EXPECT_EQ(run->window->geometry().topLeft(), QPoint((1600 - 640) / 2, (1000 - 480) / 2));
}

TEST_F(PlacementRestartTest, ANormalWindowComesBackWhereItWas) {
  auto first = start();
  first->window->setGeometry(120, 90, 900, 700);
  shutdown(*first);
  first.reset();

  auto second = start();
  EXPECT_EQ(second->window->geometry(), QRect(120, 90, 900, 700));
  EXPECT_EQ(second->geometry.windowState(), WindowState::Normal);
}

TEST_F(PlacementRestartTest, AMaximisedWindowReopensMaximisedOverItsNormalSize) {
  auto first = start();
  first->window->setGeometry(120, 90, 900, 700);
  shutdown(*first);  // an earlier run that ended in the normal state
  first->window->showMaximized();
  QTest::qWait(10);
  ASSERT_EQ(first->geometry.windowState(), WindowState::Maximized);
  shutdown(*first);
  EXPECT_EQ(stored("WindowState"), 2);
  const double tpp = TwipsPerPixelX(*first->window);
  EXPECT_EQ(stored("Width"), 900 * tpp) << "the normal size is kept";
  first.reset();

  auto second = start();
  EXPECT_EQ(second->geometry.windowState(), WindowState::Maximized);
  second->window->showNormal();
  QTest::qWait(10);
  EXPECT_EQ(second->window->size(), QSize(900, 700));
}

TEST_F(PlacementRestartTest, EndingMinimisedKeepsTheLastNormalPlace) {
  auto first = start();
  first->window->setGeometry(200, 150, 800, 600);
  shutdown(*first);
  first->window->setGeometry(10, 10, 700, 500);
  first->window->showMinimized();
  QTest::qWait(10);
  shutdown(*first);
  EXPECT_EQ(stored("WindowState"), 1);
  first.reset();

  auto second = start();
  EXPECT_EQ(second->geometry.windowState(), WindowState::Normal) << "a minimised state is not restored";
  EXPECT_EQ(second->window->geometry(), QRect(200, 150, 800, 600));
}

TEST_F(PlacementRestartTest, AWindowLeftOffTheScreenIsPulledBack) {
  auto first = start();
  first->window->setGeometry(1400, 900, 800, 600);
  shutdown(*first);
  first.reset();

  screen = QRect(0, 0, 1024, 768);  // a smaller display since
  auto second = start();
  EXPECT_EQ(second->window->geometry(), QRect(1024 - 800, 768 - 600, 800, 600));
  // Once the frame is known, frame and all inside the screen.
  const QMargins frame = second->window->windowHandle()->frameMargins();
  KeepOnScreen(second->geometry);
  EXPECT_EQ(second->window->geometry(),
            QRect(1024 - frame.right() - 800, 768 - frame.bottom() - 600, 800, 600));
}

TEST_F(PlacementRestartTest, AStoredSizeBelowTheMinimumGrowsToIt) {
  auto first = start();
  first->window->setMinimumSize(0, 0);
  first->window->setGeometry(100, 100, 300, 200);
  shutdown(*first);
  first.reset();
  auto second = start();
  EXPECT_EQ(second->window->size(), QSize(640, 480));
}

TEST_F(PlacementRestartTest, TopmostKeepsThePlace) {
  auto run = start();
  run->window->setGeometry(100, 80, 700, 500);
  SetFormTopmost(run->geometry, true);
  EXPECT_TRUE(run->window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(run->window->isVisible());
  EXPECT_EQ(run->window->geometry(), QRect(100, 80, 700, 500));
  SetFormTopmost(run->geometry, false);
  EXPECT_FALSE(run->window->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(PlacementRestartTest, TheMainWindowHasAMinimumSize) {
  QWidget window;
  InstallMinimumSize(window);
  EXPECT_EQ(window.minimumSize(), QSize(640, 480));
  RemoveMinimumSize(window);
  EXPECT_EQ(window.minimumSize(), QSize(0, 0));

  // A work area smaller than that: the minimum gives way to it.
  screen = QRect(0, 0, 640, 450);
  auto run = start();
  EXPECT_EQ(run->window->minimumSize(), QSize(640, 450));
  EXPECT_EQ(run->window->size(), QSize(640, 450));
}

}  // namespace
}  // namespace tw
