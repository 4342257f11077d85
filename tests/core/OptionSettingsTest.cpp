// Reading and saving the options, headless: what lands in which store, the
// order in which the program takes the new settings up, and the entry that
// starts the program with the desktop.
#include "core/AppCore.h"
#include "core/Autostart.h"
#include "core/EngineHooks.h"
#include "core/OptionSettings.h"
#include "core/Startup.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>

namespace tw {
namespace {

const QString kRoot = QStringLiteral("Software\\Tidewire");
const QString kRunKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kExecutable = QStringLiteral("/opt/tide wire/bin/tidewire");

class TitleRecorder : public SiteTitleRefresher {
 public:
  explicit TitleRecorder(QStringList& log) : log_(log) {}
  void RefreshSiteTitle(int site, bool announce) override {
    log_ << QStringLiteral("RefreshSiteTitle %1 %2").arg(site).arg(announce);
  }

 private:
  QStringList& log_;
};

// desktop-file-validate's verdict on a file: empty when it is a valid entry.
QString ValidationProblems(const QString& path) {
  QProcess validate;
  validate.start(QStringLiteral("desktop-file-validate"), {path});
  if (!validate.waitForFinished(30000)) return QStringLiteral("desktop-file-validate did not run");
  const QString output = QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
  return validate.exitCode() == 0 && output.trimmed().isEmpty() ? QString() : output;
}

class OptionSettingsTest : public ::testing::Test {
 protected:
  OptionSettingsTest()
      : titles(window.calls),
        core(home.paths(), clock, FeedEndpoints()),
        startup(core, window, window, window),
        autostart(core.registry, core.identity, home.paths(), kExecutable, core.activity),
        options(core, startup, window, autostart) {
    startup.setTitleRefresher(&titles);
    startup.setLoginNameSource([] { return QStringLiteral("ann"); });
    core.activity.setListVisibility(&window);
  }

  void start() {
    startup.Run();
    window.calls.clear();
  }
  void preset(Hive hive, const QString& key, const QString& name, int value) {
    core.registry.CreateRegKey(hive, key);
    core.registry.SetRegValue(hive, key, name, value, RegType::Dword);
  }
  RegValue stored(Hive hive, const QString& key, const QString& name) {
    return core.registry.QueryRegValue(hive, key, name);
  }
  QString siteKey(int site) const { return core.sites[site].Key; }
  QString siteKeyPath(int site) const { return kRoot + u'\\' + core.sites[site].Title; }
  int indexOf(const QString& call) const { return window.calls.indexOf(call); }

