// Stores written in the first table layout (each value naming its key by the
// whole path) are carried over to the numbered keys whole; a store from a
// newer version is left alone.
#include "core/Registry.h"
#include "support/ReportedProblems.h"
#include "support/StoreDump.h"
#include "support/TempHome.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace tw {
namespace {

constexpr Hive LM = Hive::LocalMachine;
const QString kRoot = QStringLiteral("Software\\Tidewire");

// Runs SQL on the file outside the store; returns the first column of the
// last row, or the error.
QString Sql(const QString& file, const char* sql) {
  sqlite3* db = nullptr;
  QString result;
  if (sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK) {
    const auto row = [](void* out, int, char** values, char**) {
      *static_cast<QString*>(out) = QString::fromUtf8(values[0] ? values[0] : "");
      return 0;
    };
    char* error = nullptr;
    if (sqlite3_exec(db, sql, row, &result, &error) != SQLITE_OK) result = QStringLiteral("error: ") + error;
    sqlite3_free(error);
  }
  sqlite3_close(db);
  return result;
}

// What the store held before its keys were numbered, made from a store of
// today's layout.
constexpr const char* kToFirstLayout =
    "BEGIN;"
    "CREATE TABLE first_keys(fold TEXT PRIMARY KEY, path TEXT NOT NULL, parent TEXT NOT NULL) WITHOUT ROWID;"
    "INSERT INTO first_keys SELECT k.fold, k.path, p.fold FROM keys k JOIN keys p ON p.id = k.parent "
    "WHERE k.id <> 0;"
    "CREATE TABLE first_vals(key TEXT NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL, kind INTEGER NOT NULL, "
    "data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "INSERT INTO first_vals SELECT k.fold, v.fold, v.name, v.kind, v.data FROM vals v JOIN keys k ON k.id = v.key;"
    "DROP TABLE vals; DROP TABLE keys;"
    "ALTER TABLE first_keys RENAME TO keys; ALTER TABLE first_vals RENAME TO vals;"
    "CREATE INDEX keys_parent ON keys(parent);"
    "PRAGMA user_version = 0;"
    "COMMIT;";

void Fill(Registry& registry) {
  const QString site = kRoot + QStringLiteral("\\Xbins");
  registry.SetRegValue(LM, QString(), QStringLiteral("At the root"), 7, RegType::Dword);
  registry.CreateRegKey(LM, site + QStringLiteral("\\1"));
  registry.CreateRegKey(LM, kRoot + QString::fromUtf8("\\\xC3\xA9t\xC3\xA9\\Deeper\\Still"));
  registry.SetRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes"), 15, RegType::Dword);
  registry.SetRegValue(LM, site, QStringLiteral("TotalItems"), 2, RegType::Dword);
  registry.CreateRegKeyWithTexts(
      LM, site + QStringLiteral("\\2"),
      {{QStringLiteral("Title"), QString::fromUtf8("Caf\xC3\xA9 \xE2\x80\x94 two")}, {QStringLiteral("Tag"), "<NEW>"}});
  registry.SetRegValue(LM, site + QStringLiteral("\\1"), QStringLiteral("Title"), QStringLiteral("One"),
                       RegType::String);
}

// New keys under carried-over ones; carried-over ones go.
void Change(Registry& registry, const QString& deepKey) {
  registry.CreateRegKeyWithTexts(LM, kRoot + QStringLiteral("\\Xbins\\3"), {{QStringLiteral("Title"), "Three"}});
  registry.DeleteRegKey(LM, kRoot + QStringLiteral("\\Xbins\\1"));
  registry.DeleteRegKey(LM, kRoot + deepKey);
}

// A store written by today's code, closed again.
class StoreLayout : public ::testing::Test {
 protected:
  StoreLayout() {
    Registry registry(store, home.paths().userStore, problems.reporter());
    Fill(registry);
  }
  test::TempHome home;
  const QString store = home.paths().machineStore;
  test::ReportedProblems problems;
};

TEST_F(StoreLayout, AFirstLayoutStoreIsCarriedOverWholeAndKeepsWorking) {
  const QStringList written = test::DumpStore(store);
  ASSERT_EQ(Sql(store, kToFirstLayout), QString());
  ASSERT_EQ(Sql(store, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%id INTEGER%'"), QStringLiteral("0"));

  {
    Registry registry(store, home.paths().userStore, problems.reporter());
    EXPECT_EQ(registry.QueryRegValue(LM, QString(), QStringLiteral("AT THE ROOT")).toInt(), 7);
    EXPECT_EQ(registry.QueryRegValue(LM, kRoot + QStringLiteral("\\XBINS\\2"), QStringLiteral("title")).toText(),
              QString::fromUtf8("Caf\xC3\xA9 \xE2\x80\x94 two"));
    EXPECT_EQ(registry.store(LM).subKeyNames(kRoot),
              (QStringList{QStringLiteral("Xbins"), QString::fromUtf8("\xC3\xA9t\xC3\xA9")}));
    EXPECT_EQ(registry.store(LM).subKeyNames(QString()), QStringList{QStringLiteral("Software")});
    // The file is in today's layout now, with nothing of the old one left.
    EXPECT_EQ(test::DumpStore(store), written);
    EXPECT_EQ(Sql(store, "PRAGMA user_version"), QStringLiteral("1"));
    EXPECT_EQ(Sql(store, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'old%'"), QStringLiteral("0"));

    // Named in another case than it was written in.
    Change(registry, QString::fromUtf8("\\\xC3\x89T\xC3\x89\\Deeper\\Still"));
    EXPECT_EQ(registry.store(LM).subKeyNames(kRoot + QStringLiteral("\\Xbins")),
              (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_TRUE(registry.store(LM).subKeyNames(kRoot + QString::fromUtf8("\\\xC3\xA9t\xC3\xA9\\Deeper")).isEmpty());
  }
  // The same writes on a fresh store leave the same rows.
  test::TempHome fresh;
  {
    Registry registry(fresh.paths().machineStore, fresh.paths().userStore, problems.reporter());
    Fill(registry);
    Change(registry, QString::fromUtf8("\\\xC3\xA9t\xC3\xA9\\Deeper\\Still"));
  }
  EXPECT_EQ(test::DumpStore(store), test::DumpStore(fresh.paths().machineStore));
  EXPECT_TRUE(problems.lines.isEmpty()) << problems.lines.join(u'\n').toStdString();
}

TEST_F(StoreLayout, AStoreFromANewerVersionIsLeftAlone) {
  ASSERT_EQ(Sql(store, "PRAGMA user_version = 2"), QString());
  const QStringList before = test::DumpStore(store);

  Registry registry(store, home.paths().userStore, problems.reporter());
  EXPECT_TRUE(registry.QueryRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes")).isEmpty());
  registry.SetRegValue(LM, QString(), QStringLiteral("At the root"), 8, RegType::Dword);
  ASSERT_EQ(problems.lines.size(), 1);
  EXPECT_TRUE(problems.lines.first().contains(QStringLiteral("newer version"))) << problems.lines.first().toStdString();
  EXPECT_EQ(test::DumpStore(store), before);
  EXPECT_EQ(Sql(store, "PRAGMA user_version"), QStringLiteral("2"));
}

}  // namespace
}  // namespace tw
