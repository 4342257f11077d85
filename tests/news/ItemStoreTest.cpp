#include "NewsTestSupport.h"
#include "core/StatusTags.h"
#include "news/FeedDocument.h"
#include "support/LockingProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QThread>

namespace tw::test {
namespace {

constexpr int kXbins = 2;
const QString kFresh = QStringLiteral("<NEW><UNREAD>");  // once the title refresh took <VERY_NEW>

QString Node(const QString& title, const char* image, const QString& tag, bool bold) {
  return title + u'|' + QString::fromLatin1(image) + u'|' + tag + u'|' + (bold ? u'B' : u'-');
}
QString ReadNode(const QString& title) { return Node(title, "item_read", TagRead, false); }
QString NewNode(const QString& title) { return Node(title, "new", kFresh, true); }

class ItemStoreTest : public NewsTest {
 protected:
  ItemStoreTest() {
    start();
    QObject::connect(&core->tv, &SiteTree::nodeAdded, [this] { ++added; });
    QObject::connect(&core->tv, &SiteTree::nodeAboutToBeRemoved, [this] { ++removed; });
  }
  void mark(const QString& key, bool read) {
    core->tv.select(key);
    store->SetReadStatus(read);
  }
  void markSite(int index, bool read) { mark(site(index).Key, read); }
  int added = 0;
  int removed = 0;
};

TEST_F(ItemStoreTest, AFirstFeedFillsTreeAndStoreInFeedOrder) {
  parse(kXbins, Rss(NumberedItems(1, 3)));
  EXPECT_EQ(itemNodes(kXbins), (QStringList{NewNode("Item 1"), NewNode("Item 2"), NewNode("Item 3")}));
  EXPECT_EQ(core->tv.childKeys(site(kXbins).Key),
            (QStringList{itemKey(kXbins, 1), itemKey(kXbins, 2), itemKey(kXbins, 3)}));
  EXPECT_EQ(totalItems(kXbins), 3);
  EXPECT_EQ(storedItems(kXbins), (QStringList{"Item 1|http://x/1|<NEW><UNREAD>", "Item 2|http://x/2|<NEW><UNREAD>",
                                              "Item 3|http://x/3|<NEW><UNREAD>"}));
  EXPECT_EQ(storedItem(kXbins, 2, "Description").toText(), QStringLiteral("About it"));
  EXPECT_TRUE(storedItem(kXbins, 2, "Author").isText());
  EXPECT_EQ(window.alerts.size(), 1);
}

TEST_F(ItemStoreTest, OneNewItemOnTopOfTenCached) {
  parse(kXbins, Rss(NumberedItems(1, 10)));
  markSite(kXbins, true);
  window.alerts.clear();

  QList<FeedItem> feed = NumberedItems(11, 1) + NumberedItems(1, 9);
  parse(kXbins, Rss(feed));
  QStringList expected{NewNode("Item 11")};
  for (int i = 1; i <= 9; ++i) expected << ReadNode(QStringLiteral("Item %1").arg(i));
  EXPECT_EQ(itemNodes(kXbins), expected);
  EXPECT_EQ(core->tv.childKeys(site(kXbins).Key).last(), itemKey(kXbins, 10));
  EXPECT_EQ(totalItems(kXbins), 10);
  EXPECT_EQ(storedItems(kXbins).first(), QStringLiteral("Item 11|http://x/11|<NEW><UNREAD>"));
  EXPECT_EQ(storedItems(kXbins)[9], QStringLiteral("Item 9|http://x/9|<READ>"));
  EXPECT_FALSE(storedItemExists(kXbins, 11));
  EXPECT_FALSE(itemTitles(kXbins).contains(QStringLiteral("Item 10")));
  ASSERT_EQ(window.alerts.size(), 1);
  EXPECT_EQ(window.alerts[0].message, QStringLiteral("Xbins\r\nhas 1 new item."));
  EXPECT_EQ(debugLines(kXbins).last(), QStringLiteral("10 item(s) downloaded, 10 item(s) cached"));
}

TEST_F(ItemStoreTest, AFeedOfOnlyKnownReadItemsChangesNothing) {
  parse(kXbins, Rss(NumberedItems(1, 4)));
  markSite(kXbins, true);
  const QStringList nodes = itemNodes(kXbins);
  const QStringList stored = storedItems(kXbins);
  added = removed = 0;
  window.alerts.clear();

  QList<FeedItem> feed = NumberedItems(2, 2);  // fewer items, changed descriptions
  for (FeedItem& item : feed) item.description = QStringLiteral("Rewritten");
  parse(kXbins, Rss(feed));
  EXPECT_EQ(itemNodes(kXbins), nodes);
  EXPECT_EQ(storedItems(kXbins), stored);
  EXPECT_EQ(storedItem(kXbins, 2, "Description").toText(), QStringLiteral("About it"));
  EXPECT_EQ(added, 0);
  EXPECT_EQ(removed, 0);
  EXPECT_TRUE(window.alerts.isEmpty());
}

TEST_F(ItemStoreTest, AnItemStillNewMakesEveryMergeRebuildWithoutAnnouncingAgain) {
  parse(kXbins, Rss(NumberedItems(1, 2)));
  window.alerts.clear();
  QList<FeedItem> feed = NumberedItems(1, 2);
  feed[1].description = QStringLiteral("Rewritten");
  parse(kXbins, Rss(feed));
  EXPECT_EQ(storedItem(kXbins, 2, "Description").toText(), QStringLiteral("Rewritten"));
  EXPECT_EQ(itemNodes(kXbins), (QStringList{NewNode("Item 1"), NewNode("Item 2")}));
  EXPECT_TRUE(window.alerts.isEmpty());
}

TEST_F(ItemStoreTest, AChangedTitleIsANewItem) {
  parse(kXbins, Rss(NumberedItems(1, 3)));
  markSite(kXbins, true);
  window.alerts.clear();
  QList<FeedItem> feed = NumberedItems(1, 3);
  feed[1].title = QStringLiteral("Item 2 (updated)");
  parse(kXbins, Rss(feed));
  EXPECT_EQ(itemNodes(kXbins), (QStringList{ReadNode("Item 1"), NewNode("Item 2 (updated)"), ReadNode("Item 3")}));
  ASSERT_EQ(window.alerts.size(), 1);
}

TEST_F(ItemStoreTest, OfTwoEqualParsedItemsOnlyTheFirstTakesTheStoredStatus) {
  parse(kXbins, Rss(NumberedItems(1, 1)));
  markSite(kXbins, true);
  parse(kXbins, Rss(NumberedItems(1, 1) + NumberedItems(1, 1)));
  EXPECT_EQ(itemNodes(kXbins), (QStringList{ReadNode("Item 1"), NewNode("Item 1")}));
}

TEST_F(ItemStoreTest, OfTwoEqualCachedItemsTheLaterOnePassesItsStatus) {
  parse(kXbins, Rss(NumberedItems(1, 1) + NumberedItems(1, 1)));  // read, then new
  mark(itemKey(kXbins, 1), true);
  mark(itemKey(kXbins, 2), false);
  parse(kXbins, Rss(NumberedItems(5, 1) + NumberedItems(1, 1)));
  EXPECT_EQ(itemNodes(kXbins), (QStringList{NewNode("Item 5"), Node("Item 1", "item_unread", TagUnread, true)}));
}

TEST_F(ItemStoreTest, AutoExpandNewOpensTheSiteOnlyWhenItIsOne) {
  setFlag(setting::AutoExpandNew, 2);
  parse(kXbins, Rss(NumberedItems(1, 1)));
  EXPECT_FALSE(siteNode(kXbins)->expanded);
  setFlag(setting::AutoExpandNew, 1);
  parse(kXbins, Rss(NumberedItems(2, 1)));
  EXPECT_TRUE(siteNode(kXbins)->expanded);
}

TEST_F(ItemStoreTest, NoItemsOnlyLogsTheCounts) {
  parse(kXbins, Rss(NumberedItems(1, 2)));
  store->MergeItems(kXbins, ItemTexts());
  EXPECT_EQ(debugLines(kXbins).last(), QStringLiteral("0 item(s) downloaded, 2 item(s) cached"));
  EXPECT_EQ(itemTitles(kXbins).size(), 2);
}

TEST_F(ItemStoreTest, StartUpDropsNewUnlessPreserveNewStatusIsOn) {
  presetItems(kXbins, {"A", "B", "C", "D", "E"}, {"<NEW><UNREAD>", "<READ>", "", "<NEW>", "<UNREAD>"});
  restart();
  EXPECT_EQ(itemNodes(kXbins), (QStringList{Node("A", "item_unread", TagUnread, true), ReadNode("B"), ReadNode("C"),
                                            ReadNode("D"), Node("E", "item_unread", TagUnread, true)}));
  // Written back.
  EXPECT_EQ(storedItems(kXbins), (QStringList{"A|http://x/A|<UNREAD>", "B|http://x/B|<READ>", "C|http://x/C|<READ>",
                                              "D|http://x/D|<READ>", "E|http://x/E|<UNREAD>"}));
  EXPECT_FALSE(siteNode(kXbins)->expanded);
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins"));  // titles come with RefreshAllSiteTitles
}

TEST_F(ItemStoreTest, StartUpKeepsNewWhenPreserveNewStatusIsOn) {
  setFlag(setting::PreserveNewStatus, 1);
  presetItems(kXbins, {"A", "B", "C"}, {"<NEW><UNREAD>", "", "<NEW>"});
  restart();
  EXPECT_EQ(itemNodes(kXbins), (QStringList{NewNode("A"), ReadNode("B"), Node("C", "new", TagNew, true)}));
  EXPECT_EQ(storedItems(kXbins),
            (QStringList{"A|http://x/A|<NEW><UNREAD>", "B|http://x/B|<READ>", "C|http://x/C|<NEW>"}));
  startup->RefreshAllSiteTitles(true);
  EXPECT_TRUE(window.alerts.isEmpty());  // nothing arrived
  EXPECT_TRUE(siteNode(kXbins)->bold);
}

TEST_F(ItemStoreTest, ADisabledSiteLoadsNothing) {
  presetItems(kXbins, {"A"}, {"<READ>"});
  core->registry.SetRegValue(core->settings.hive(), core->settings.siteKeyPath(QStringLiteral("Xbins")),
                             QStringLiteral("Disabled"), 1, RegType::Dword);
  restart();
  EXPECT_EQ(siteNode(kXbins), nullptr);
  core->sites[kXbins].Disabled = true;
  store->LoadSiteItems(kXbins);
  EXPECT_EQ(core->tv.nodeCount(), 16);
}

TEST_F(ItemStoreTest, ADamagedItemCountCannotRunAwayAtStartUp) {
  presetItems(kXbins, {"A"}, {"<READ>"});
  core->settings.setSiteNumber(QStringLiteral("Xbins"), setting::SiteTotalItems, 2000000000);
  restart();
  EXPECT_EQ(core->tv.childCount(site(kXbins).Key), kMaxFeedItems);
}

TEST_F(ItemStoreTest, MarkingASiteReadAndUnread) {
  parse(kXbins, Rss(NumberedItems(1, 3)));
  markSite(kXbins, true);
  EXPECT_EQ(itemNodes(kXbins), (QStringList{ReadNode("Item 1"), ReadNode("Item 2"), ReadNode("Item 3")}));
  EXPECT_EQ(storedItems(kXbins)[1], QStringLiteral("Item 2|http://x/2|<READ>"));
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins (0 New, 0 Unread, 3 Total)"));
  EXPECT_FALSE(siteNode(kXbins)->bold);

  markSite(kXbins, false);
  const QString unread = Node("Item 1", "item_unread", TagUnread, true);
  EXPECT_EQ(itemNodes(kXbins).first(), unread);
  EXPECT_EQ(storedItems(kXbins)[0], QStringLiteral("Item 1|http://x/1|<UNREAD>"));
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins (0 New, 3 Unread, 3 Total)"));
}

TEST_F(ItemStoreTest, MarkingOneItemLeavesTheOthers) {
  parse(kXbins, Rss(NumberedItems(1, 2)));
  mark(itemKey(kXbins, 2), true);
  EXPECT_EQ(itemNodes(kXbins), (QStringList{NewNode("Item 1"), ReadNode("Item 2")}));
  EXPECT_EQ(storedItems(kXbins)[1], QStringLiteral("Item 2|http://x/2|<READ>"));
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins (1 New, 1 Unread, 2 Total)"));
  mark(itemKey(kXbins, 1), false);
  EXPECT_EQ(itemNodes(kXbins).first(), Node("Item 1", "item_unread", TagUnread, true));
}

TEST_F(ItemStoreTest, MarkingLeavesVeryNewForTheTitleRefresh) {
  parse(kXbins, Rss(NumberedItems(1, 2)));
  core->tv.setTag(itemKey(kXbins, 1), TagVeryNew + kFresh);
  window.inTray = true;
  window.alerts.clear();
  markSite(kXbins, true);
  // Counted (the tray blinks) but not announced, and never stored.
  EXPECT_TRUE(window.blinking);
  EXPECT_TRUE(window.alerts.isEmpty());
  EXPECT_EQ(itemNodes(kXbins).first(), ReadNode("Item 1"));
  EXPECT_EQ(storedItem(kXbins, 1, "Tag").toText(), TagRead);
}

TEST_F(ItemStoreTest, MarkingWithoutASelectionOrOutsideAnySiteDoesNothing) {
  parse(kXbins, Rss(NumberedItems(1, 1)));
  core->tv.select(QString());
  store->SetReadStatus(true);
  core->tv.addNode({}, QStringLiteral("stray"), QStringLiteral("x"), QStringLiteral("site"));
  mark(QStringLiteral("stray"), true);
  EXPECT_EQ(itemNodes(kXbins), QStringList{NewNode("Item 1")});
}

TEST_F(ItemStoreTest, AFullDiskKeepsThePreviousListInStoreAndTree) {
  parse(kXbins, Rss(NumberedItems(1, 10)));
  markSite(kXbins, true);
  const QStringList nodes = itemNodes(kXbins);
  const QStringList stored = storedItems(kXbins);
  window.alerts.clear();

  QList<FeedItem> big = NumberedItems(20, 300);
  for (FeedItem& item : big) item.description = QString(4000, u'x');
  core->registry.store(core->settings.hive()).setPageLimitForTesting(60);
  parse(kXbins, Rss(big));
  EXPECT_EQ(storedItems(kXbins), stored);
  EXPECT_EQ(itemNodes(kXbins), nodes);
  EXPECT_TRUE(window.alerts.isEmpty());
  EXPECT_TRUE(activityTexts().last().contains(
      QStringLiteral("Could not save the news items of Xbins; its previous list is kept.")));
  EXPECT_EQ(core->activity.lines().last().level, LogLevel::Error);
}

// Another program holding the store: a check's rebuild and the reader's
// marks are kept, read back as they will be, and land whole once it is free.
TEST_F(ItemStoreTest, WhileAnotherProgramHoldsTheStoreARebuildAndMarksAreKeptAndLandWhole) {
  parse(kXbins, Rss(NumberedItems(1, 3)));
  markSite(kXbins, true);
  LockingProcess locker(home.paths().machineStore, "writes");
  ASSERT_TRUE(locker.isLocked());
  parse(kXbins, Rss(NumberedItems(4, 2) + NumberedItems(1, 3)));
  mark(itemKey(kXbins, 1), true);  // item 4, read at once
  const QStringList expected{"Item 4|http://x/4|<READ>", "Item 5|http://x/5|<NEW><UNREAD>", "Item 1|http://x/1|<READ>",
                             "Item 2|http://x/2|<READ>", "Item 3|http://x/3|<READ>"};
  EXPECT_EQ(storedItems(kXbins), expected);
  const auto fileTotal = [this] {
    Registry other(home.paths().machineStore, home.paths().userStore, {});
    return other.QueryRegValue(Hive::LocalMachine, core->settings.siteKeyPath(site(kXbins).RegName),
                               QStringLiteral("TotalItems")).toInt();
  };
  EXPECT_EQ(fileTotal(), 3);

  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return fileTotal() == 5; }, 5000));
  restart();  // which drops <NEW>
  QStringList restarted = expected;
  restarted[1] = QStringLiteral("Item 5|http://x/5|<UNREAD>");
  EXPECT_EQ(storedItems(kXbins), restarted);
  EXPECT_EQ(itemTitles(kXbins), (QStringList{"Item 4", "Item 5", "Item 1", "Item 2", "Item 3"}));
}