  test::TempHome home;
  test::FakeClock clock;
  test::FakeWindow window;
  TitleRecorder titles;
  AppCore core;
  Startup startup;
  Autostart autostart;
  OptionSettings options;
};

TEST_F(OptionSettingsTest, SavingAppliesEverythingAtOnceInOrder) {
  start();
  OptionValues values = options.Read(false);
  values.checks[QStringLiteral("SHOW_LOG")] = true;
  values.checks[siteKey(2) + QStringLiteral("_DISABLE")] = true;
  values.userDefined = true;
  values.intervalTag = QStringLiteral("90");
  options.Save(values);

  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Auto Minimise").toInt(), 0) << "every check is written";
  EXPECT_EQ(stored(Hive::LocalMachine, siteKeyPath(2), "Disabled").toInt(), 1);
  EXPECT_FALSE(core.tv.contains(siteKey(2)));
  EXPECT_TRUE(window.activityListShown);
  EXPECT_EQ(window.panelTexts.value("msg"), QStringLiteral("Checking for new items in 1 hour 30 minutes"));
  // Titles without announcing, then the strips, then the timer's first tick.
  EXPECT_EQ(indexOf("RefreshSiteTitle 1 0"), 0);
  EXPECT_EQ(indexOf("RefreshSiteTitle 17 0"), 16);
  EXPECT_EQ(indexOf("showStrips"), 17);

  // The site comes back; "User Defined" with no interval saves 0: no timer.
  values.checks[siteKey(2) + QStringLiteral("_DISABLE")] = false;
  values.intervalTag.clear();
  options.Save(values);
  EXPECT_TRUE(core.tv.contains(siteKey(2)));
  EXPECT_TRUE(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").isNumber());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 0);
  EXPECT_FALSE(core.checkTimer.tmrDownload().isActive());
}

TEST_F(OptionSettingsTest, TheOtherModeIsOnlyReadUntilSavedThenTheTreeIsBuiltFromIt) {
  preset(Hive::LocalMachine, kRoot, QStringLiteral("Check At Startup"), 2);
  start();
  preset(Hive::CurrentUser, kRoot, QStringLiteral("Close To Tray"), 1);
  preset(Hive::CurrentUser, siteKeyPath(5), QStringLiteral("Disabled"), 1);
  EXPECT_FALSE(options.Read(false).checks.value("CHECK_STARTUP")) << "2 does not check at start-up: shown off";

  OptionValues values = options.Read(true);
  EXPECT_TRUE(values.checks.value("CLOSE_TRAY"));
  EXPECT_TRUE(values.checks.value(siteKey(5) + QStringLiteral("_DISABLE")));
  EXPECT_NE(options.Cfg_List(values), options.Cfg_List(options.Read(false)));
  // Looking is not switching: the program still reads and writes its own mode.
  EXPECT_EQ(core.identity.SettingsHive, Hive::LocalMachine);
  EXPECT_FALSE(core.settings.flag(setting::CloseToTray));

  QStringList removed;
  QObject::connect(&core.tv, &SiteTree::nodeAboutToBeRemoved, [&removed](const QString& key) { removed << key; });
  // A site never seen in this mode: the user's store has no key for it yet.
  ASSERT_FALSE(core.registry.KeyExists(Hive::CurrentUser, siteKeyPath(9)));
  values.checks[siteKey(9) + QStringLiteral("_DISABLE")] = true;
  options.Save(values);

  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Multi User").toInt(), 1);
  EXPECT_EQ(core.identity.SettingsHive, Hive::CurrentUser);
  EXPECT_EQ(window.panelTexts.value("user"), QStringLiteral("Multi user settings (ann)  "));
  EXPECT_EQ(window.panelImages.value("user"), QStringLiteral("multi_user"));
  // Every shown site went, and the tree was built again from the user's settings.
  EXPECT_TRUE(removed.contains(siteKey(1)) && removed.contains(siteKey(17)));
  EXPECT_TRUE(core.tv.contains(siteKey(1)));
  EXPECT_FALSE(core.tv.contains(siteKey(5)));
  // The new site key was made before its values were written, so they stay.
  EXPECT_EQ(stored(Hive::CurrentUser, siteKeyPath(9), "Disabled").toInt(), 1);
  EXPECT_FALSE(core.tv.contains(siteKey(9)));
  EXPECT_EQ(stored(Hive::LocalMachine, siteKeyPath(9), "Disabled").toInt(), 0);
}

TEST_F(OptionSettingsTest, AFolderThatCannotBeWrittenIsReportedAndNothingClaimsTheStart) {
  // The system folder's parent is a file: not even root can make the folder.
  const QString blocker = home.path(QStringLiteral("not-a-folder"));
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  AppPaths paths = home.paths();
  paths.systemAutostartFolder = blocker + QStringLiteral("/autostart");
  Autostart blocked(core.registry, core.identity, paths, kExecutable, core.activity);
  OptionSettings blockedOptions(core, startup, window, blocked);
  start();

  OptionValues values = blockedOptions.Read(false);
  values.autoRun = true;
  blockedOptions.Save(values);
  const auto reported = std::any_of(core.activity.lines().begin(), core.activity.lines().end(), [&](const ActivityLine& line) {
    return line.level == LogLevel::Error && line.text.contains(paths.systemAutostartFolder);
  });
  EXPECT_TRUE(reported) << "an error line naming the folder";
  EXPECT_TRUE(stored(Hive::LocalMachine, kRunKey, "Tidewire").isEmpty());
  EXPECT_FALSE(blockedOptions.Read(false).autoRun) << "the next open shows what is really stored";
  // The rest of the save went ahead.
  EXPECT_EQ(indexOf("showStrips"), 17);
}

TEST(AutostartEntry, QuotesWhatTheExecLineReserves) {
  const QString entry = Autostart::DesktopEntry(QStringLiteral("Tidewire"), QStringLiteral("/opt/a b/$x%1\\y"),
                                                QStringLiteral("/home/ann/tide"));
  EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\nName=Tidewire\n")));
  EXPECT_TRUE(entry.contains(QStringLiteral(
      "\nExec=env TIDEWIRE_HOME=/home/ann/tide \"/opt/a b/\\\\$x%%1\\\\\\\\y\"\n")))
      << entry.toStdString();
  EXPECT_TRUE(entry.contains(QStringLiteral("\nTryExec=/opt/a b/$x%1\\\\y\n"))) << entry.toStdString();
  EXPECT_TRUE(Autostart::DesktopEntry(QStringLiteral("Tidewire"), QStringLiteral("/usr/bin/tidewire"), {})
                  .contains(QStringLiteral("\nExec=/usr/bin/tidewire\n")));

  if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) return;
  test::TempHome home;
  const QString path = home.path(QStringLiteral("quoted.desktop"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(entry.toUtf8());
  file.close();
  EXPECT_EQ(ValidationProblems(path), QString());
}

}  // namespace
}  // namespace tw
