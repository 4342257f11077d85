#include "news/MarkupBounds.h"

#include "MarkupProperties.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::ParsedTree;

TEST(BoundMarkup, LeavesOrdinaryMarkupAsItIs) {
  const QString head = QStringLiteral(
      "<!DOCTYPE html><p>First<p>Second <b>bold</b><br><img src=\"a.png\" alt='a > b'/>"
      "<ul><li>one<li>two</ul>");
  const QString table = QStringLiteral("<table><tr><td>a<td>b<tr><td>c</table>");
  const QString tail = QStringLiteral(
                           "<a href=\"https://news.example/?a=1&amp;b=2\" title=\"x=y\">link</a> 3 < 4 &amp; more") +
                       QStringLiteral("<p>an unclosed paragraph ").repeated(300) +
                       QStringLiteral("<font color=red>").repeated(60) + QStringLiteral("</font>").repeated(60);
  // Scripts go, and so do comments that hold markup: what the page shows stays.
  const QString ordinary = head + QStringLiteral("<!-- a <div> in a comment -->") + table +
                           QStringLiteral("<script>if (a < b) { x = '</div>'; }</script>") + tail;
  MarkupBounds bounds;
  EXPECT_EQ(ParsedTree(BoundMarkup(ordinary, &bounds)), ParsedTree(QString(head + table + tail)));
  EXPECT_EQ(bounds.tagsTooDeep, 0);
  EXPECT_EQ(bounds.framesDropped, 0);
  EXPECT_FALSE(bounds.cut);
}

TEST(BoundMarkup, TagsNestedTooDeepGoWithTheirEndTagsAndTheTextStays) {
  const QString deep = QStringLiteral("<div>").repeated(300) + QStringLiteral("<span>inside</span>") +
                       QStringLiteral("</div>").repeated(300) + QStringLiteral("<p>after</p>");
  MarkupBounds bounds;
  const QString out = BoundMarkup(deep, &bounds);
  // The page's html and body elements are two of the levels.
  const int kept = kMaxMarkupDepth - 2;
  const QString expected = QStringLiteral("<div>").repeated(kept) + QStringLiteral("inside") +
                           QStringLiteral("</div>").repeated(kept) + QStringLiteral("<p>after</p>");
  EXPECT_EQ(ParsedTree(out), ParsedTree(expected));
  EXPECT_EQ(bounds.tagsTooDeep, 300 - kept + 1);
}

TEST(BoundMarkup, FramesGoWithWhatTheyHold) {
  MarkupBounds bounds;
  EXPECT_EQ(ParsedTree(BoundMarkup(QStringLiteral("<p>a</p><iframe srcdoc=\"<img src='x.png'> <b>\">fallback "
                                                  "<b>x</b></iframe><IFRAME SRC=x></IFRAME><frameset><frame "
                                                  "src=y></frameset><p>b</p>"),
                                   &bounds)),
            ParsedTree(QStringLiteral("<p>a</p><p>b</p>")));
  // A browser ignores a frameset, and its frames, inside a body.
  EXPECT_EQ(bounds.framesDropped, 2);
  EXPECT_EQ(ParsedTree(BoundMarkup(QStringLiteral("<p>a<iframe srcdoc=x>never closed"))),
            ParsedTree(QStringLiteral("<p>a")));
  EXPECT_EQ(ParsedTree(BoundMarkup(QStringLiteral("<frameset><frame src=y></frameset>"), &bounds)),
            ParsedTree(QString()));
  EXPECT_EQ(bounds.framesDropped, 1);
}

TEST(BoundMarkup, AVeryLongPageIsCut) {
  MarkupBounds bounds;
  const QString out = BoundMarkup(QString(kMaxMarkupChars + 10, u'x'), &bounds);
  EXPECT_LE(out.size(), kMaxMarkupChars);
  EXPECT_TRUE(bounds.cut);
}

// Every input the page-bounds fuzzer starts from (tests/fuzz/markup-corpus:
// the ways round the bounds that were seen, each one a feed item's frame or
// nesting reaching the page) and nesting 200,000 deep.
TEST(BoundMarkup, NoCorpusInputGetsAFrameOrDeepNestingThrough) {
  std::vector<std::pair<QString, QString>> inputs;
  const QDir corpus(QStringLiteral(MARKUP_CORPUS_DIR));
  for (const QString& name : corpus.entryList(QDir::Files, QDir::Name)) {
    QFile file(corpus.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    inputs.emplace_back(name, QString::fromUtf8(file.readAll()));
  }
  ASSERT_GE(inputs.size(), 9u);
  inputs.emplace_back(QStringLiteral("200,000 deep"), QStringLiteral("<div>").repeated(200000) + QStringLiteral("deep down") +
                                                          QStringLiteral("</div>").repeated(200000));
  inputs.emplace_back(QStringLiteral("200,000 deep, unclosed"),
                      QStringLiteral("<i>").repeated(200000) + QStringLiteral("deep down"));
  for (const auto& [name, markup] : inputs) EXPECT_EQ(test::CheckMarkupBounds(markup), "") << name.toStdString();
}

}  // namespace
}  // namespace tw