// A rebuild killed at any moment leaves either the whole old list or the
// whole new one. The writer needs a few hundred milliseconds, most of them in
// the rebuild; the kills are spread over that time, the last one comes late.
TEST_F(ItemStoreTest, ACrashDuringARebuildLeavesAWholeList) {
  parse(kXbins, Rss(NumberedItems(1, 10)));
  restart();  // as start-up leaves the stored tags
  const QStringList before = storedItems(kXbins);
  const QString feed = home.path(QStringLiteral("big.xml"));
  {
    QList<FeedItem> items = NumberedItems(100, 5000);
    for (FeedItem& item : items) item.description = QString(300, u'y');
    QFile file(feed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Rss(items));
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TIDEWIRE_HOME"), QFileInfo(home.paths().machineStore).absolutePath());
  bool landed = false;
  for (int delay : {30, 70, 110, 150, 190, 230, -1}) {  // -1: let it finish
    QProcess writer;
    writer.setProcessEnvironment(env);
    writer.start(QStringLiteral(REBUILD_WRITER_PATH), {feed});
    ASSERT_TRUE(writer.waitForReadyRead(20000));  // "parsing"
    if (!writer.waitForFinished(delay)) writer.kill();
    writer.waitForFinished();

    restart();
    const QStringList after = storedItems(kXbins);
    if (after == before) {
      EXPECT_EQ(itemTitles(kXbins).size(), 10);
      continue;
    }
    ASSERT_EQ(after.size(), 5000) << "killed after " << delay << " ms";
    EXPECT_EQ(after.first(), QStringLiteral("Item 100|http://x/100|<UNREAD>"));
    EXPECT_EQ(after.last(), QStringLiteral("Item 5099|http://x/5099|<UNREAD>"));
    landed = true;
    break;
  }
  EXPECT_TRUE(landed);
}

}  // namespace
}  // namespace tw::test
