// A key written with all its values in one call against the same key written
// value by value: over random paths, names and texts (case variants, names
// outside ASCII and outside the code page, odd separators, keys that exist
// already, repeated names in one call), in and out of transactions and while
// another program holds the store, the two stores end up row for row alike.
#include "core/Registry.h"
#include "support/LockingProcess.h"
#include "support/StoreDump.h"
#include "support/TempHome.h"

#include <QFileInfo>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace tw {
namespace {

constexpr Hive LM = Hive::LocalMachine;

class Picker {
 public:
  explicit Picker(unsigned seed) : rng_(seed) {}
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  QString oneOf(const QStringList& list) { return list[below(static_cast<int>(list.size()))]; }

 private:
  std::mt19937 rng_;
};

const QStringList kKeyNames{QStringLiteral("Xbins"),
                            QStringLiteral("XBINS"),
                            QStringLiteral("1"),
                            QStringLiteral("12"),
                            QString::fromUtf8("Stra\xC3\x9F" "e"),
                            QString::fromUtf8("\xC3\xA9t\xC3\xA9"),
                            QString::fromUtf8("\xC3\x89T\xC3\x89"),
                            QString::fromUtf8("\xE4\xB8\xAD")};
const QStringList kValueNames{QStringLiteral("Title"),
                              QStringLiteral("TITLE"),
                              QStringLiteral("Tag"),
                              QStringLiteral("Description"),
                              QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e"),
                              QString::fromUtf8("\xE2\x82\xAC"),
                              QString()};
const QStringList kTexts{QString(), QStringLiteral("plain"),
                         QString::fromUtf8("Caf\xC3\xA9 \xE2\x80\x94 \xE4\xB8\xAD"), QString(2000, u'x'),
                         QStringLiteral("<NEW><UNREAD>")};

QString RandomPath(Picker& pick) {
  QString path =
      pick.below(4) == 0 ? QStringLiteral("\\Software\\\\Tidewire\\") : QStringLiteral("Software\\Tidewire");
  for (int depth = pick.below(4); depth > 0; --depth) path += u'\\' + pick.oneOf(kKeyNames);
  return pick.below(6) == 0 ? QString() : path;
}

// Runs the same random writes on both registries: a key with its texts in one
// call on the first, key and texts one by one on the second.
void WriteBoth(Picker& pick, Registry& batched, Registry& single, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    const QString path = RandomPath(pick);
    if (pick.below(8) == 0) {
      batched.DeleteRegKey(LM, path);
      single.DeleteRegKey(LM, path);
      continue;
    }
    QList<Registry::RegText> texts;
    for (int n = pick.below(20); n > 0; --n) texts.append({pick.oneOf(kValueNames), pick.oneOf(kTexts)});
    batched.CreateRegKeyWithTexts(LM, path, texts);
    single.CreateRegKey(LM, path);
    for (const Registry::RegText& text : texts) single.SetRegValue(LM, path, text.name, text.text, RegType::String);
  }
}

TEST(StoreBatch, AKeyWithItsValuesInOneCallStoresWhatSeparateWritesStore) {
  test::TempHome one;
  test::TempHome other;
  Registry batched(one.paths().machineStore, one.paths().userStore, {});
  Registry single(other.paths().machineStore, other.paths().userStore, {});
  Picker pick(7);

  // Each write outside a transaction costs a flush (one a value, single): most
  // go in groups.
  WriteBoth(pick, batched, single, 6);
  for (int group = 0; group < 6; ++group) {
    RegistryTransaction a(batched, LM);
    RegistryTransaction b(single, LM);
    WriteBoth(pick, batched, single, 40);
    ASSERT_TRUE(a.commit());
    ASSERT_TRUE(b.commit());
  }
  {
    // Kept while another program holds the lock, and saved once it is free.
    test::LockingProcess locker(one.paths().machineStore, "writes");
    ASSERT_TRUE(locker.isLocked());
    RegistryTransaction a(batched, LM);
    WriteBoth(pick, batched, single, 60);
    ASSERT_TRUE(a.commit());
    WriteBoth(pick, batched, single, 6);
  }
  // Saved from the event loop once the lock is free.
  static_cast<void>(QTest::qWaitFor(
      [&] { return test::DumpStore(one.paths().machineStore) == test::DumpStore(other.paths().machineStore); },
      5000));

  const QStringList dump = test::DumpStore(one.paths().machineStore);
  EXPECT_GT(dump.size(), 200);
  EXPECT_EQ(dump, test::DumpStore(other.paths().machineStore));
  // Siblings made in one group skip the parent that is known to be there: it
  // must really be there, deletions in between included.
  QSet<QString> keys;
  for (const QString& row : dump) {
    if (row.startsWith(QLatin1String("key "))) keys.insert(row.mid(4).section(QStringLiteral(" | "), 0, 0));
  }
  for (const QString& row : dump) {
    if (!row.startsWith(QLatin1String("key "))) continue;
    const QString parent = row.section(QStringLiteral(" | "), 2, 2);
    EXPECT_TRUE(parent.isEmpty() || keys.contains(parent)) << qPrintable(row);
  }
}

// A long list saved in one commit has its log copied back into the file by a
// checkpoint of its own thread: the file fills while the store stays open,
// the log starts over instead of growing with every list, and everything
// reads back.
TEST(StoreBatch, ALongListCommittedAtOnceReachesTheFileAndTheLogStartsOver) {
  test::TempHome home;
  Registry registry(home.paths().machineStore, home.paths().userStore, {});
  const QString file = home.paths().machineStore;
  const auto writeList = [&](const QString& text) {
    RegistryTransaction group(registry, LM);
    for (int i = 1; i <= 3000; ++i) {
      registry.CreateRegKeyWithTexts(LM, QStringLiteral("Software\\Tidewire\\Xbins\\%1").arg(i),
                                     {{QStringLiteral("Title"), text}, {QStringLiteral("Description"), text}});
    }
    return group.commit();
  };
  const auto size = [](const QString& path) { return QFileInfo(path).size(); };

  ASSERT_TRUE(writeList(QString(600, u'a')));
  const qint64 firstLog = size(file + QStringLiteral("-wal"));
  EXPECT_GT(firstLog, 4'000'000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return size(file) > 4'000'000; }, 10000)) << size(file);
  // Four more lists, each with time to be copied: without the log starting
  // over it would hold all five.
  for (const char16_t fill : {u'c', u'd', u'e', u'b'}) {
    QTest::qWait(500);
    ASSERT_TRUE(writeList(QString(600, fill)));
  }
  EXPECT_LE(size(file + QStringLiteral("-wal")), firstLog * 5 / 2);

  const QStringList dump = test::DumpStore(file);
  EXPECT_EQ(dump.filter(QStringLiteral("|TITLE|")).size() + dump.filter(QStringLiteral("| TITLE |")).size(), 3000);
  EXPECT_EQ(dump.filter(QString(600, u'b')).size(), 6000);
}

}  // namespace
}  // namespace tw
