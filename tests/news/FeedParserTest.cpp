#include "NewsTestSupport.h"
#include "core/Windows1252.h"

#include <QDir>
#include <QFile>

namespace tw::test {
namespace {

constexpr int kXbins = 2;

class FeedParserTest : public NewsTest {
 protected:
  FeedParserTest() { start(); }
};

TEST_F(FeedParserTest, StoresTheChannelValuesAndMergesTheItems) {
  parse(kXbins, Rss(NumberedItems(1, 3), QStringLiteral("Xbins news")));
  EXPECT_EQ(stored(kXbins, "RSS Title").toText(), QStringLiteral("Xbins news"));
  EXPECT_EQ(stored(kXbins, "RSS Link").toText(), QStringLiteral("http://example.org/"));
  EXPECT_EQ(stored(kXbins, "RSS Description").toText(), QStringLiteral("News of the scene"));
  EXPECT_TRUE(stored(kXbins, "RSS LastBuildDate").isText());
  EXPECT_EQ(stored(kXbins, "RSS LastBuildDate").toText(), QString());
  EXPECT_EQ(itemTitles(kXbins), (QStringList{"Item 1", "Item 2", "Item 3"}));
  EXPECT_EQ(debugLines(kXbins), QStringList{"3 item(s) downloaded, 0 item(s) cached"});
  // Release builds delete the file once read.
  EXPECT_FALSE(QFile::exists(site(kXbins).CacheFile));
}

TEST_F(FeedParserTest, ImageValuesAreWrittenOnlyWhenTheHeaderHasAnImage) {
  parse(kXbins,
        "<channel><title>A</title><image><title>Logo</title><url>http://i/</url><link>l</link>"
        "<description>d</description><width>88</width><height>31</height></image>"
        "<item><title>x</title></item>");
  EXPECT_EQ(stored(kXbins, "RSS Title").toText(), QStringLiteral("A"));
  EXPECT_EQ(stored(kXbins, "RSS Image Title").toText(), QStringLiteral("Logo"));
  EXPECT_EQ(stored(kXbins, "RSS Image URL").toText(), QStringLiteral("http://i/"));
  EXPECT_EQ(stored(kXbins, "RSS Image Height").toText(), QStringLiteral("31"));

  parse(kXbins, "<channel><title>B</title><item><title>x</title></item>");
  EXPECT_EQ(stored(kXbins, "RSS Title").toText(), QStringLiteral("B"));
  EXPECT_EQ(stored(kXbins, "RSS Image Title").toText(), QStringLiteral("Logo"));
  EXPECT_EQ(stored(kXbins, "RSS Description").toText(), QString());
}

TEST_F(FeedParserTest, AFeedWithoutItemsLeavesTheStoreAlone) {
  parse(kXbins, Rss(NumberedItems(1, 2), QStringLiteral("First")));
  const QStringList before = storedItems(kXbins);
  parse(kXbins, "<html><title>Not a feed</title></html>");
  EXPECT_EQ(stored(kXbins, "RSS Title").toText(), QStringLiteral("First"));
  EXPECT_EQ(storedItems(kXbins), before);
  EXPECT_EQ(itemTitles(kXbins), (QStringList{"Item 1", "Item 2"}));
  EXPECT_EQ(debugLines(kXbins).mid(1),
            (QStringList{"No <item> or </item> tags found", "0 item(s) downloaded, 2 item(s) cached"}));
  EXPECT_TRUE(activityTexts().last().contains(QStringLiteral("Xbins: no news items found")));
}

TEST_F(FeedParserTest, AMissingFileIsLoggedAndChangesNothing) {
  core->sites[kXbins].CacheFile = core->programFolder.AppFolder() + QStringLiteral("/gone.xml");
  parser->ParseFeed(kXbins);
  EXPECT_EQ(debugLines(kXbins), QStringList{site(kXbins).CacheFile + QStringLiteral(" file not found.")});
  EXPECT_TRUE(stored(kXbins, "RSS Title").isEmpty());
}

TEST_F(FeedParserTest, ADisabledSiteIsNotParsed) {
  core->sites[kXbins].Disabled = true;
  const QString file = writeDownload(kXbins, Rss(NumberedItems(1, 1)));
  parser->ParseFeed(kXbins);
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_TRUE(stored(kXbins, "RSS Title").isEmpty());
  EXPECT_TRUE(debugLines(kXbins).isEmpty());
}

TEST_F(FeedParserTest, Utf8DocumentsAreDecodedAndTheTextIsStoredInTheCodePage) {
  parse(kXbins,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><channel><title>Caf\xC3\xA9 \xE2\x80\x99</title>"
        "<item><title>\xE2\x82\xAC 5 &amp;#039; \xE4\xB8\xAD</title><link>l</link></item>");
  EXPECT_EQ(stored(kXbins, "RSS Title").toText(), QStringLiteral("Caf\u00e9 \u2019"));
  EXPECT_EQ(itemTitles(kXbins), QStringList{QStringLiteral("\u20ac 5 ' \u4e2d")});
  EXPECT_EQ(storedItem(kXbins, 1, "Title").toText(), QStringLiteral("\u20ac 5 ' ?"));
}

TEST_F(FeedParserTest, AnItemWithCharactersOutsideTheCodePageIsNotNewAgainNextTime) {
  const QByteArray doc = "<?xml encoding=\"utf-8\"?><item><title>\xE4\xB8\xAD</title><link>l</link></item>";
  parse(kXbins, doc);
  core->tv.select(itemKey(kXbins, 1));
  store->SetReadStatus(true);
  window.alerts.clear();
  parse(kXbins, doc);
  EXPECT_EQ(itemNodes(kXbins), QStringList{QStringLiteral("\u4e2d|item_read|<READ>|-")});
  EXPECT_TRUE(window.alerts.isEmpty());
}

TEST_F(FeedParserTest, DebugBuildsKeepTheFeedUnderRss) {
  parser = std::make_unique<FeedParser>(*core, *store, *debugLog, true);
  clock.set(QDateTime(QDate(2004, 3, 9), QTime(7, 5, 2)));
  const QString file = writeDownload(kXbins, Rss(NumberedItems(1, 1)));
  parser->ParseFeed(kXbins);
  const QString kept = core->programFolder.AppFolder() + QStringLiteral("/RSS/Xbins/09.03.04 - 07.05.02.xml");
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_TRUE(QFile::exists(kept));
  EXPECT_EQ(debugLines(kXbins).first(), QStringLiteral("XML saved as ") + kept);
  EXPECT_EQ(itemTitles(kXbins), QStringList{"Item 1"});
}

TEST_F(FeedParserTest, AFileTooLargeToReadIsRefusedWithAMessage) {
  const QString file = writeDownload(kXbins, {});
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(kMaxFeedFileBytes + 1));  // sparse: costs no disk
  }
  parser->ParseFeed(kXbins);
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_TRUE(activityTexts().last().contains(QStringLiteral("too large")));
  EXPECT_EQ(totalItems(kXbins), 0);
}

}  // namespace
}  // namespace tw::test
