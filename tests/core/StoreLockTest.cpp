// The store while another process holds its lock: the caller never waits
// more than a moment, changes are kept in order (a group stays one group)
// and saved when the lock is free, reads see them meanwhile, and the
// activity list hears once that the store is busy and once that it is free.
#include "core/Registry.h"
#include "support/LockingProcess.h"
#include "support/ReportedProblems.h"
#include "support/TempHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

constexpr Hive LM = Hive::LocalMachine;
const QString kRoot = QStringLiteral("Software\\Tidewire");
const QString kSite = kRoot + QStringLiteral("\\Xbins");

// Longest the caller may be held up by one call while the store is locked.
constexpr qint64 kMomentMs = 400;


QString Item(int i) { return kSite + u'\\' + QString::number(i); }

void WriteItems(Registry& registry, const QString& prefix, int count) {
  for (int i = 1; i <= count; ++i) {
    registry.CreateRegKey(LM, Item(i));
    registry.SetRegValue(LM, Item(i), QStringLiteral("Title"), QString(prefix + QString::number(i)), RegType::String);
  }
  registry.SetRegValue(LM, kSite, QStringLiteral("TotalItems"), count, RegType::Dword);
}

QStringList Titles(Registry& registry) {
  QStringList titles;
  const int total = registry.QueryRegValue(LM, kSite, QStringLiteral("TotalItems")).toInt();
  for (int i = 1; i <= total; ++i) titles << registry.QueryRegValue(LM, Item(i), QStringLiteral("Title")).toText();
  return titles;
}

// Runs the call and returns how long it held the caller up.
template <typename Call>
qint64 Timed(Call call) {
  QElapsedTimer clock;
  clock.start();
  call();
  return clock.elapsed();
}

// A store in a home of its own; its file opens on first use.
class StoreLock : public ::testing::Test {
 protected:
  // Items "old 1".."old <count>", saved before anyone locks the store.
  void presetOldItems(int count) {
    RegistryTransaction tx(registry, LM);
    WriteItems(registry, QStringLiteral("old "), count);
    ASSERT_TRUE(tx.commit());
  }

  test::TempHome home;
  const QString store = home.paths().machineStore;
  test::ReportedProblems problems;
  Registry registry{store, home.paths().userStore, problems.reporter()};
};

TEST_F(StoreLock, WritesToALockedStoreAreKeptInOrderSeenByReadsAndSavedWhenFree) {
  presetOldItems(3);
  test::LockingProcess locker(store, "writes");
  ASSERT_TRUE(locker.isLocked());
  qint64 longest = 0;
  for (int i = 0; i < 5; ++i) {
    longest = std::max(longest, Timed([&] {
      registry.SetRegValue(LM, kRoot, QStringLiteral("v%1").arg(i), i, RegType::Dword);
    }));
  }
  registry.SetRegValue(LM, kRoot, QStringLiteral("v0"), 100, RegType::Dword);  // a later change wins
  // A site's rebuild: one group, saved whole.
  longest = std::max(longest, Timed([&] {
    RegistryTransaction tx(registry, LM);
    for (int i = 1; i <= 3; ++i) registry.DeleteRegKey(LM, Item(i));
    WriteItems(registry, QStringLiteral("new "), 5);
    EXPECT_TRUE(tx.commit());
  }));
  EXPECT_LT(longest, kMomentMs);

  // This process sees its changes; the file does not hold them yet.
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, QStringLiteral("v0")).toInt(), 100);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, QStringLiteral("v4")).toInt(), 4);
  EXPECT_EQ(Titles(registry), (QStringList{QStringLiteral("new 1"), QStringLiteral("new 2"), QStringLiteral("new 3"),
                                           QStringLiteral("new 4"), QStringLiteral("new 5")}));
  EXPECT_EQ(registry.store(LM).subKeyNames(kSite).size(), 5);
  {
    Registry other(store, home.paths().userStore, {});
    EXPECT_EQ(Titles(other).size(), 3);
  }

  // One line while it stays busy, however many changes wait.
  QTest::qWait(1500);
  ASSERT_EQ(problems.lines.size(), 1) << problems.lines.join(u'\n').toStdString();
  EXPECT_EQ(problems.levels.first(), LogLevel::Warning);
  EXPECT_TRUE(problems.lines.first().contains(QStringLiteral("in use by another program")))
      << problems.lines.first().toStdString();
  EXPECT_FALSE(problems.lines.first().contains(QStringLiteral("writable")));

  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return problems.lines.size() >= 2; }, 5000));
  EXPECT_EQ(problems.levels.at(1), LogLevel::Info);
  EXPECT_TRUE(problems.lines.at(1).contains(QStringLiteral("free again"))) << problems.lines.at(1).toStdString();

  Registry other(store, home.paths().userStore, {});
  EXPECT_EQ(other.QueryRegValue(LM, kRoot, QStringLiteral("v0")).toInt(), 100);
  EXPECT_EQ(other.QueryRegValue(LM, kRoot, QStringLiteral("v4")).toInt(), 4);
  EXPECT_EQ(Titles(other), Titles(registry));
  EXPECT_EQ(problems.lines.size(), 2);
}

