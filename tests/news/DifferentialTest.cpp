// The fast parser against the plain step-by-step rendering on thousands of
// generated documents: decoding, header, image block, item texts and every
// tag the item store reads, one by one and all in one walk.
#include "FeedGenerator.h"
#include "QtPrinters.h"
#include "news/FeedDocument.h"
#include "news/ItemMatching.h"
#include "news/TagText.h"
#include "reference/ReferenceFeed.h"

#include <gtest/gtest.h>

#include <random>

namespace tw {
namespace {

std::string Show(const QByteArray& doc) { return doc.toPercentEncoding(" <>/=\"'!?:;#&").toStdString(); }

TEST(ParserDifferential, AgreesWithThePlainStepsOnGeneratedDocuments) {
  static const char* const kItemTags[] = {"title",   "link",  "homepage", "releasedate", "description",
                                          "pubdate", "thumb", "author",   "image"};
  QStringList tagNames;
  for (const char* tag : kItemTags) tagNames << QString::fromLatin1(tag);
  const TagSetSearch allTags(tagNames);
  test::FeedGenerator generator(311);
  int withItems = 0;
  int itemsSeen = 0;
  for (int round = 0; round < 4000; ++round) {
    const QByteArray doc = generator.document();
    const ParsedFeed fast = SplitFeed(doc);
    const reference::Feed plain = reference::ParseFeedText(doc, static_cast<int>(kMaxFeedItems));
    SCOPED_TRACE(Show(doc));
    ASSERT_EQ(fast.rdf, plain.rdf);
    ASSERT_EQ(fast.hasItemTags, plain.hasItemTags);
    if (!plain.hasItemTags) continue;
    ++withItems;
    const ChannelValues& c = fast.channel;
    ASSERT_EQ((QStringList{c.title, c.link, c.description, c.lastBuildDate}), plain.channel);
    ASSERT_EQ(c.hasImage, plain.hasImage);
    if (plain.hasImage) {
      ASSERT_EQ((QStringList{c.imageTitle, c.imageUrl, c.imageLink, c.imageDescription, c.imageWidth, c.imageHeight}),
                plain.image);
    }
    ASSERT_EQ(fast.items.toStringList(), plain.items);
    ASSERT_EQ(fast.unterminatedItem, plain.unterminatedItem);
    for (qsizetype i = 0; i < plain.items.size(); ++i) {
      QStringList expected;
      for (const char* tag : kItemTags) {
        const QString name = QString::fromLatin1(tag);
        expected << reference::GetTagText(name, plain.items[i]);
        ASSERT_EQ(TagSearch(name).textIn(fast.items.at(i)), expected.last()) << tag << " of item " << i;
      }
      ASSERT_EQ(allTags.textsIn(fast.items.at(i)), expected) << "all tags of item " << i;
    }
    itemsSeen += static_cast<int>(plain.items.size());
  }
  // The generator must actually reach the interesting paths.
  EXPECT_GT(withItems, 1000);
  EXPECT_GT(itemsSeen, 4000);
}

TEST(MatchingDifferential, HashedMatchingAgreesWithComparingEveryPair) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> size(0, 14);
  std::uniform_int_distribution<int> value(0, 9);
  for (int round = 0; round < 20000; ++round) {
    QStringList parsed;
    QStringList stored;
    for (int n = size(rng); n > 0; --n) parsed << QString::number(value(rng));
    for (int n = size(rng); n > 0; --n) stored << QString::number(value(rng));
    ASSERT_EQ(MatchCachedItems(parsed, stored), reference::MatchCachedItems(parsed, stored))
        << parsed.join(u',').toStdString() << " / " << stored.join(u',').toStdString();
  }
}

}  // namespace
}  // namespace tw
