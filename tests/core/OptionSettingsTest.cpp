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
  ASSERT_TRUE(core.tv.contains(siteKey(2)));
  OptionValues values = options.Read(false);
  values.checks[QStringLiteral("SHOW_LOG")] = true;
  values.checks[QStringLiteral("SORT_SITES")] = true;
  values.checks[siteKey(2) + QStringLiteral("_DISABLE")] = true;
  values.checks[siteKey(3) + QStringLiteral("_EXT")] = true;
  values.userDefined = true;
  values.intervalTag = QStringLiteral("90");
  options.Save(values);

  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Show Activity Log").toInt(), 1);
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Auto Minimise").toInt(), 0) << "every check is written";
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 90);
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Multi User").toInt(), 0);
  EXPECT_EQ(stored(Hive::LocalMachine, siteKeyPath(2), "Disabled").toInt(), 1);
  EXPECT_EQ(stored(Hive::LocalMachine, siteKeyPath(3), "External").toInt(), 1);
  EXPECT_EQ(stored(Hive::LocalMachine, siteKeyPath(3), "Auto Item").toInt(), 0);

  // The program follows without a restart.
  EXPECT_FALSE(core.tv.contains(siteKey(2)));
  EXPECT_TRUE(core.sites[2].Disabled);
  EXPECT_TRUE(core.sites[3].External);
  EXPECT_TRUE(core.tv.sorted());
  EXPECT_TRUE(window.activityListShown);
  EXPECT_TRUE(core.checkTimer.tmrDownload().isActive());
  EXPECT_EQ(window.panelTexts.value("msg"), QStringLiteral("Checking for new items in 1 hour 30 minutes"));
  // Titles without announcing, then the strips, then the timer's first tick.
  EXPECT_EQ(indexOf("RefreshSiteTitle 1 0"), 0);
  EXPECT_EQ(indexOf("RefreshSiteTitle 17 0"), 16);
  EXPECT_EQ(indexOf("showStrips"), 17);

  // Enabling the site again brings its node back; no interval stops the timer.
  values.checks[siteKey(2) + QStringLiteral("_DISABLE")] = false;
  values.userDefined = false;
  options.Save(values);
  EXPECT_TRUE(core.tv.contains(siteKey(2)));
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 0);
  EXPECT_FALSE(core.checkTimer.tmrDownload().isActive());
  EXPECT_EQ(window.panelTexts.value("msg"), QStringLiteral("Automatic news updating disabled"));
}

TEST_F(OptionSettingsTest, ReadingTheOtherModeLeavesTheProgramInItsOwn) {
  preset(Hive::CurrentUser, kRoot, QStringLiteral("Check Interval Minutes"), 15);
  preset(Hive::CurrentUser, kRoot, QStringLiteral("Close To Tray"), 1);
  preset(Hive::LocalMachine, kRoot, QStringLiteral("Check At Startup"), 2);
  start();
  preset(Hive::CurrentUser, siteKeyPath(4), QStringLiteral("Auto Item"), 1);

  const OptionValues single = options.Read(false);
  EXPECT_FALSE(single.checks.value("CLOSE_TRAY"));
  EXPECT_FALSE(single.checks.value("CHECK_STARTUP")) << "2 is not a check at start-up, so it shows off";
  EXPECT_FALSE(single.userDefined);
  EXPECT_EQ(single.intervalTag, QString());

  const OptionValues multi = options.Read(true);
  EXPECT_TRUE(multi.multiUser);
  EXPECT_TRUE(multi.checks.value("CLOSE_TRAY"));
  EXPECT_TRUE(multi.userDefined);
  EXPECT_EQ(multi.intervalTag, QStringLiteral("15"));
  EXPECT_TRUE(multi.checks.value(siteKey(4) + QStringLiteral("_AUTOITEM")));

  // Looking is not switching: the program still reads and writes its own mode.
  EXPECT_EQ(core.identity.SettingsHive, Hive::LocalMachine);
  EXPECT_EQ(window.panelTexts.value("user"), QStringLiteral("Single user settings  "));
  EXPECT_EQ(core.settings.number(setting::CheckIntervalMinutes), 0);

  // Fingerprints tell the two apart and are equal for equal values.
  EXPECT_NE(options.Cfg_List(single), options.Cfg_List(multi));
  EXPECT_EQ(options.Cfg_List(multi), options.Cfg_List(options.Read(true)));
  OptionValues tagged = multi;
  tagged.intervalTag = QStringLiteral("16");
  EXPECT_NE(options.Cfg_List(tagged), options.Cfg_List(multi));
}

