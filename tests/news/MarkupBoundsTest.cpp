#include "news/MarkupBounds.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(BoundMarkup, LeavesOrdinaryMarkupAsItIs) {
  const QString ordinary =
      QStringLiteral("<!DOCTYPE html><p>First<p>Second <b>bold</b><br><img src=\"a.png\" alt='a > b'/>"
                     "<ul><li>one<li>two</ul><!-- a <div> in a comment -->"
                     "<table><tr><td>a<td>b<tr><td>c</table><script>if (a < b) { x = '</div>'; }</script>"
                     "<a href=\"https://news.example/?a=1&amp;b=2\" title=\"x=y\">link</a> 3 < 4 &amp; more") +
      QStringLiteral("<p>an unclosed paragraph ").repeated(300) + QStringLiteral("<font color=red>").repeated(60) +
      QStringLiteral("</font>").repeated(60);
  MarkupBounds bounds;
  EXPECT_EQ(BoundMarkup(ordinary, &bounds), ordinary);
  EXPECT_EQ(bounds.tagsTooDeep, 0);
  EXPECT_EQ(bounds.framesDropped, 0);
  EXPECT_FALSE(bounds.cut);
}

TEST(BoundMarkup, TagsNestedTooDeepGoWithTheirEndTagsAndTheTextStays) {
  const QString deep = QStringLiteral("<div>").repeated(300) + QStringLiteral("<span>inside</span>") +
                       QStringLiteral("</div>").repeated(300) + QStringLiteral("<p>after</p>");
  MarkupBounds bounds;
  const QString out = BoundMarkup(deep, &bounds);
  EXPECT_EQ(out, QStringLiteral("<div>").repeated(kMaxMarkupDepth) + QStringLiteral("inside") +
                     QStringLiteral("</div>").repeated(kMaxMarkupDepth) + QStringLiteral("<p>after</p>"));
  EXPECT_EQ(bounds.tagsTooDeep, 300 - kMaxMarkupDepth + 1);
}

TEST(BoundMarkup, FramesGoWithWhatTheyHold) {
  MarkupBounds bounds;
  EXPECT_EQ(BoundMarkup(QStringLiteral("<p>a</p><iframe srcdoc=\"<img src='x.png'> <b>\">fallback <b>x</b></iframe>"
                                       "<IFRAME SRC=x></IFRAME><frameset><frame src=y></frameset><p>b</p>"),
                        &bounds),
            QStringLiteral("<p>a</p><p>b</p>"));
  EXPECT_EQ(bounds.framesDropped, 4);
  EXPECT_EQ(BoundMarkup(QStringLiteral("<p>a<iframe srcdoc=x>never closed")), QStringLiteral("<p>a"));
}

TEST(BoundMarkup, AVeryLongPageIsCut) {
  MarkupBounds bounds;
  const QString out = BoundMarkup(QString(kMaxMarkupChars + 10, u'x'), &bounds);
  EXPECT_LE(out.size(), kMaxMarkupChars);
  EXPECT_TRUE(bounds.cut);
}

}  // namespace
}  // namespace tw
