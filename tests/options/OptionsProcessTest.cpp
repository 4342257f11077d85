// The real program on a virtual X display (run under xvfb-run) with a window
// manager, driven from outside by xdotool as a user would drive it: the
// options dialog opened from the menu, the tree worked with the keyboard,
// "Apply" pressed. What the program then shows is read from its state report
// (TIDEWIRE_STATE_REPORT); what it stored, from its files.
#include "core/FileHelpers.h"
#include "core/Registry.h"
#include "support/TempHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <unistd.h>

namespace tw {
namespace {

const QString kEntryName = QStringLiteral("app.tidewire.Tidewire.desktop");
const QString kRunKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

// Runs a command to its end; its standard output, trimmed.
QString RunTool(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) process.kill();
  if (exitCode) *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    if (condition()) return true;
    QThread::msleep(100);
  }
  return condition();
}

class OptionsProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X display: run it under xvfb-run";
    for (const char* tool : {"xdotool", "openbox"}) {
      ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) << tool << " is not installed";
    }
    xdgConfig = home.path(QStringLiteral("xdg-config"));
    stateFile = home.path(QStringLiteral("state.txt"));
    startWindowManager();
    startProgram();
  }

  void TearDown() override {
    for (QProcess* process : {&program, &windowManager}) {
      if (process->state() == QProcess::NotRunning) continue;
      ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
      if (!process->waitForFinished(30000)) process->kill();
    }
  }

  void startWindowManager() {
    const QString ready = home.path(QStringLiteral("wm-ready"));
    windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--startup"), QStringLiteral("touch ") + ready});
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(ready); }, 30000)) << "openbox did not start";
  }

  void startProgram() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TIDEWIRE_HOME"), QFileInfo(home.paths().machineStore).absolutePath());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), xdgConfig);
    env.insert(QStringLiteral("TIDEWIRE_STATE_REPORT"), stateFile);
    // Nothing is fetched: no check at start-up, and no server listens here.
    env.insert(QStringLiteral("TIDEWIRE_FEED_BASE"), QStringLiteral("http://127.0.0.1:9"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
    if (geteuid() == 0) env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(waitForState(QStringLiteral("options: closed"), 90000)) << state().toStdString();
  }

  QString state() const {
    QFile file(stateFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  bool waitForState(const QString& line, int timeoutMs = 20000) const {
    return WaitFor([&] { return state().split(u'\n').contains(line); }, timeoutMs);
  }
  // A site's node, whatever its counts say ("Xbins (0 New, 0 Unread, 0 Total)").
  bool siteShown(const QString& title) const {
    const QStringList lines = state().split(u'\n');
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
      const QString site = QStringLiteral("site: ") + title;
      return line == site || line.startsWith(site + QStringLiteral(" ("));
    });
  }
  bool waitForSite(const QString& title, bool shown) const {
    return WaitFor([&] { return siteShown(title) == shown; }, 20000);
  }

  // Brings the window whose title matches forward and gives it the keyboard.
  void activate(const QString& titlePattern) {
    const QStringList found =
        RunTool(QStringLiteral("xdotool"), {"search", "--sync", "--onlyvisible", "--name", titlePattern}).split(u'\n');
    const QString window = found.value(0);
    ASSERT_FALSE(window.isEmpty()) << "no window " << titlePattern.toStdString();
    int code = 0;
    RunTool(QStringLiteral("xdotool"), {"windowactivate", "--sync", window}, &code);
    ASSERT_EQ(code, 0);
    QThread::msleep(300);  // the program takes the focus change in
  }
  void keys(const QStringList& names) {
    QStringList arguments{"key", "--clearmodifiers", "--delay", "60"};
    arguments += names;
    int code = 0;
    RunTool(QStringLiteral("xdotool"), arguments, &code);
    ASSERT_EQ(code, 0);
  }
  static QStringList Repeat(const QString& key, int times) {
    QStringList out;
    for (int i = 0; i < times; ++i) out << key;
    return out;
  }

  // "&Menu", "&Settings" from the keyboard.
  void openOptions(const QString& caption = QStringLiteral("(Single User)")) {
    activate(QStringLiteral("^Tidewire$"));
    keys({"alt+m"});
    QThread::msleep(300);
    keys({"s"});
    ASSERT_TRUE(waitForState(QStringLiteral("options:   Tidewire Options - ") + caption)) << state().toStdString();
    activate(QStringLiteral("Tidewire Options"));
    keys({"Home"});
  }
  // Tab from the tree to "Apply", and press it.
  void apply() {
    keys({"Tab", "space"});
    ASSERT_TRUE(waitForState(QStringLiteral("options: closed"))) << state().toStdString();
  }

  QString systemEntry() const { return home.paths().systemAutostartFolder + u'/' + kEntryName; }
  QString userEntry() const { return xdgConfig + QStringLiteral("/autostart/") + kEntryName; }
  QString runValue(Hive hive) const {
    Registry registry(home.paths().machineStore, home.paths().userStore, {});
    return registry.QueryRegValue(hive, kRunKey, QStringLiteral("Tidewire")).toText();
  }

  test::TempHome home;
  QString xdgConfig;
  QString stateFile;
  QProcess windowManager;
  QProcess program;
};