TEST_F(OptionSettingsTest, SwitchingModeRebuildsTheTreeFromTheOtherStore) {
  start();
  preset(Hive::CurrentUser, siteKeyPath(5), QStringLiteral("Disabled"), 1);
  ASSERT_TRUE(core.tv.contains(siteKey(5)));
  QStringList removed;
  QObject::connect(&core.tv, &SiteTree::nodeAboutToBeRemoved, [&removed](const QString& key) { removed << key; });

  OptionValues values = options.Read(true);
  ASSERT_TRUE(values.checks.value(siteKey(5) + QStringLiteral("_DISABLE")));
  // A site never seen in this mode: its key does not exist in the user's store yet.
  ASSERT_FALSE(core.registry.KeyExists(Hive::CurrentUser, siteKeyPath(9)));
  values.checks[siteKey(9) + QStringLiteral("_DISABLE")] = true;
  options.Save(values);

  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Multi User").toInt(), 1);
  EXPECT_EQ(core.identity.SettingsHive, Hive::CurrentUser);
  EXPECT_EQ(window.panelTexts.value("user"), QStringLiteral("Multi user settings (ann)  "));
  EXPECT_EQ(window.panelImages.value("user"), QStringLiteral("multi_user"));
  // Every shown site went, and the tree was built again from the user's settings.
  EXPECT_TRUE(removed.contains(siteKey(1)));
  EXPECT_TRUE(removed.contains(siteKey(17)));
  EXPECT_FALSE(core.tv.contains(siteKey(5)));
  EXPECT_TRUE(core.tv.contains(siteKey(1)));
  // The new site key was made before its values were written, so they stay.
  EXPECT_EQ(stored(Hive::CurrentUser, siteKeyPath(9), "Disabled").toInt(), 1);
  EXPECT_FALSE(core.tv.contains(siteKey(9)));
  // The single-user settings are untouched.
  EXPECT_EQ(stored(Hive::LocalMachine, siteKeyPath(9), "Disabled").toInt(), 0);
}

TEST_F(OptionSettingsTest, UserDefinedWithNoIntervalSavesZero) {
  start();
  OptionValues values = options.Read(false);
  values.userDefined = true;
  values.intervalTag.clear();
  options.Save(values);
  EXPECT_TRUE(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").isNumber());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 0);
  EXPECT_FALSE(options.Read(false).userDefined);
}

TEST_F(OptionSettingsTest, StartingWithTheDesktopKeepsExactlyOneEntryInTheModesPlace) {
  start();
  const QString system = autostart.entryPath(Hive::LocalMachine);
  const QString user = autostart.entryPath(Hive::CurrentUser);
  EXPECT_EQ(QFileInfo(system).absolutePath(), home.paths().systemAutostartFolder);
  EXPECT_EQ(QFileInfo(user).absolutePath(), home.paths().userAutostartFolder);
  EXPECT_EQ(QFileInfo(system).fileName(), QStringLiteral("app.tidewire.Tidewire.desktop"));

  OptionValues values = options.Read(false);
  values.autoRun = true;
  options.Save(values);
  EXPECT_TRUE(QFileInfo::exists(system));
  EXPECT_FALSE(QFileInfo::exists(user));
  EXPECT_EQ(stored(Hive::LocalMachine, kRunKey, "Tidewire").toText(), kExecutable);
  EXPECT_TRUE(stored(Hive::CurrentUser, kRunKey, "Tidewire").isEmpty());
  EXPECT_TRUE(options.Read(false).autoRun);
  if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
    EXPECT_EQ(ValidationProblems(system), QString());
  }

  // Multi-user mode: the user's own folder, and only there.
  values = options.Read(true);
  values.autoRun = true;
  options.Save(values);
  EXPECT_FALSE(QFileInfo::exists(system));
  EXPECT_TRUE(QFileInfo::exists(user));
  EXPECT_TRUE(stored(Hive::LocalMachine, kRunKey, "Tidewire").isEmpty());
  EXPECT_EQ(stored(Hive::CurrentUser, kRunKey, "Tidewire").toText(), kExecutable);
  EXPECT_FALSE(options.Read(false).autoRun);
  EXPECT_TRUE(options.Read(true).autoRun);

  // Off: gone from both places, value and entry.
  values.autoRun = false;
  options.Save(values);
  EXPECT_FALSE(QFileInfo::exists(system));
  EXPECT_FALSE(QFileInfo::exists(user));
  EXPECT_TRUE(stored(Hive::LocalMachine, kRunKey, "Tidewire").isEmpty());
  EXPECT_TRUE(stored(Hive::CurrentUser, kRunKey, "Tidewire").isEmpty());

  // A value naming another executable does not count as on.
  core.registry.CreateRegKey(Hive::CurrentUser, kRunKey);
  core.registry.SetRegValue(Hive::CurrentUser, kRunKey, QStringLiteral("Tidewire"), QStringLiteral("/usr/bin/other"),
                            RegType::String);
  EXPECT_FALSE(options.Read(true).autoRun);
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
