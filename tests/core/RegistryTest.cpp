#include "core/Registry.h"
#include "support/TempHome.h"

#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>

namespace tw {
namespace {

constexpr Hive LM = Hive::LocalMachine;
constexpr Hive CU = Hive::CurrentUser;
const QString kRoot = QStringLiteral("Software\\Tidewire");

class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest()
      : registry(home.paths().machineStore, home.paths().userStore,
                 [this](const QString& m, LogLevel) { problems << m; }) {
    registry.CreateRegKey(LM, kRoot);
  }
  test::TempHome home;
  QStringList problems;
  Registry registry;
};

TEST_F(RegistryTest, SetDoesNotCreateTheKey) {
  registry.SetRegValue(LM, kRoot + QStringLiteral("\\Missing"), QStringLiteral("Title"), QStringLiteral("x"),
                       RegType::String);
  EXPECT_FALSE(registry.KeyExists(LM, kRoot + QStringLiteral("\\Missing")));
  EXPECT_TRUE(registry.QueryRegValue(LM, kRoot + QStringLiteral("\\Missing"), QStringLiteral("Title")).isEmpty());

  registry.CreateRegKey(LM, kRoot + QStringLiteral("\\Missing"));
  registry.SetRegValue(LM, kRoot + QStringLiteral("\\Missing"), QStringLiteral("Title"), QStringLiteral("x"),
                       RegType::String);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot + QStringLiteral("\\Missing"), QStringLiteral("Title")),
            RegValue::Text(QStringLiteral("x")));
  EXPECT_TRUE(problems.isEmpty());
}

TEST_F(RegistryTest, MissingAndForeignKindsReadAsEmpty) {
  EXPECT_TRUE(registry.QueryRegValue(LM, kRoot, QStringLiteral("Close To Tray")).isEmpty());
  EXPECT_TRUE(registry.QueryRegValue(LM, QStringLiteral("No\\Such\\Key"), QStringLiteral("x")).isEmpty());
  registry.store(LM).setValue(kRoot, QStringLiteral("Close To Tray"), static_cast<int>(RegType::Binary),
                              QByteArray("\x01\x00\x00\x00", 4));
  EXPECT_TRUE(registry.QueryRegValue(LM, kRoot, QStringLiteral("Close To Tray")).isEmpty());
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, QStringLiteral("Close To Tray")).toInt(), 0);
  // A number value of the wrong length is not a number either.
  registry.store(LM).setValue(kRoot, QStringLiteral("Odd"), static_cast<int>(RegType::Dword), QByteArray("\x01", 1));
  EXPECT_TRUE(registry.QueryRegValue(LM, kRoot, QStringLiteral("Odd")).isEmpty());
  // Types other than text and number write nothing.
  registry.SetRegValue(LM, kRoot, QStringLiteral("Bin"), 5, RegType::Binary);
  EXPECT_FALSE(registry.store(LM).value(kRoot, QStringLiteral("Bin")).has_value());
}

TEST_F(RegistryTest, NumbersRoundHalvesToEvenAndRejectWhatDoesNotFit) {
  const QString name = QStringLiteral("n");
  const auto stored = [&](const QVariant& v) {
    registry.SetRegValue(LM, kRoot, name, v, RegType::Dword);
    return registry.QueryRegValue(LM, kRoot, name);
  };
  EXPECT_EQ(stored(2.5), RegValue::Number(2));
  EXPECT_EQ(stored(3.5), RegValue::Number(4));
  EXPECT_EQ(stored(-2.5), RegValue::Number(-2));
  EXPECT_EQ(stored(1234.4), RegValue::Number(1234));
  EXPECT_EQ(stored(QStringLiteral(" 42 ")), RegValue::Number(42));
  EXPECT_EQ(stored(true), RegValue::Number(1));
  EXPECT_EQ(stored(-2147483648.0), RegValue::Number(-2147483647 - 1));
  // Out of range or not a number: the old value stays.
  EXPECT_EQ(stored(4294967296.0), RegValue::Number(-2147483647 - 1));
  EXPECT_EQ(stored(QStringLiteral("abc")), RegValue::Number(-2147483647 - 1));
  // Stored as four little-endian bytes.
  const auto raw = registry.store(LM).value(kRoot, name);
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->kind, 4);
  EXPECT_EQ(raw->data.size(), 4);
}

