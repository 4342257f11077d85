#include "support/LockingProcess.h"
#include "core/AppCore.h"
#include "core/EngineHooks.h"
#include "core/Startup.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

const QString kRoot = QStringLiteral("Software\\Tidewire");

class Recorder : public SiteTitleRefresher, public FeedChecker, public BuiltInPages {
 public:
  explicit Recorder(QStringList& log) : log_(log) {}
  void RefreshSiteTitle(int site, bool announce) override {
    log_ << QStringLiteral("RefreshSiteTitle %1 %2").arg(site).arg(announce);
  }
  void QueueAllFeeds() override { log_ << QStringLiteral("QueueAllFeeds"); }
  void WriteAboutPage() override { log_ << QStringLiteral("WriteAboutPage"); }

 private:
  QStringList& log_;
};

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : recorder(window.calls) {}

  // A fresh core over the same stores, as a new process would see them.
  void run() {
    core = std::make_unique<AppCore>(home.paths(), clock, FeedEndpoints());
    startup = std::make_unique<Startup>(*core, window, window, window);
    startup->setTitleRefresher(&recorder);
    startup->setFeedChecker(&recorder);
    startup->setBuiltInPages(&recorder);
    startup->setLoginNameSource([] { return QStringLiteral("ann"); });
    core->activity.setListVisibility(&window);
    startup->Run();
  }
  // Writes a value into a hive as an earlier run (or the options) would have.
  void preset(Hive hive, const QString& name, const QVariant& value) {
    Registry registry(home.paths().machineStore, home.paths().userStore, {});
    registry.CreateRegKey(hive, kRoot);
    registry.SetRegValue(hive, kRoot, name, value, RegType::Dword);
  }
  int indexOf(const QString& call) const { return window.calls.indexOf(call); }

  test::TempHome home;
  test::FakeClock clock;
  test::FakeWindow window;
  Recorder recorder;
  std::unique_ptr<AppCore> core;
  std::unique_ptr<Startup> startup;
};

TEST_F(StartupTest, AnEmptyStoreStartsWithEveryDefault) {
  QDir(home.paths().programFolder).removeRecursively();
  run();
  EXPECT_TRUE(QFileInfo(home.paths().programFolder).isDir());
  const AppIdentity& id = core->identity;
  EXPECT_EQ(id.ProgTitle, QStringLiteral("Tidewire"));
  EXPECT_EQ(id.ConsoleName, QStringLiteral("Xbox"));
  EXPECT_EQ(id.VersionText, QStringLiteral("v1.0 build 0311"));
  EXPECT_EQ(id.SettingsRoot, kRoot);
  EXPECT_EQ(id.SettingsHive, Hive::LocalMachine);
  EXPECT_EQ(id.AlertDisplayTime, 20);
  EXPECT_EQ(id.VersionFileUrl, FeedEndpoints().VersionFileUrl());
  EXPECT_TRUE(core->registry.KeyExists(Hive::LocalMachine, kRoot));

  EXPECT_EQ(window.windowCaption, QStringLiteral("Tidewire"));
  EXPECT_EQ(window.panelTexts.value("user"), QStringLiteral("Single user settings  "));
  EXPECT_EQ(window.panelImages.value("user"), QStringLiteral("single_user"));
  EXPECT_EQ(window.panelTexts.value("ver"), QStringLiteral("v1.0 build 0311"));
  EXPECT_EQ(window.panelTexts.value("msg"), QStringLiteral("Automatic news updating disabled"));
  EXPECT_FALSE(core->checkTimer.tmrDownload().isActive());
  EXPECT_EQ(core->checkTimer.tmrDownload().interval(), 60000);

  EXPECT_EQ(indexOf("QueueAllFeeds"), -1);
  EXPECT_FALSE(window.minimized);
  EXPECT_FALSE(window.inTray);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.w, 640 * 15);
  EXPECT_EQ(window.h, 480 * 15);
  EXPECT_EQ(window.x, (1920 - 640) * 15 / 2);
  EXPECT_EQ(window.splitter, 0);

  EXPECT_EQ(core->tv.rootKeys().size(), 17);
  EXPECT_EQ(core->tv.selectedKey(), core->sites[1].Key);
  ASSERT_FALSE(core->activity.lines().isEmpty());
  EXPECT_TRUE(core->activity.lines().last().text.endsWith(QStringLiteral(" - Starting Tidewire v1.0 build 0311")));
  EXPECT_FALSE(window.panelTexts.contains("dl"));  // the start line is not mirrored
}

