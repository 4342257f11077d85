// Broken and hostile feeds: each ends in bounded time with the usual logging,
// and a feed that yields nothing leaves the store as it was. Small fixtures
// live in fixtures/; the big ones are made here.
#include "NewsTestSupport.h"
#include "news/FeedDocument.h"

#include <QFile>

namespace tw::test {
namespace {

constexpr int kSite = 3;  // Xbox-Scene

QByteArray Fixture(const char* name) {
  QFile file(QStringLiteral(NEWS_FIXTURES_DIR "/") + QString::fromLatin1(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return file.readAll();
}

class HostileInputTest : public NewsTest {
 protected:
  HostileInputTest() {
    start();
    parse(kSite, Rss(NumberedItems(1, 3), QStringLiteral("Before")));
    storedBefore = storedItems(kSite);
    nodesBefore = itemNodes(kSite);
  }
  void expectUntouched() {
    EXPECT_EQ(storedItems(kSite), storedBefore);
    EXPECT_EQ(itemNodes(kSite), nodesBefore);
    EXPECT_EQ(stored(kSite, "RSS Title").toText(), QStringLiteral("Before"));
  }
  QStringList storedBefore;
  QStringList nodesBefore;
};

TEST_F(HostileInputTest, NoItems) {
  parse(kSite, Fixture("no-items.xml"));
  expectUntouched();
  EXPECT_EQ(debugLines(kSite).mid(1),
            (QStringList{"No <item> or </item> tags found", "0 item(s) downloaded, 3 item(s) cached"}));
}

TEST_F(HostileInputTest, BinaryJunk) {
  parse(kSite, Fixture("binary-junk.bin"));
  expectUntouched();
  EXPECT_EQ(debugLines(kSite).last(), QStringLiteral("0 item(s) downloaded, 3 item(s) cached"));
}

TEST_F(HostileInputTest, AnEmptyFile) {
  parse(kSite, QByteArray());
  expectUntouched();
}

TEST_F(HostileInputTest, UnterminatedItemsAreLeftOutNotCutIntoScraps) {
  parse(kSite, Fixture("unterminated-items.xml"));
  EXPECT_EQ(itemTitles(kSite), QStringList{"First"});
  EXPECT_EQ(totalItems(kSite), 1);
  EXPECT_TRUE(activityTexts().last().contains(QStringLiteral("has no </item>")));
}

TEST_F(HostileInputTest, ZeroBytesWithoutUtf8DeclarationAreReplacementCharacters) {
  parse(kSite, Fixture("nul-bytes.xml"));
  EXPECT_EQ(itemTitles(kSite), (QStringList{QStringLiteral("One\ufffdTwo"), "Three"}));
  EXPECT_EQ(stored(kSite, "RSS Title").toText(), QStringLiteral("Nul?Channel"));
  EXPECT_EQ(storedItem(kSite, 1, "Title").toText(), QStringLiteral("One?Two"));
  EXPECT_EQ(storedItem(kSite, 1, "Description").toText(), QStringLiteral("a?b"));
  // Read as stored, the item is the same item the next time.
  core->tv.select(site(kSite).Key);
  store->SetReadStatus(true);
  window.alerts.clear();
  parse(kSite, Fixture("nul-bytes.xml"));
  EXPECT_EQ(itemNodes(kSite).first(), QStringLiteral("One\ufffdTwo|item_read|<READ>|-"));
  EXPECT_TRUE(window.alerts.isEmpty());
}

TEST_F(HostileInputTest, AZeroByteEndsAUtf8Document) {
  parse(kSite, Fixture("nul-bytes-utf8.xml"));
  EXPECT_EQ(itemTitles(kSite), QStringList{"One"});
}

TEST_F(HostileInputTest, InvalidUtf8BecomesReplacementCharacters) {
  parse(kSite, Fixture("invalid-utf8.xml"));
  const QStringList titles = itemTitles(kSite);
  ASSERT_EQ(titles.size(), 2);
  EXPECT_TRUE(titles[0].startsWith(QStringLiteral("Caf\u00e9 \ufffd")));
  EXPECT_EQ(titles[1], QStringLiteral("Fine \u2019"));
  EXPECT_TRUE(stored(kSite, "RSS Title").toText().startsWith(QStringLiteral("Bad ?")));
}

TEST_F(HostileInputTest, EncodedMarkupTakesPartInTheSearches) {
  parse(kSite, Fixture("encoded-markup.xml"));
  EXPECT_EQ(itemTitles(kSite), (QStringList{"Injected", "Second", "Smuggled"}));
  EXPECT_EQ(storedItem(kSite, 3, "Link").toText(), QStringLiteral("http://t/2"));
}

TEST_F(HostileInputTest, LongRunsOfEntities) {
  parse(kSite, Fixture("entity-runs.xml"));
  EXPECT_EQ(stored(kSite, "RSS Title").toText(), QString(1000, u'&'));
  EXPECT_EQ(itemTitles(kSite), QStringList{QString(500, u'\'')});
  EXPECT_EQ(storedItem(kSite, 1, "Link").toText(), QString(300, u'd'));
  EXPECT_TRUE(storedItem(kSite, 1, "Description").toText().startsWith(QStringLiteral("&#035;<>\"&#035;")));

  // And a few megabytes of them.
  QByteArray run = "<item><title>";
  for (int i = 0; i < 300000; ++i) run += "&amp;#038;#039;&#&#049;00;";
  run += "</title></item>";
  parse(kSite, run);
  EXPECT_EQ(itemTitles(kSite).first().size(), 600000);
}

TEST_F(HostileInputTest, AHundredThousandTinyItems) {
  QByteArray doc = "<rss><channel><title>Many</title>";
  for (int i = 0; i < 100000; ++i) doc += "<item><title>" + QByteArray::number(i) + "</title></item>";
  parse(kSite, doc);
  EXPECT_EQ(totalItems(kSite), kMaxFeedItems);
  EXPECT_EQ(core->tv.childCount(site(kSite).Key), kMaxFeedItems);
  EXPECT_EQ(itemTitles(kSite).last(), QString::number(kMaxFeedItems - 1));
  EXPECT_EQ(debugLines(kSite).last(), QStringLiteral("%1 item(s) downloaded, 3 item(s) cached").arg(kMaxFeedItems));
  EXPECT_TRUE(activityTexts().last().contains(QStringLiteral("more than 10000 items")));
}

TEST_F(HostileInputTest, AFiftyMegabyteDocument) {
  // 50 MB: a 1 MB description in each of 10 items, then 40 MB of text with
  // '<' everywhere and no item at all.
  QByteArray doc = "<rss><channel><title>Huge</title>";
  const QByteArray big(1 << 20, 'x');
  for (int i = 0; i < 10; ++i)
    doc += "<item><title>" + QByteArray::number(i) + "</title><description>" + big + "</description></item>";
  QByteArray filler;
  for (int i = 0; i < (40 << 20) / 8; ++i) filler += "<a>&amp;<";
  doc += filler;
  doc += "</channel></rss>";
  ASSERT_GT(doc.size(), 50'000'000);
  parse(kSite, doc);
  EXPECT_EQ(totalItems(kSite), 10);
  EXPECT_EQ(storedItem(kSite, 10, "Description").toText().size(), 1 << 20);
}

TEST_F(HostileInputTest, AFiftyMegabyteDocumentWithoutItemsLeavesTheStoreAlone) {
  QByteArray doc(50 << 20, '<');
  parse(kSite, doc);
  expectUntouched();
}

}  // namespace
}  // namespace tw::test