TEST_F(OptionsProcessTest, AppliedSettingsTakeEffectInTheRunningProgram) {
  ASSERT_TRUE(waitForState(QStringLiteral("msg: Automatic news updating disabled"))) << state().toStdString();
  ASSERT_TRUE(waitForSite(QStringLiteral("Xbins"), true)) << state().toStdString();

  // Down the tree: the program's folder, its eight checks, three folders with
  // seven checks (eight with the choice of page view), then "Disabled" and
  // "User Defined" (the 21st row, or 22nd).
  openOptions();
  keys(Repeat(QStringLiteral("Down"), TIDEWIRE_WEB_ENGINE ? 21 : 20));
  keys({"space"});
  QThread::msleep(300);
  keys({"5", "Return"});
  // On to the second site's "Disable Xbins news list": the first site's
  // folder and three checks, then Xbins' folder.
  keys(Repeat(QStringLiteral("Down"), 6));
  keys({"space"});
  apply();

  EXPECT_TRUE(waitForState(QStringLiteral("msg: Checking for new items in 5 minutes"))) << state().toStdString();
  EXPECT_TRUE(waitForSite(QStringLiteral("Xbins"), false)) << state().toStdString();
  EXPECT_TRUE(siteShown(QStringLiteral("Max Console")));

  // "Run Tidewire when the desktop starts", single-user: the system's folder.
  openOptions();
  keys({"Down", "space"});
  apply();
  ASSERT_TRUE(QFileInfo::exists(systemEntry()));
  EXPECT_FALSE(QFileInfo::exists(userEntry()));
  EXPECT_EQ(runValue(Hive::LocalMachine), QStringLiteral(TIDEWIRE_PROGRAM_PATH));
  int valid = -1;
  const QString problems = RunTool(QStringLiteral("desktop-file-validate"), {systemEntry()}, &valid);
  EXPECT_EQ(valid, 0);
  EXPECT_EQ(problems, QString());
  QFile entry(systemEntry());
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  EXPECT_TRUE(QString::fromUtf8(entry.readAll()).contains(QStringLiteral(TIDEWIRE_PROGRAM_PATH)));

  // Multi-user, still on: the user's own folder (XDG_CONFIG_HOME), and only it.
  openOptions();
  keys(Repeat(QStringLiteral("Down"), 7));
  keys({"space"});  // "Multi-User system": the user's (empty) settings show
  keys({"Home", "Down", "space"});
  apply();
  EXPECT_TRUE(waitForState(QStringLiteral("user: Multi user settings (") + GetLoginName() + QStringLiteral(")  ")))
      << state().toStdString();
  EXPECT_TRUE(QFileInfo::exists(userEntry()));
  EXPECT_FALSE(QFileInfo::exists(systemEntry()));
  EXPECT_EQ(runValue(Hive::CurrentUser), QStringLiteral(TIDEWIRE_PROGRAM_PATH));
  EXPECT_EQ(runValue(Hive::LocalMachine), QString());
  // The user's settings hold no interval and no disabled site.
  EXPECT_TRUE(waitForState(QStringLiteral("msg: Automatic news updating disabled"))) << state().toStdString();
  EXPECT_TRUE(waitForSite(QStringLiteral("Xbins"), true)) << state().toStdString();

  // Off: no entry anywhere.
  openOptions(QStringLiteral("(User:  ") + GetLoginName() + u')');
  keys({"Down", "space"});
  apply();
  EXPECT_FALSE(QFileInfo::exists(userEntry()));
  EXPECT_FALSE(QFileInfo::exists(systemEntry()));
  EXPECT_EQ(runValue(Hive::CurrentUser), QString());
}

}  // namespace
}  // namespace tw