TEST_F(StartupTest, RunsItsStepsInOrder) {
  preset(Hive::LocalMachine, QStringLiteral("Check At Startup"), 1);
  preset(Hive::LocalMachine, QStringLiteral("Splitter Position"), 4000);
  run();
  const QStringList expected = {
      "installMinimumSizeHook", "applyProductIdentity Tidewire", "setCaption Tidewire", "applyDisplaySettings",
      "QueueAllFeeds", "RefreshSiteTitle 1 1", "RefreshSiteTitle 17 1", "showPlaced 1",
      "setSplitterPosition 4000", "WriteAboutPage", "focusTree"};
  int last = -1;
  for (const QString& step : expected) {
    const int at = indexOf(step);
    ASSERT_GE(at, 0) << step.toStdString();
    EXPECT_GT(at, last) << step.toStdString();
    last = at;
  }
  // Titles are refreshed for every site, in catalogue order.
  EXPECT_EQ(indexOf("RefreshSiteTitle 2 1"), indexOf("RefreshSiteTitle 1 1") + 1);
  EXPECT_EQ(window.splitter, 4000);
}

TEST_F(StartupTest, OnlyACheckAtStartupOfExactlyOneChecks) {
  for (const int value : {2, -1, 0}) {
    preset(Hive::LocalMachine, QStringLiteral("Check At Startup"), value);
    window.calls.clear();
    run();
    EXPECT_EQ(indexOf("QueueAllFeeds"), -1) << value;
  }
}

TEST_F(StartupTest, MultiUserReadsEverythingFromTheUsersOwnStore) {
  preset(Hive::LocalMachine, QStringLiteral("Multi User"), 1);
  preset(Hive::LocalMachine, QStringLiteral("Check Interval Minutes"), 30);
  run();
  EXPECT_EQ(core->identity.SettingsHive, Hive::CurrentUser);
  EXPECT_EQ(window.panelTexts.value("user"), QStringLiteral("Multi user settings (ann)  "));
  EXPECT_EQ(window.panelImages.value("user"), QStringLiteral("multi_user"));
  // The machine store's interval belongs to single-user mode.
  EXPECT_EQ(window.panelTexts.value("msg"), QStringLiteral("Automatic news updating disabled"));
  EXPECT_TRUE(core->registry.KeyExists(Hive::CurrentUser, kRoot));
  EXPECT_TRUE(core->registry.KeyExists(Hive::CurrentUser, kRoot + QStringLiteral("\\Xbins")));

  core->settings.setNumber(setting::CheckIntervalMinutes, 10);
  EXPECT_EQ(core->registry.QueryRegValue(Hive::CurrentUser, kRoot, "Check Interval Minutes").toInt(), 10);
  EXPECT_EQ(core->registry.QueryRegValue(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 30);
}

TEST_F(StartupTest, AnIntervalStartsTheTimerWithOneTick) {
  preset(Hive::LocalMachine, QStringLiteral("Check Interval Minutes"), 90);
  run();
  EXPECT_TRUE(core->checkTimer.tmrDownload().isActive());
  EXPECT_EQ(window.panelTexts.value("msg"), QStringLiteral("Checking for new items in 1 hour 30 minutes"));
  EXPECT_EQ(core->checkTimer.MinuteCounter(), 1);
  EXPECT_EQ(window.trayTip, QStringLiteral("Tidewire\r\nChecking for new items in 1 hour 30 minutes"));
}

TEST_F(StartupTest, AutoMinimiseWithCloseToTrayLeavesOnlyTheTrayIcon) {
  preset(Hive::LocalMachine, QStringLiteral("Auto Minimise"), 1);
  preset(Hive::LocalMachine, QStringLiteral("Close To Tray"), 1);
  run();
  EXPECT_GE(indexOf("SendToTray 0"), 0);
  EXPECT_TRUE(window.inTray);
  EXPECT_FALSE(window.visible);
  EXPECT_GE(indexOf("showPlaced 0"), 0);
  EXPECT_EQ(indexOf("focusTree"), -1);
}

TEST_F(StartupTest, AutoMinimiseWithoutTrayStartsMinimisedAtTheRememberedSize) {
  preset(Hive::LocalMachine, QStringLiteral("Auto Minimise"), 1);
  preset(Hive::LocalMachine, QStringLiteral("frmMainWidth"), 15000);
  preset(Hive::LocalMachine, QStringLiteral("frmMainHeight"), 9000);
  run();
  EXPECT_TRUE(window.minimized);
  EXPECT_FALSE(window.inTray);
  EXPECT_EQ(window.w, 15000);
  EXPECT_EQ(window.h, 9000);
}

TEST_F(StartupTest, WithoutANotificationAreaTheWindowIsNeverHidden) {
  preset(Hive::LocalMachine, QStringLiteral("Auto Minimise"), 1);
  preset(Hive::LocalMachine, QStringLiteral("Close To Tray"), 1);
  window.trayAvailable = false;
  run();
  EXPECT_FALSE(window.inTray);
  EXPECT_TRUE(window.minimized);
  EXPECT_FALSE(startup->QueryUnload(CloseReason::UserClose));
}

TEST_F(StartupTest, TheCloseBoxHidesToTheTrayOnlyWhenAsked) {
  run();
  EXPECT_FALSE(startup->QueryUnload(CloseReason::UserClose));
  core->settings.setFlag(setting::CloseToTray, true);
  EXPECT_TRUE(startup->QueryUnload(CloseReason::UserClose));
  EXPECT_GE(indexOf("SendToTray 1"), 0);
  EXPECT_FALSE(startup->QueryUnload(CloseReason::ProgramExit));
  EXPECT_FALSE(startup->QueryUnload(CloseReason::SessionEnd));
}

// Nothing is built from settings that cannot be read: the window shows why,
// and start-up goes on, with the real settings, once the store is free.
TEST_F(StartupTest, AStoreLockedByAnotherProgramShowsTheWindowAndStartsWhenFree) {
  preset(Hive::LocalMachine, QStringLiteral("Check At Startup"), 1);
  test::LockingProcess locker(home.paths().machineStore, "everything");
  ASSERT_TRUE(locker.isLocked());
  run();
  EXPECT_TRUE(window.visible);
  EXPECT_LE(window.x + window.w, window.screen.right());  // on the screen, not off it
  EXPECT_EQ(core->sites.LastIndex(), 0);
  EXPECT_FALSE(window.calls.contains(QStringLiteral("QueueAllFeeds")));
  ASSERT_EQ(core->activity.lines().size(), 1);
  EXPECT_TRUE(core->activity.lines().first().text.contains(QStringLiteral("locked by another program")));

  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.calls.contains(QStringLiteral("QueueAllFeeds")); }, 5000));
  EXPECT_EQ(core->sites.LastIndex(), 17);
  EXPECT_TRUE(window.calls.contains(QStringLiteral("WriteAboutPage")));
  QStringList lines;
  for (const ActivityLine& line : core->activity.lines()) lines << line.text;
  EXPECT_EQ(lines.filter(QStringLiteral("Starting Tidewire")).size(), 1) << lines.join(u'\n').toStdString();
  EXPECT_EQ(lines.filter(QStringLiteral("free again")).size(), 1) << lines.join(u'\n').toStdString();
}

