// Runs the program itself: a second copy must end at once without touching
// any file, a terminated program must still save its placement, a program
// that cannot make its lock file or its folder must say so rather than end
// in silence, the web engine starts no helper process it does not use, and
// changes another program's lock keeps from the store outlive the program.
#include "core/Registry.h"
#include "core/SingleInstance.h"
#include "support/LockingProcess.h"
#include "support/TempHome.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
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

void StartProgram(QProcess& program, const test::TempHome& home) {
  program.setProcessEnvironment(ProgramEnvironment(home));
  program.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
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
  StartProgram(first, home);
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

// The command lines of every process below this one, by depth: 1 for its
// children, 2 for theirs, and so on.
QMap<int, QStringList> DescendantCommandLines(qint64 pid, int depth = 1) {
  QMap<int, QStringList> lines;
  QDirIterator tasks(QStringLiteral("/proc/%1/task").arg(pid), QDir::Dirs | QDir::NoDotAndDotDot);
  while (tasks.hasNext()) {
    QFile children(tasks.next() + QStringLiteral("/children"));
    if (!children.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& child : children.readAll().split(' ')) {
      bool ok = false;
      const qint64 childPid = child.trimmed().toLongLong(&ok);
      if (!ok) continue;
      QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(childPid));
      if (commandLine.open(QIODevice::ReadOnly)) {
        lines[depth] << QString::fromLocal8Bit(commandLine.readAll().replace('\0', ' '));
      }
      const QMap<int, QStringList> below = DescendantCommandLines(childPid, depth + 1);
      for (auto it = below.cbegin(); it != below.cend(); ++it) lines[it.key()] << it.value();
    }
  }
  return lines;
}

#if TIDEWIRE_WEB_ENGINE
// The web engine keeps no unsandboxed helper ready that the program never
// uses: the page's process comes from the one zygote, and nothing else waits.
TEST(Program, TheWebEngineStartsOnlyTheHelpersItUses) {
  test::TempHome home;
  QProcess program;
  StartProgram(program, home);
  ASSERT_TRUE(program.waitForStarted());
  QMap<int, QStringList> helpers;
  QElapsedTimer waiting;
  waiting.start();
  // The page's process is forked from the zygote (and keeps its command line).
  while (helpers.value(2).isEmpty() && waiting.elapsed() < 60000) {
    QThread::msleep(200);
    helpers = DescendantCommandLines(program.processId());
  }
  const auto listed = [&helpers] {
    QStringList all;
    for (auto it = helpers.cbegin(); it != helpers.cend(); ++it) all << it.value();
    return all.join(u'\n').toStdString();
  };
  ASSERT_EQ(helpers.value(2).size(), 1) << listed() << program.readAllStandardError().toStdString();
  EXPECT_EQ(helpers.value(1).size(), 1) << listed();
  EXPECT_TRUE(helpers.value(1).filter(QStringLiteral("--type=zygote")).size() == 1) << listed();
  EXPECT_TRUE(helpers.value(1).filter(QStringLiteral("--no-zygote-sandbox")).isEmpty()) << listed();

  ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 0);
}
#endif

// Stands a file where a folder of the program should be, so nothing can be
// made in it whoever runs the test.
void BlockFolder(const QString& folder) {
  QDir(folder).removeRecursively();
  QFile blocker(folder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
}

TEST(Program, WithoutALockFileItStillStartsSaysWhyAndIsFoundByASecondCopy) {
  test::TempHome home;
  BlockFolder(home.paths().runtimeFolder);
  QProcess first;
  StartProgram(first, home);
  ASSERT_TRUE(first.waitForStarted());
  ASSERT_TRUE(WaitForRunningCopy(home, 60000)) << first.readAllStandardError().toStdString();
  QString said;
  QElapsedTimer reading;
  reading.start();
  while (!said.contains(QStringLiteral("runs anyway")) && reading.elapsed() < 10000) {
    first.waitForReadyRead(200);
    said += QString::fromLocal8Bit(first.readAllStandardError());
  }
  EXPECT_TRUE(said.contains(QStringLiteral("cannot be created"))) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("runs anyway"))) << said.toStdString();

  QProcess second;
  StartProgram(second, home);
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);

  QThread::msleep(1500);  // past start-up, so the termination is its own
  ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
  ASSERT_TRUE(first.waitForFinished(30000));
  EXPECT_EQ(first.exitCode(), 0);
}

TEST(Program, WithoutAFolderOfItsOwnItSaysWhyAndEndsWithAnError) {
  test::TempHome home;
  BlockFolder(home.paths().programFolder);
  QProcess program;
  StartProgram(program, home);
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_NE(program.exitCode(), 0);
  const QString said = QString::fromLocal8Bit(program.readAllStandardError());
  EXPECT_TRUE(said.contains(QStringLiteral("Tidewire cannot start"))) << said.toStdString();
  EXPECT_TRUE(said.contains(home.paths().programFolder)) << said.toStdString();
}

QString ReadReport(const QString& file) {
  QFile report(file);
  return report.open(QIODevice::ReadOnly) ? QString::fromUtf8(report.readAll()) : QString();
}

bool WaitForReport(const QString& file, const QString& text, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!ReadReport(file).contains(text) && clock.elapsed() < timeoutMs) QThread::msleep(200);
  return ReadReport(file).contains(text);
}

// Another program holds the store from start to end: the placement saved as
// the program ends cannot reach it. It is kept beside the store, said so, and
// saved when the program next starts with the store free.
TEST(Program, ChangesTheStoreCouldNotTakeAtTheEndAreSavedAtTheNextStart) {
  test::TempHome home;
  const QString store = home.paths().machineStore;
  const QString root = QStringLiteral("Software\\Tidewire");
  Registry(store, home.paths().userStore, {}).CreateRegKey(Hive::LocalMachine, root);
  const QString reportFile = home.path(QStringLiteral("state.txt"));
  QProcessEnvironment env = ProgramEnvironment(home);
  env.insert(QStringLiteral("TIDEWIRE_STATE_REPORT"), reportFile);

  test::LockingProcess locker(store, "writes");
  ASSERT_TRUE(locker.isLocked());
  QProcess first;
  first.setProcessEnvironment(env);
  first.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
  ASSERT_TRUE(WaitForReport(reportFile, QStringLiteral("site: "), 60000)) << first.readAllStandardError().toStdString();
  ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
  ASSERT_TRUE(first.waitForFinished(30000));
  const QString said = QString::fromLocal8Bit(first.readAllStandardError());
  EXPECT_TRUE(said.contains(QStringLiteral("kept in ") + store + QStringLiteral(".pending"))) << said.toStdString();
  ASSERT_TRUE(QFile::exists(store + QStringLiteral(".pending"))) << said.toStdString();
  locker.release();

  QFile::remove(reportFile);
  QProcess second;
  second.setProcessEnvironment(env);
  second.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
  EXPECT_TRUE(WaitForReport(reportFile, QStringLiteral("are now saved in the settings store"), 60000))
      << ReadReport(reportFile).toStdString();
  EXPECT_FALSE(QFile::exists(store + QStringLiteral(".pending")));
  EXPECT_FALSE(Registry(store, home.paths().userStore, {})
                   .QueryRegValue(Hive::LocalMachine, root, QStringLiteral("frmMainWidth"))
                   .isEmpty());
  ::kill(static_cast<pid_t>(second.processId()), SIGTERM);
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitCode(), 0);
}

}  // namespace
}  // namespace tw