TEST_F(RegistryTest, NamesAreCaseInsensitiveAndKeepTheirSpelling) {
  registry.CreateRegKey(LM, QStringLiteral("Software\\Tidewire\\Xbins\\"));
  registry.SetRegValue(LM, QStringLiteral("SOFTWARE\\tidewire\\XBINS"), QStringLiteral("Error Count"), 3,
                       RegType::Dword);
  EXPECT_EQ(registry.QueryRegValue(LM, QStringLiteral("software\\TIDEWIRE\\xbins\\"), QStringLiteral("error count")),
            RegValue::Number(3));
  registry.SetRegValue(LM, kRoot + QStringLiteral("\\Xbins"), QStringLiteral("ERROR COUNT"), 4, RegType::Dword);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot + QStringLiteral("\\Xbins"), QStringLiteral("Error Count")),
            RegValue::Number(4));
  EXPECT_EQ(registry.store(LM).subKeyNames(kRoot), QStringList{QStringLiteral("Xbins")});
  // Empty parts of a path do not count.
  EXPECT_TRUE(registry.KeyExists(LM, QStringLiteral("\\Software\\\\Tidewire\\Xbins\\")));
}

TEST_F(RegistryTest, DeleteKeyTakesItsValuesButLeavesAKeyWithSubkeys) {
  const QString site = kRoot + QStringLiteral("\\Xbins");
  registry.CreateRegKey(LM, site + QStringLiteral("\\1"));
  registry.SetRegValue(LM, site + QStringLiteral("\\1"), QStringLiteral("Title"), QStringLiteral("t"),
                       RegType::String);
  registry.SetRegValue(LM, site, QStringLiteral("TotalItems"), 1, RegType::Dword);

  registry.DeleteRegKey(LM, site);  // has a subkey: stays, like the registry
  EXPECT_TRUE(registry.KeyExists(LM, site));
  EXPECT_EQ(registry.QueryRegValue(LM, site, QStringLiteral("TotalItems")), RegValue::Number(1));

  registry.DeleteRegKey(LM, site + QStringLiteral("\\1"));
  EXPECT_FALSE(registry.KeyExists(LM, site + QStringLiteral("\\1")));
  // Re-creating the key does not bring old values back.
  registry.CreateRegKey(LM, site + QStringLiteral("\\1"));
  EXPECT_TRUE(registry.QueryRegValue(LM, site + QStringLiteral("\\1"), QStringLiteral("Title")).isEmpty());

  registry.DeleteRegValue(LM, site, QStringLiteral("totalitems"));
  EXPECT_TRUE(registry.QueryRegValue(LM, site, QStringLiteral("TotalItems")).isEmpty());
}

TEST_F(RegistryTest, TextIsStoredInTheSingleBytePage) {
  const QString name = QStringLiteral("RSS Title");
  registry.SetRegValue(LM, kRoot, name, QStringLiteral("Caf\u00e9 \u20ac5 \u2019quoted\u2019"), RegType::String);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, name).toText(), QStringLiteral("Caf\u00e9 \u20ac5 \u2019quoted\u2019"));
  const auto raw = registry.store(LM).value(kRoot, name);
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->data, QByteArray("Caf\xe9 \x80" "5 \x92quoted\x92"));

  // Outside the page: replaced, one '?' per character.
  registry.SetRegValue(LM, kRoot, name, QStringLiteral("\u65e5\u672c \U0001F600 ok"), RegType::String);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, name).toText(), QStringLiteral("?? ? ok"));

  // Numbers written as text read back as text.
  registry.SetRegValue(LM, kRoot, name, 12, RegType::String);
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, name), RegValue::Text(QStringLiteral("12")));
  EXPECT_EQ(registry.QueryRegValue(LM, kRoot, name).toInt(), 12);
}

TEST_F(RegistryTest, HivesAreSeparateFilesAndSurviveReopening) {
  registry.CreateRegKey(CU, kRoot);
  registry.SetRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes"), 30, RegType::Dword);
  registry.SetRegValue(CU, kRoot, QStringLiteral("Check Interval Minutes"), 5, RegType::Dword);

  Registry reopened(home.paths().machineStore, home.paths().userStore, {});
  EXPECT_EQ(reopened.QueryRegValue(LM, kRoot, QStringLiteral("Check Interval Minutes")), RegValue::Number(30));
  EXPECT_EQ(reopened.QueryRegValue(CU, kRoot, QStringLiteral("Check Interval Minutes")), RegValue::Number(5));
}

