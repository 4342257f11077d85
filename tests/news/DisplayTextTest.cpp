#include "QtPrinters.h"
#include "news/DisplayText.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

QString T(const char* stored) { return DisplayText(QString::fromUtf8(stored)); }

TEST(DisplayText, UnwrapsCdataAndDecodesEveryKindOfReferenceOnce) {
  // As real feeds write them.
  EXPECT_EQ(T("Full Spectrum Warrior&#8217;s review"), QStringLiteral("Full Spectrum Warrior\u2019s review"));
  EXPECT_EQ(T("<![CDATA[Halo 2 &#x2014; first look]]>"), QStringLiteral("Halo 2 \u2014 first look"));
  EXPECT_EQ(T("  <![CDATA[a]]> and <![CDATA[b]]>"), QStringLiteral("  a and b"));
  EXPECT_EQ(T("<![CDATA[never closed"), QStringLiteral("never closed"));
  EXPECT_EQ(T("&hellip; &nbsp;&eacute;&rsquo;&apos;&amp;&lt;&gt;&quot;&euro;&thetasym;"),
            QStringLiteral("\u2026 \u00a0\u00e9\u2019'&<>\"\u20ac\u03d1"));
  EXPECT_EQ(T("&#39;&#039;&#0000039;&#X27;&#x1F3AE;"), QStringLiteral("''''") + QString::fromUcs4(U"\U0001F3AE"));
  // Once: what a reference gives is never read as a reference again.
  EXPECT_EQ(T("&amp;lt;script&amp;gt; &amp;#8217;"), QStringLiteral("&lt;script&gt; &#8217;"));
  // The code page's characters, as the web reads 128..159.
  EXPECT_EQ(T("&#146;&#150;"), QStringLiteral("\u2019\u2013"));
}

TEST(DisplayText, LeavesWhatIsNoReferenceAndReplacesWhatIsNoCharacter) {
  EXPECT_EQ(T("AT&T; Tom & Jerry; &nosuch; &amp &#; &#x; &#12a; &Eacute &EACUTE;"),
            QStringLiteral("AT&T; Tom & Jerry; &nosuch; &amp &#; &#x; &#12a; &Eacute &EACUTE;"));
  EXPECT_EQ(T("&#0;&#xD800;&#x110000;&#99999999999999999999;"), QString(4, QChar(0xFFFD)));
  EXPECT_EQ(T(""), QString());
  // Markup it decodes to is text: the caller shows it as such.
  EXPECT_EQ(T("&lt;script&gt;alert(1)&lt;/script&gt;"), QStringLiteral("<script>alert(1)</script>"));
}

TEST(DisplayMarkup, UnwrapsCdataOnlyAndLeavesReferencesToThePage) {
  EXPECT_EQ(DisplayMarkup(QStringLiteral("<![CDATA[<p>Warrior&#8217;s <b>review</b></p>]]>")),
            QStringLiteral("<p>Warrior&#8217;s <b>review</b></p>"));
  EXPECT_EQ(DisplayMarkup(QStringLiteral("<p>no wrapper &amp; more</p>")), QStringLiteral("<p>no wrapper &amp; more</p>"));
}

}  // namespace
}  // namespace tw