TEST_F(StoreLock, AStoreLockedWhenOpenedComesUpWhenFree) {
  {
    Registry first(store, home.paths().userStore, {});
    first.CreateRegKey(LM, kRoot);
    first.SetRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes"), 7, RegType::Dword);
  }
  test::LockingProcess locker(store, "everything");
  ASSERT_TRUE(locker.isLocked());
  bool ready = false;
  const qint64 held = Timed([&] {
    EXPECT_TRUE(registry.QueryRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes")).isEmpty());
    registry.SetRegValue(LM, kRoot, QStringLiteral("Sort Sites"), 1, RegType::Dword);
    registry.store(LM).whenReady([&] { ready = true; });
  });
  EXPECT_LT(held, kMomentMs);
  EXPECT_FALSE(ready);
  ASSERT_EQ(problems.lines.size(), 1) << problems.lines.join(u'\n').toStdString();
  EXPECT_EQ(problems.levels.first(), LogLevel::Warning);
  EXPECT_TRUE(problems.lines.first().contains(QStringLiteral("locked by another program")))
      << problems.lines.first().toStdString();
  EXPECT_FALSE(problems.lines.first().contains(QStringLiteral("writable")));

  QTest::qWait(800);
  EXPECT_FALSE(ready);
  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ready; }, 5000));
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes")).toInt(), 7);
  ASSERT_TRUE(QTest::qWaitFor([&] { return problems.lines.size() >= 2; }, 5000));
  EXPECT_TRUE(problems.lines.at(1).contains(QStringLiteral("free again"))) << problems.lines.at(1).toStdString();
  Registry other(store, home.paths().userStore, {});
  EXPECT_EQ(other.QueryRegValue(LM, kRoot, QStringLiteral("Sort Sites")).toInt(), 1);
}

// A group kept while the store was locked is saved as one transaction: when
// saving it fails (here a full store), none of it lands.
TEST_F(StoreLock, AKeptGroupThatCannotBeSavedLeavesThePreviousDataWhole) {
  presetOldItems(10);
  test::LockingProcess locker(store, "writes");
  ASSERT_TRUE(locker.isLocked());
  {
    RegistryTransaction tx(registry, LM);
    for (int i = 1; i <= 10; ++i) registry.DeleteRegKey(LM, Item(i));
    WriteItems(registry, QStringLiteral("new "), 200);
    for (int i = 1; i <= 200; ++i) {
      registry.SetRegValue(LM, Item(i), QStringLiteral("Description"), QString(4000, u'x'), RegType::String);
    }
    EXPECT_TRUE(tx.commit());
  }
  EXPECT_EQ(Titles(registry).size(), 200);
  registry.store(LM).setPageLimitForTesting(40);
  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return problems.levels.contains(LogLevel::Error); }, 5000))
      << problems.lines.join(u'\n').toStdString();

  Registry other(store, home.paths().userStore, {});
  QStringList old;
  for (int i = 1; i <= 10; ++i) old << QStringLiteral("old %1").arg(i);
  EXPECT_EQ(Titles(other), old);
  EXPECT_FALSE(other.KeyExists(LM, Item(11)));
  // What this process reads follows the file again.
  EXPECT_EQ(Titles(registry), old);
}

// Changes still kept when a process ends are not lost: they wait beside the
// store, the next process sees them while the store is still locked and
// saves them once it is free; a damaged file of them is kept aside.
TEST_F(StoreLock, ChangesKeptAtTheEndAreSavedAtTheNextStart) {
  presetOldItems(3);
  const QString beside = store + QStringLiteral(".pending");
  test::LockingProcess locker(store, "writes");
  ASSERT_TRUE(locker.isLocked());
  {
    Registry first(store, home.paths().userStore, problems.reporter());
    RegistryTransaction tx(first, LM);
    for (int i = 1; i <= 3; ++i) first.DeleteRegKey(LM, Item(i));
    WriteItems(first, QStringLiteral("new "), 4);
    EXPECT_TRUE(tx.commit());
    first.SetRegValue(LM, kRoot, QStringLiteral("Read"), 1, RegType::Dword);
  }
  ASSERT_TRUE(QFile::exists(beside)) << problems.lines.join(u'\n').toStdString();
  EXPECT_EQ(problems.levels.last(), LogLevel::Warning);
  EXPECT_TRUE(problems.lines.last().contains(QStringLiteral("kept in ") + beside)) << problems.lines.last().toStdString();

  const QStringList expected{QStringLiteral("new 1"), QStringLiteral("new 2"), QStringLiteral("new 3"),
                             QStringLiteral("new 4")};
  Registry next(store, home.paths().userStore, problems.reporter());
  EXPECT_EQ(Titles(next), expected);
  EXPECT_EQ(next.QueryRegValue(LM, kRoot, QStringLiteral("Read")).toInt(), 1);
  EXPECT_TRUE(problems.lines.last().contains(QStringLiteral("wait for the settings store")))
      << problems.lines.last().toStdString();
  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(beside); }, 5000));
  EXPECT_EQ(problems.lines.filter(QStringLiteral("are now saved")).size(), 1) << problems.lines.join(u'\n').toStdString();
  {
    Registry other(store, home.paths().userStore, {});
    EXPECT_EQ(Titles(other), expected);
    EXPECT_EQ(other.QueryRegValue(LM, kRoot, QStringLiteral("Read")).toInt(), 1);
  }

  QFile damaged(beside);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("TIDEWIRE PENDING CHANGES\n\x01\x02");
  damaged.close();
  test::ReportedProblems later;
  Registry third(store, home.paths().userStore, later.reporter());
  EXPECT_EQ(Titles(third), expected);
  EXPECT_FALSE(QFile::exists(beside));
  EXPECT_EQ(QFileInfo(store).dir().entryList({QStringLiteral("*.pending.corrupt-*")}).size(), 1);
  ASSERT_EQ(later.levels, QList<LogLevel>{LogLevel::Error}) << later.lines.join(u'\n').toStdString();
  EXPECT_TRUE(later.lines.first().contains(QStringLiteral("cannot be read"))) << later.lines.first().toStdString();
}

}  // namespace
}  // namespace tw
