// Runs the program itself: a second copy must end at once without touching
// any file, and a terminated program must still save its placement.
#include "core/Registry.h"
#include "core/SingleInstance.h"
#include "support/TempHome.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace tw {
namespace {

QProcessEnvironment ProgramEnvironment(const test::TempHome& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TIDEWIRE_HOME"), QFileInfo(home.paths().machineStore).absolutePath());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
  if (geteuid() == 0) env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
  // Nothing may be fetched: the check at start-up is off and no server listens here.
  env.insert(QStringLiteral("TIDEWIRE_FEED_BASE"), QStringLiteral("http://127.0.0.1:9"));
  return env;
}

// Every file under the home with its size and modification time.
QStringList Snapshot(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    out << QStringLiteral("%1 %2 %3").arg(info.filePath()).arg(info.size()).arg(
               info.lastModified().toMSecsSinceEpoch());
  }
  out.sort();
  return out;
}

bool WaitForRunningCopy(const test::TempHome& home, int timeoutMs) {
  const SingleInstance probe(home.paths().runtimeFolder);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    if (probe.ActivatePreviousInstance(500)) return true;
    QThread::msleep(200);
  }
  return false;
}

TEST(Program, ASecondCopyEndsAtOnceAndTouchesNothing) {
  test::TempHome home;
  QProcess first;
  first.setProcessEnvironment(ProgramEnvironment(home));
  first.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
  ASSERT_TRUE(first.waitForStarted());
  ASSERT_TRUE(WaitForRunningCopy(home, 60000)) << first.readAllStandardError().toStdString();
  // Start-up's own writes land first, however slowly a busy machine runs it:
  // its last step writes the About page (whose files come and go), then the
  // files stay still for 1.5 s.
  const QString homeFolder = QFileInfo(home.paths().machineStore).absolutePath();
  const QString aboutPage = QDir(home.paths().programFolder).filePath(QStringLiteral("about.htm"));
  QStringList before = Snapshot(homeFolder);
  bool aboutWritten = QFileInfo::exists(aboutPage);
  QElapsedTimer still;
  QElapsedTimer total;
  still.start();
  total.start();
  while ((!aboutWritten || still.elapsed() < 1500) && total.elapsed() < 60000) {
    QThread::msleep(100);
    aboutWritten = aboutWritten || QFileInfo::exists(aboutPage);
    const QStringList now = Snapshot(homeFolder);
    if (now != before) {
      before = now;
      still.restart();
    }
  }

  QProcess second;
  second.setProcessEnvironment(ProgramEnvironment(home));
  QElapsedTimer took;
  took.start();
  second.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_LT(took.elapsed(), 15000);
  EXPECT_EQ(first.state(), QProcess::Running);

  // The running copy's files are as they were (its own lock aside).
  QStringList after = Snapshot(homeFolder);
  EXPECT_EQ(after, before);

  // Terminating the running copy ends it cleanly, with its placement saved.
  ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
  ASSERT_TRUE(first.waitForFinished(30000));
  EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first.exitCode(), 0);
  Registry registry(home.paths().machineStore, home.paths().userStore, {});
  EXPECT_FALSE(
      registry.QueryRegValue(Hive::LocalMachine, QStringLiteral("Software\\Tidewire"), QStringLiteral("frmMainWidth"))
          .isEmpty());
}

}  // namespace
}  // namespace tw
