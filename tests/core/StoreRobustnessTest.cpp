// The store under stress: a second process writing at the same time, a store
// that cannot be written, a damaged file and a disk that fills up mid-way.
#include "core/Registry.h"
#include "support/ReportedProblems.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

namespace tw {
namespace {

constexpr Hive LM = Hive::LocalMachine;
const QString kRoot = QStringLiteral("Software\\Tidewire");

using Problems = test::ReportedProblems;

TEST(StoreRobustness, TwoProcessesWritingAtOnceLoseNothing) {
  test::TempHome home;
  const QString store = home.paths().machineStore;
  Problems problems;
  Registry registry(store, home.paths().userStore, problems.reporter());
  registry.CreateRegKey(LM, kRoot + QStringLiteral("\\Here"));

  QProcess other;
  other.start(QStringLiteral(STORE_WRITER_PATH), {store, kRoot + QStringLiteral("\\There"), QStringLiteral("300")});
  ASSERT_TRUE(other.waitForStarted());
  for (int i = 0; i < 300; ++i) {
    registry.SetRegValue(LM, kRoot + QStringLiteral("\\Here"), QStringLiteral("v%1").arg(i), i, RegType::Dword);
  }
  ASSERT_TRUE(other.waitForFinished(120000));
  EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
  EXPECT_TRUE(problems.lines.isEmpty()) << problems.lines.join(u'\n').toStdString();

  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(registry.QueryRegValue(LM, kRoot + QStringLiteral("\\Here"), QStringLiteral("v%1").arg(i)).toInt(), i);
    EXPECT_EQ(registry.QueryRegValue(LM, kRoot + QStringLiteral("\\There"), QStringLiteral("v%1").arg(i)).toInt(), i);
  }
}

void ExpectUnwritable(const QString& store, Problems& problems) {
  Registry registry(store, store + QStringLiteral(".user"), problems.reporter());
  registry.CreateRegKey(LM, kRoot);
  registry.SetRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes"), 5, RegType::Dword);
  EXPECT_TRUE(registry.QueryRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes")).isEmpty());
  EXPECT_FALSE(registry.KeyExists(LM, kRoot));
  // One warning for the store, naming the file and the way out.
  ASSERT_EQ(problems.lines.size(), 1);
  EXPECT_EQ(problems.levels.first(), LogLevel::Warning);
  EXPECT_TRUE(problems.lines.first().contains(store)) << problems.lines.first().toStdString();
  EXPECT_TRUE(problems.lines.first().contains(QStringLiteral("TIDEWIRE_HOME")));
}

TEST(StoreRobustness, AStoreThatCannotBeOpenedReadsEmptyAndSaysSoOnce) {
  test::TempHome home;
  // A folder that can never be created, whoever runs the test: its parent is a file.
  QFile blocker(home.path(QStringLiteral("not-a-folder")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  Problems problems;
  ExpectUnwritable(home.path(QStringLiteral("not-a-folder/machine.sqlite")), problems);
}

TEST(StoreRobustness, AReadOnlyStoreReadsEmptyAndSaysSoOnce) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
  test::TempHome home;
  const QString folder = home.path(QStringLiteral("ro"));
  QDir().mkpath(folder);
  const QString store = folder + QStringLiteral("/machine.sqlite");
  {
    Registry writer(store, store + QStringLiteral(".user"), {});
    writer.CreateRegKey(LM, kRoot);
    writer.SetRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes"), 5, RegType::Dword);
  }
  QFile::setPermissions(store, QFile::ReadOwner);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
  Problems problems;
  ExpectUnwritable(store, problems);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The shared store made by another user, who did not make it writable for
// the group: the message says what happens and what to do about it.
TEST(StoreRobustness, AStoreAnotherUserOwnsSaysWhatHappensAndWhatToDo) {
  if (geteuid() != 0) GTEST_SKIP() << "acting as another user needs root; AReadOnlyStore... covers the rest";
  test::TempHome home;
  const QString store = home.paths().machineStore;
  {
    Registry owner(store, home.paths().userStore, {});
    owner.CreateRegKey(LM, kRoot);
  }
  QFile::setPermissions(QFileInfo(store).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                             QFile::ReadOther | QFile::ExeOther);
  QProcess nobody;
  nobody.setChildProcessModifier([] {
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(9);
  });
  nobody.start(QStringLiteral(STORE_WRITER_PATH), {store, kRoot, QStringLiteral("1")});
  ASSERT_TRUE(nobody.waitForFinished(30000));
  ASSERT_NE(nobody.exitCode(), 9) << "could not become another user";
  const QString message = QString::fromLocal8Bit(nobody.readAllStandardError()).trimmed();
  EXPECT_EQ(message.count(QStringLiteral("settings store")), 1) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("belongs to root and is not writable for you"))) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("cannot save changes"))) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("TIDEWIRE_HOME"))) << message.toStdString();
  EXPECT_FALSE(message.contains(QStringLiteral("not an error"))) << message.toStdString();
}

