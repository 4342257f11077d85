// A check killed at a random point, again and again: the store is never
// damaged and every site's list stays whole (its count, its numbered items,
// each with a title and a status), whatever the moment of the kill.
#include "core/Registry.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tw {
namespace {

constexpr Hive LM = Hive::LocalMachine;
const QString kRoot = QStringLiteral("Software\\Tidewire");

QString IntegrityCheck(const QString& store) {
  sqlite3* db = nullptr;
  QString verdict = QStringLiteral("cannot open");
  if (sqlite3_open_v2(QFile::encodeName(store).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
      verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return verdict;
}

// Every site's list as the store holds it: "TotalItems" numbered items, no
// more, each with a title and a status. Returns the number of items.
int ExpectWholeLists(Registry& registry, const QString& when) {
  int total = 0;
  for (const QString& site : registry.store(LM).subKeyNames(kRoot)) {
    const QString key = kRoot + u'\\' + site;
    const int count = registry.QueryRegValue(LM, key, QStringLiteral("TotalItems")).toInt();
    QSet<QString> expected;
    for (int i = 1; i <= count; ++i) expected << QString::number(i);
    const QStringList numbered = registry.store(LM).subKeyNames(key);
    EXPECT_EQ(QSet<QString>(numbered.begin(), numbered.end()), expected)
        << qPrintable(site) << ", " << qPrintable(when);
    for (int i = 1; i <= count; ++i) {
      const QString item = key + u'\\' + QString::number(i);
      EXPECT_FALSE(registry.QueryRegValue(LM, item, QStringLiteral("Title")).toText().isEmpty()) << qPrintable(item);
      EXPECT_FALSE(registry.QueryRegValue(LM, item, QStringLiteral("Tag")).toText().isEmpty()) << qPrintable(item);
    }
    total += count;
  }
  return total;
}

TEST(KilledCheck, TheStoreStaysWholeWhereverACheckIsKilled) {
  test::TempHome home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TIDEWIRE_HOME"), QFileInfo(home.paths().machineStore).absolutePath());
  const quint32 seed = QRandomGenerator::global()->generate();
  QRandomGenerator random(seed);
  int items = 0;
  for (int run = 1; run <= 8; ++run) {
    QProcess driver;
    driver.setProcessEnvironment(env);
    driver.start(QStringLiteral(CHECK_DRIVER_PATH), {});
    ASSERT_TRUE(driver.waitForReadyRead(20000)) << driver.readAllStandardError().toStdString();
    const int delay = static_cast<int>(random.bounded(50, 2000));
    QThread::msleep(static_cast<unsigned long>(delay));
    ASSERT_EQ(driver.state(), QProcess::Running) << "the driver ended on its own: "
                                                 << driver.readAllStandardError().toStdString();
    driver.kill();
    ASSERT_TRUE(driver.waitForFinished(10000));

    const QString when = QStringLiteral("run %1, killed after %2 ms, seed %3").arg(run).arg(delay).arg(seed);
    ASSERT_EQ(IntegrityCheck(home.paths().machineStore), QStringLiteral("ok")) << qPrintable(when);
    Registry registry(home.paths().machineStore, home.paths().userStore, {});
    items = ExpectWholeLists(registry, when);
  }
  EXPECT_GT(items, 0) << "no check ever got far enough to store anything";
}

}  // namespace
}  // namespace tw
