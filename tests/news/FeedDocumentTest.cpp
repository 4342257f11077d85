#include "QtPrinters.h"
#include "core/Windows1252.h"
#include "news/FeedDocument.h"
#include "news/TagText.h"
#include "news/Utf8.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

ParsedFeed Split(const char* document) { return SplitFeed(QByteArray(document)); }

TEST(GetTagText, TakesTheFirstOpeningAndTheFirstClosingTagInAnyCase) {
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"<TITLE>  Hello World </Title>"), QStringLiteral("Hello World"));
  EXPECT_EQ(GetTagText(QStringLiteral(" title "), u"x<title>a</title><title>b</title>"), QStringLiteral("a"));
  // Only blanks are trimmed.
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"<title>\n a\t</title>"), QStringLiteral("\n a\t"));
  // Inner markup and CDATA come back as they are.
  EXPECT_EQ(GetTagText(QStringLiteral("description"), u"<description><![CDATA[<b>x</b>]]></description>"),
            QStringLiteral("<![CDATA[<b>x</b>]]>"));
}

TEST(GetTagText, GivesNothingForAttributesMissingTagsOrAnEarlyClose) {
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"<title lang=\"en\">Hi</title>"), QString());
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"<title>Hi"), QString());
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"Hi</title>"), QString());
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"</title><title>Hi</title>"), QString());
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"<title></title>"), QString());
}

TEST(GetTagText, TheFirstOccurrenceWinsWhereverItStands) {
  // A title decoded out of a description ahead of the item's own title.
  EXPECT_EQ(GetTagText(QStringLiteral("title"), u"<description><title>Inner</title></description><title>Own</title>"),
            QStringLiteral("Inner"));
  // Lower-casing is character by character: the Kelvin sign reads as 'k'.
  EXPECT_EQ(GetTagText(QStringLiteral("link"), u"<LIN\u212A>u</link>"), QStringLiteral("u"));
}

TEST(DecodeUtf8, DecodesTheCodePageTextsBytesUpToTheFirstZero) {
  const QByteArray bytes("caf\xC3\xA9 \xE2\x80\x99");
  EXPECT_EQ(DecodeUtf8(DecodeWindows1252(bytes)), QStringLiteral("caf\u00e9 \u2019"));
  EXPECT_EQ(DecodeUtf8(DecodeWindows1252(QByteArray("ab\0cd", 5))), QStringLiteral("ab"));
  EXPECT_EQ(DecodeUtf8(QString()), QString());
  EXPECT_EQ(DecodeUtf8(DecodeWindows1252(QByteArray("\0x", 2))), QString());
  // A byte-order mark is no text.
  EXPECT_EQ(DecodeUtf8(DecodeWindows1252("\xEF\xBB\xBF<rss>")), QStringLiteral("<rss>"));
}

TEST(DecodeUtf8, TurnsMalformedSequencesIntoReplacementCharacters) {
  const QString out = DecodeUtf8(DecodeWindows1252(QByteArray("a\xE2\x82z \xC0\xAF \xED\xA0\x80 \xFF")));
  EXPECT_TRUE(out.startsWith(u'a'));
  EXPECT_TRUE(out.contains(u'z'));
  EXPECT_FALSE(out.contains(u'\u00e2'));
  EXPECT_GE(out.count(QChar(QChar::ReplacementCharacter)), 4);
  // Every byte value, in every order that fits a few kilobytes: never a crash.
  QByteArray junk;
  for (int i = 0; i < 8192; ++i) junk.append(static_cast<char>((i * 7919 + i / 256) & 0xFF));
  EXPECT_NO_FATAL_FAILURE(DecodeUtf8(DecodeWindows1252(junk)));
}

TEST(DecodeFeedDocument, ReadsTheCodePageUnlessUtf8IsDeclaredInDoubleQuotes) {
  bool rdf = false;
  EXPECT_EQ(DecodeFeedDocument("<?xml encoding=\"ISO-8859-1\"?>\xE9\x92", &rdf),
            QStringLiteral("<?xml encoding=\"ISO-8859-1\"?>\u00e9\u2019"));
  EXPECT_EQ(DecodeFeedDocument("<?xml ENCODING=\"UtF-8\"?>\xC3\xA9", &rdf),
            QStringLiteral("<?xml ENCODING=\"UtF-8\"?>\u00e9"));
  EXPECT_EQ(DecodeFeedDocument("<?xml encoding='utf-8'?>\xC3\xA9", &rdf),
            QStringLiteral("<?xml encoding='utf-8'?>\u00c3\u00a9"));
}

TEST(DecodeFeedDocument, AZeroByteEndsUtf8TextButIsAReplacementCharacterOtherwise) {
  bool rdf = false;
  const QByteArray utf8("<?xml encoding=\"utf-8\"?><a>x\0y</a>", 34);
  EXPECT_EQ(DecodeFeedDocument(utf8, &rdf), QStringLiteral("<?xml encoding=\"utf-8\"?><a>x"));
  const QByteArray plain("<a>x\0y</a>", 10);
  EXPECT_EQ(DecodeFeedDocument(plain, &rdf), QStringLiteral("<a>x\ufffdy</a>"));
}

TEST(DecodeFeedDocument, TellsRdfFromTheUndecodedText) {
  bool rdf = false;
  DecodeFeedDocument("<ITEM RDF:about=\"x\">", &rdf);
  EXPECT_TRUE(rdf);
  // Encoded, it only becomes markup after the test.
  DecodeFeedDocument("&lt;item rdf:about=\"x\"&gt;", &rdf);
  EXPECT_FALSE(rdf);
}