TEST(StoreRobustness, ADamagedFileIsKeptAsideAndAFreshStoreStarted) {
  test::TempHome home;
  const QString store = home.paths().machineStore;
  QFile junk(store);
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(8192, '\x5a'));
  junk.close();

  Problems problems;
  Registry registry(store, home.paths().userStore, problems.reporter());
  registry.CreateRegKey(LM, kRoot);
  registry.SetRegValue(LM, kRoot, QStringLiteral("Sort Sites"), 1, RegType::Dword);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, QStringLiteral("Sort Sites")), RegValue::Number(1));

  ASSERT_EQ(problems.lines.size(), 1);
  EXPECT_EQ(problems.levels.first(), LogLevel::Error);
  const QStringList aside = QDir(QFileInfo(store).absolutePath())
                                .entryList({QFileInfo(store).fileName() + QStringLiteral(".corrupt-*")}, QDir::Files);
  ASSERT_EQ(aside.size(), 1);
  EXPECT_TRUE(problems.lines.first().contains(aside.first()));
  QFile kept(QFileInfo(store).absolutePath() + u'/' + aside.first());
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray(8192, '\x5a'));
}

TEST(StoreRobustness, AFullDiskInTheMiddleOfAGroupLeavesThePreviousDataWhole) {
  test::TempHome home;
  Problems problems;
  Registry registry(home.paths().machineStore, home.paths().userStore, problems.reporter());
  const QString site = kRoot + QStringLiteral("\\Xbins");
  registry.CreateRegKey(LM, site);
  {
    RegistryTransaction tx(registry, LM);
    for (int i = 1; i <= 10; ++i) {
      registry.CreateRegKey(LM, site + QStringLiteral("\\%1").arg(i));
      registry.SetRegValue(LM, site + QStringLiteral("\\%1").arg(i), QStringLiteral("Title"),
                           QStringLiteral("old %1").arg(i), RegType::String);
    }
    registry.SetRegValue(LM, site, QStringLiteral("TotalItems"), 10, RegType::Dword);
    ASSERT_TRUE(tx.commit());
  }

  registry.store(LM).setPageLimitForTesting(40);
  bool committed = true;
  {
    RegistryTransaction tx(registry, LM);
    for (int i = 1; i <= 10; ++i) registry.DeleteRegKey(LM, site + QStringLiteral("\\%1").arg(i));
    for (int i = 1; i <= 200; ++i) {
      registry.CreateRegKey(LM, site + QStringLiteral("\\%1").arg(i));
      registry.SetRegValue(LM, site + QStringLiteral("\\%1").arg(i), QStringLiteral("Description"),
                           QString(4000, u'x'), RegType::String);
    }
    registry.SetRegValue(LM, site, QStringLiteral("TotalItems"), 200, RegType::Dword);
    committed = tx.commit();
  }
  EXPECT_FALSE(committed);
  EXPECT_FALSE(problems.lines.isEmpty());
  EXPECT_EQ(problems.levels.first(), LogLevel::Error);

  Registry reader(home.paths().machineStore, home.paths().userStore, {});
  EXPECT_EQ(reader.QueryRegValue(LM, site, QStringLiteral("TotalItems")), RegValue::Number(10));
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(reader.QueryRegValue(LM, site + QStringLiteral("\\%1").arg(i), QStringLiteral("Title")).toText(),
              QStringLiteral("old %1").arg(i));
  }
  EXPECT_FALSE(reader.KeyExists(LM, site + QStringLiteral("\\11")));
}

}  // namespace
}  // namespace tw