TEST_F(RegistryTest, TransactionsLandWholeOrNotAtAll) {
  const QString key = kRoot + QStringLiteral("\\Xbins");
  registry.CreateRegKey(LM, key);
  {
    RegistryTransaction tx(registry, LM);
    ASSERT_TRUE(tx.isActive());
    registry.SetRegValue(LM, key, QStringLiteral("TotalItems"), 7, RegType::Dword);
    // Dropped without commit: rolled back.
  }
  EXPECT_TRUE(registry.QueryRegValue(LM, key, QStringLiteral("TotalItems")).isEmpty());

  {
    RegistryTransaction outer(registry, LM);
    registry.SetRegValue(LM, key, QStringLiteral("TotalItems"), 8, RegType::Dword);
    {
      RegistryTransaction inner(registry, LM);
      registry.CreateRegKey(LM, key + QStringLiteral("\\1"));
      EXPECT_TRUE(inner.commit());
    }
    // Readers in the same process see the pending writes.
    EXPECT_EQ(registry.QueryRegValue(LM, key, QStringLiteral("TotalItems")), RegValue::Number(8));
    EXPECT_TRUE(outer.commit());
  }
  Registry other(home.paths().machineStore, home.paths().userStore, {});
  EXPECT_EQ(other.QueryRegValue(LM, key, QStringLiteral("TotalItems")), RegValue::Number(8));
  EXPECT_TRUE(other.KeyExists(LM, key + QStringLiteral("\\1")));
}

// A check sets each site's error count and channel values again, mostly to
// what they are: such a write must not reach the file (each commit is a disk
// flush), while any difference, of bytes or of kind, still does.
TEST_F(RegistryTest, AnUpdateToWhatIsStoredWritesNothing) {
  const QString key = kRoot + QStringLiteral("\\Xbins");
  registry.CreateRegKey(LM, key);
  registry.SetRegValue(LM, key, QStringLiteral("ErrorCount"), 0, RegType::Dword);
  registry.SetRegValue(LM, key, QStringLiteral("Title"), QString::fromUtf8("Caf\xC3\xA9"), RegType::String);
  const QString wal = home.paths().machineStore + QStringLiteral("-wal");
  const auto written = [&] { return QFileInfo(wal).size(); };
  const qint64 before = written();
  ASSERT_GT(before, 0);

  registry.UpdateRegValue(LM, key, QStringLiteral("errorcount"), 0, RegType::Dword);
  registry.UpdateRegValue(LM, key, QStringLiteral("TITLE"), QString::fromUtf8("Caf\xC3\xA9"), RegType::String);
  EXPECT_EQ(written(), before) << "nothing changed, nothing written";

  registry.UpdateRegValue(LM, key, QStringLiteral("ErrorCount"), QStringLiteral("0"), RegType::String);
  EXPECT_EQ(registry.QueryRegValue(LM, key, QStringLiteral("ErrorCount")), RegValue::Text(QStringLiteral("0")));
  registry.UpdateRegValue(LM, key, QStringLiteral("Title"), QStringLiteral("Cafe"), RegType::String);
  EXPECT_EQ(registry.QueryRegValue(LM, key, QStringLiteral("Title")), RegValue::Text(QStringLiteral("Cafe")));
  registry.UpdateRegValue(LM, key + QStringLiteral("\\Missing"), QStringLiteral("Title"), QStringLiteral("x"),
                          RegType::String);
  EXPECT_FALSE(registry.KeyExists(LM, key + QStringLiteral("\\Missing"))) << "as a set, it makes no key";
  EXPECT_GT(written(), before);

  // Inside a transaction it compares with what the transaction has written.
  {
    RegistryTransaction tx(registry, LM);
    registry.SetRegValue(LM, key, QStringLiteral("Title"), QStringLiteral("Pending"), RegType::String);
    registry.UpdateRegValue(LM, key, QStringLiteral("Title"), QStringLiteral("Cafe"), RegType::String);
    EXPECT_TRUE(tx.commit());
  }
  Registry reopened(home.paths().machineStore, home.paths().userStore, {});
  EXPECT_EQ(reopened.QueryRegValue(LM, key, QStringLiteral("Title")), RegValue::Text(QStringLiteral("Cafe")));
  EXPECT_EQ(reopened.QueryRegValue(LM, key, QStringLiteral("ErrorCount")), RegValue::Text(QStringLiteral("0")));
  EXPECT_TRUE(problems.isEmpty());
}

TEST(RegValueTest, ReadingRules) {
  EXPECT_EQ(RegValue().toInt(), 0);
  EXPECT_EQ(RegValue().toText(), QString());
  EXPECT_FALSE(RegValue().isNonZero());
  EXPECT_TRUE(RegValue::Number(-1).isNonZero());
  EXPECT_EQ(RegValue::Number(-1).toText(), QStringLiteral("-1"));
  EXPECT_EQ(RegValue::Text(QStringLiteral("abc")).toInt(), 0);
  EXPECT_EQ(RegValue::Text(QStringLiteral("2.5")).toInt(), 2);
  EXPECT_EQ(RegValue::Text(QStringLiteral("1e12")).toInt(), 0);
}

}  // namespace
}  // namespace tw
