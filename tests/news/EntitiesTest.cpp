#include "QtPrinters.h"
#include "news/Entities.h"
#include "reference/ReferenceFeed.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace tw {
namespace {

QString D(const char* text) { return DecodeEntities(QString::fromUtf8(text)); }

TEST(DecodeEntities, ReplacesTheNamedAndThreeDigitReferences) {
  EXPECT_EQ(D("&lt;b&gt; &amp; &apos;x&apos; &quot;y&quot; &pound;5"), QStringLiteral("<b> & 'x' \"y\" \u00a35"));
  EXPECT_EQ(D("it&#039;s"), QStringLiteral("it's"));
  EXPECT_EQ(D("&#033;&#255;"), QStringLiteral("!\u00ff"));
  // The code page's characters for 128..159.
  EXPECT_EQ(D("&#128;&#146;&#150;"), QStringLiteral("\u20ac\u2019\u2013"));
}

TEST(DecodeEntities, LeavesOtherFormsAsTheyAre) {
  EXPECT_EQ(D("&#39; &#8217; &#x27; &nbsp; &LT; &#032; &#256; &#000;"),
            QStringLiteral("&#39; &#8217; &#x27; &nbsp; &LT; &#032; &#256; &#000;"));
  EXPECT_EQ(D("a & b; &amp c; &#03;9;"), QStringLiteral("a & b; &amp c; &#03;9;"));
}

TEST(DecodeEntities, DecodesAnEscapedReferenceTwiceWhenItsTurnIsStillToCome) {
  // &amp; goes before the numeric references, &lt; before &amp;.
  EXPECT_EQ(D("&amp;#039;"), QStringLiteral("'"));
  EXPECT_EQ(D("&amp;lt;"), QStringLiteral("&lt;"));
  EXPECT_EQ(D("&amp;gt;"), QStringLiteral("&gt;"));
  EXPECT_EQ(D("&amp;quot;"), QStringLiteral("\""));
  EXPECT_EQ(D("&amp;amp;"), QStringLiteral("&amp;"));
  // &#038; is "&": a reference it completes is decoded only if it comes later.
  EXPECT_EQ(D("&#038;#039;"), QStringLiteral("'"));
  EXPECT_EQ(D("&#038;#035;"), QStringLiteral("&#035;"));
  EXPECT_EQ(D("&#038;quot;"), QStringLiteral("&quot;"));
  EXPECT_EQ(D("&amp;#038;#039;"), QStringLiteral("'"));
  // Digits and ';' made by earlier references complete later ones.
  EXPECT_EQ(D("&#&#049;00;"), QStringLiteral("d"));
  EXPECT_EQ(D("&#100&#059;"), QStringLiteral("d"));
  EXPECT_EQ(D("&#0&#053;&#055;;"), QStringLiteral("9"));
  EXPECT_EQ(D("&#&#050;&#048;&#055;;"), QStringLiteral("\u00cf"));  // 207, completed by the 55 turn
  EXPECT_EQ(D("&#0&#052;0;"), QStringLiteral("&#040;"));            // completed after the 40 turn
}

TEST(DecodeEntities, DecodesMarkupThatLaterSearchesWillSee) {
  EXPECT_EQ(D("&lt;/item&gt;&#060;title&#062;"), QStringLiteral("</item><title>"));
}

TEST(DecodeEntities, HandlesLongRunsInOnePass) {
  QString text;
  for (int i = 0; i < 200000; ++i) text += QStringLiteral("&amp;#038;#039;");
  const QString out = DecodeEntities(text);
  EXPECT_EQ(out, QString(200000, u'\''));
}

// The single pass against the plain passes one after the other.
void ExpectSameAsReference(const QString& text) {
  ASSERT_EQ(DecodeEntities(text), reference::DecodeEntities(text)) << text.toStdString();
}

TEST(DecodeEntitiesDifferential, AgreesOnEverySequenceOfUpToThreeFragments) {
  const QStringList fragments = {
      "&",      "#",      ";",      "0",      "3",      "5",     "9",    "1",    "00",   "00;",
      "amp;",   "lt;",    "quot;",  "&#03",   "&#0",    "&#05",  "&#1",  "&#10", "&#25", "&#049;",
      "&#038;", "&#059;", "&#035;", "&#048;", "&#053;", "&amp;", "&lt;", "x",
  };
  const qsizetype n = fragments.size();
  for (qsizetype a = 0; a < n; ++a) {
    for (qsizetype b = 0; b < n; ++b) {
      for (qsizetype c = 0; c < n; ++c) {
        ExpectSameAsReference(fragments[a] + fragments[b] + fragments[c]);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(DecodeEntitiesDifferential, AgreesOnRandomDenseText) {
  const QStringList fragments = {
      "&",      "&",      "#",      "#",      ";",      ";",      "0",      "1",     "2",      "3",
      "4",      "5",      "6",      "7",      "8",      "9",      "amp;",   "lt;",   "gt;",    "apos;",
      "quot;",  "pound;", "&#",     "&#0",    "&#03",   "&#1",    "&#10",   "&#2",   "&#25",   "&#038;",
      "&#035;", "&#059;", "&#049;", "&#048;", "&#050;", "&#053;", "&#057;", "&amp;", "&amp;#", "a",
      "p",      "m",      "l",      "t",      "q",      "u",      "o",      "s",     " ",      "\u00e9",
  };
  std::mt19937 rng(20040311);
  std::uniform_int_distribution<qsizetype> pick(0, fragments.size() - 1);
  std::uniform_int_distribution<int> length(1, 14);
  for (int round = 0; round < 40000; ++round) {
    QString text;
    for (int i = length(rng); i > 0; --i) text += fragments[pick(rng)];
    ExpectSameAsReference(text);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace tw