// Empty and tiny documents, shorter than anything searched for (the
// sanitizer build watches the pointer arithmetic).
TEST(SplitFeed, EmptyAndTinyDocumentsHoldNothing) {
  for (const QByteArray& bytes : {QByteArray(), QByteArray(""), QByteArray("<"), QByteArray("<item"),
                                  QByteArray("encoding"), QByteArray("</item>")}) {
    bool rdf = true;
    EXPECT_EQ(DecodeFeedDocument(bytes, &rdf), QString::fromLatin1(bytes));
    EXPECT_FALSE(rdf);
    const ParsedFeed feed = SplitFeed(bytes);
    EXPECT_FALSE(feed.hasItemTags) << bytes.constData();
    EXPECT_EQ(feed.items.size(), 0);
  }
}

TEST(SplitFeed, CutsItemsThatShareOneCharacterWithTheirNeighbour) {
  const ParsedFeed feed =
      Split("<channel><title>C</title><item><title>A</title></item>\n<item><title>B</title></item>");
  ASSERT_TRUE(feed.hasItemTags);
  EXPECT_FALSE(feed.rdf);
  EXPECT_EQ(feed.channel.title, QStringLiteral("C"));
  EXPECT_EQ(feed.items.toStringList(),
            (QStringList{"<item><title>A</title></item>\n", "\n<item><title>B</title></item>"}));
}

TEST(SplitFeed, SplitsRss10OnItemRdfEvenWhenPlainItemsExist) {
  const ParsedFeed feed = Split("<item><title>0</title></item><item rdf:about=\"1\"><title>1</title></item>");
  ASSERT_TRUE(feed.hasItemTags);
  EXPECT_TRUE(feed.rdf);
  ASSERT_EQ(feed.items.size(), 1);
  EXPECT_EQ(feed.items.at(0), QStringLiteral("<item rdf:about=\"1\"><title>1</title></item>"));
}

TEST(SplitFeed, KeepsTheImageTitleOutOfTheChannelTitle) {
  const ParsedFeed feed = Split(
      "<channel><image><title>Logo</title><url>u</url><link>l</link><width>88</width></image>"
      "<title>Site</title><link>http://s/</link><lastBuildDate>Mon</lastBuildDate><item></item>");
  ASSERT_TRUE(feed.hasItemTags);
  EXPECT_EQ(feed.channel.title, QStringLiteral("Site"));
  EXPECT_EQ(feed.channel.link, QStringLiteral("http://s/"));
  EXPECT_EQ(feed.channel.lastBuildDate, QStringLiteral("Mon"));
  EXPECT_TRUE(feed.channel.hasImage);
  EXPECT_EQ(feed.channel.imageTitle, QStringLiteral("Logo"));
  EXPECT_EQ(feed.channel.imageUrl, QStringLiteral("u"));
  EXPECT_EQ(feed.channel.imageWidth, QStringLiteral("88"));
  EXPECT_EQ(feed.channel.imageHeight, QString());
}

TEST(SplitFeed, ADocumentStartingWithAnItemHasEmptyChannelValues) {
  const ParsedFeed feed = Split("<item><title>A</title></item>");
  ASSERT_TRUE(feed.hasItemTags);
  EXPECT_EQ(feed.channel.title, QString());
  EXPECT_FALSE(feed.channel.hasImage);
  EXPECT_EQ(feed.items.size(), 1);
}

TEST(SplitFeed, NeedsBothTheStartAndTheEndTag) {
  EXPECT_FALSE(Split("<channel><title>x</title></channel>").hasItemTags);
  EXPECT_FALSE(Split("<item><title>x</title>").hasItemTags);
  EXPECT_FALSE(Split("<title>x</title></item>").hasItemTags);
  EXPECT_FALSE(Split("").hasItemTags);
}

TEST(SplitFeed, EntitiesBecomeMarkupBeforeTheSplit) {
  const ParsedFeed feed = Split("<item><description>a&lt;/item&gt;b&lt;item&gt;</description><title>T</title></item>");
  ASSERT_EQ(feed.items.size(), 2);
  EXPECT_EQ(feed.items.at(0), QStringLiteral("<item><description>a</item>b"));
  EXPECT_EQ(GetTagText(QStringLiteral("title"), feed.items.at(1)), QStringLiteral("T"));
}

TEST(SplitFeed, AnItemWithoutEndTagJoinsTheNextOne) {
  const ParsedFeed feed = Split("<item><title>A</title><item><title>B</title></item>");
  ASSERT_EQ(feed.items.size(), 1);
  EXPECT_EQ(GetTagText(QStringLiteral("title"), feed.items.at(0)), QStringLiteral("A"));
}

TEST(SplitFeed, LeavesOutAnItemThatNeverEnds) {
  // The scan would otherwise cut 7-character scraps every 6 characters up to
  // the last start tag.
  const ParsedFeed feed = Split("<item><title>A</title></item><item><title>B</title> ... <item>C");
  ASSERT_EQ(feed.items.size(), 1);
  EXPECT_TRUE(feed.unterminatedItem);
}

TEST(SplitFeed, KeepsAtMostTheItemLimit) {
  QByteArray doc;
  for (qsizetype i = 0; i < kMaxFeedItems + 5; ++i) doc += "<item><title>t</title></item>";
  const ParsedFeed feed = SplitFeed(doc);
  EXPECT_EQ(feed.items.size(), kMaxFeedItems);
  EXPECT_TRUE(feed.tooManyItems);
}

}  // namespace
}  // namespace tw