TEST_F(StartupTest, ShutdownSavesPlacementAndSplitterThenLetsGo) {
  run();
  window.move(3000, 2000);
  window.resize(12000, 8000);
  window.splitter = 3210;
  window.calls.clear();
  startup->Shutdown();
  EXPECT_EQ(window.calls, (QStringList{"removeMinimumSizeHook", "RemoveTrayIcon", "unloadWindows"}));
  const Settings& s = core->settings;
  EXPECT_EQ(s.number(setting::SplitterPosition), 3210);
  EXPECT_EQ(s.placement("frmMain", setting::PlacementLeft).toInt(), 3000);
  EXPECT_EQ(s.placement("frmMain", setting::PlacementTop).toInt(), 2000);
  EXPECT_EQ(s.placement("frmMain", setting::PlacementWidth).toInt(), 12000);
  EXPECT_EQ(s.placement("frmMain", setting::PlacementWindowState).toInt(), 0);

  // The next start puts the window back where it was.
  test::FakeWindow& next = window;
  next.move(0, 0);
  run();
  EXPECT_EQ(next.x, 3000);
  EXPECT_EQ(next.y, 2000);
  EXPECT_EQ(next.w, 12000);
  EXPECT_EQ(next.splitter, 3210);
}

TEST(VersionText, PadsTheRevisionToFourDigits) {
  EXPECT_EQ(BuildVersionText(1, 0, 311), QStringLiteral("v1.0 build 0311"));
  EXPECT_EQ(BuildVersionText(1, 0, 7), QStringLiteral("v1.0 build 0007"));
  EXPECT_EQ(BuildVersionText(2, 10, 12345), QStringLiteral("v2.10 build 2345"));
}

}  // namespace
}  // namespace tw
