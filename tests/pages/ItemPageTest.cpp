#include "news/ItemPage.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(FormatItemDate, WritesTheWeekdayDayMonthAndYearInFull) {
  EXPECT_EQ(FormatItemDate(QStringLiteral("2004-03-11")), QStringLiteral("Thursday 11 March 2004"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("2004-03-11T23:15:00")), QStringLiteral("Thursday 11 March 2004"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("Thu, 11 Mar 2004 10:00:00 +0100")), QStringLiteral("Thursday 11 March 2004"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("Mon, 01 Nov 2004 08:30:00 GMT")), QStringLiteral("Monday 1 November 2004"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("7 June 2005")), QStringLiteral("Tuesday 7 June 2005"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("June 7, 2005")), QStringLiteral("Tuesday 7 June 2005"));
}

TEST(FormatItemDate, TextThatIsNoDateComesBackUnchanged) {
  EXPECT_EQ(FormatItemDate(QString()), QString());
  EXPECT_EQ(FormatItemDate(QStringLiteral("soon")), QStringLiteral("soon"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("2004-02-30")), QStringLiteral("2004-02-30"));
  EXPECT_EQ(FormatItemDate(QStringLiteral("  ")), QStringLiteral("  "));
}

SiteSummary Totals() {
  SiteSummary s;
  s.errorCount = 2;
  s.totalItems = 15;
  return s;
}

TEST(SiteSummaryBody, WithEveryChannelValue) {
  SiteSummary s = Totals();
  s.description = QStringLiteral("All the news");
  s.imageTitle = QStringLiteral("Logo");
  s.imageUrl = QStringLiteral("https://site.example/logo.gif");
  s.imageLink = QStringLiteral("https://site.example/");
  s.imageDescription = QStringLiteral("Our logo");
  s.lastBuildDate = QStringLiteral("Thu, 11 Mar 2004 10:00:00 GMT");
  EXPECT_EQ(SiteSummaryBody(s),
            QStringLiteral("<center><strong>All the news</strong><br><br>"
                           "Logo<br><a href=\"https://site.example/\"><img src=\"https://site.example/logo.gif\" "
                           "border=\"0\"></a><br>Our logo<br><br>"
                           "News Last Updated: Thu, 11 Mar 2004 10:00:00 GMT<br><br>"
                           "Total successive errors: 2<br><br>Total news items listed: 15</center>"));
}

TEST(SiteSummaryBody, AnImageWithoutLinkTitleOrDescription) {
  SiteSummary s = Totals();
  s.imageUrl = QStringLiteral("https://site.example/logo.gif");
  EXPECT_EQ(SiteSummaryBody(s), QStringLiteral("<center><img src=\"https://site.example/logo.gif\"><br><br>"
                                               "Total successive errors: 2<br><br>Total news items listed: 15</center>"));
}

TEST(SiteSummaryBody, ImageValuesWithoutAnImageAddressShowNothing) {
  SiteSummary s = Totals();
  s.description = QStringLiteral("D");
  s.imageTitle = QStringLiteral("Logo");
  s.imageLink = QStringLiteral("https://site.example/");
  s.imageDescription = QStringLiteral("Our logo");
  EXPECT_EQ(SiteSummaryBody(s), QStringLiteral("<center><strong>D</strong><br><br>Total successive errors: 2<br><br>"
                                               "Total news items listed: 15</center>"));
}

TEST(SiteSummaryBody, NothingKnownYetStillGivesTheTotals) {
  EXPECT_EQ(SiteSummaryBody(SiteSummary()),
            QStringLiteral("<center>Total successive errors: 0<br><br>Total news items listed: 0</center>"));
}

TEST(FileReleaseFrontPage, MatchesTheFrontPageOnlyWhateverItsCaseOrSlash) {
  const QString front = QStringLiteral("https://www.xbins.org");
  EXPECT_TRUE(IsFileReleaseFrontPage(QStringLiteral("https://www.xbins.org"), front));
  EXPECT_TRUE(IsFileReleaseFrontPage(QStringLiteral("https://www.xbins.org/"), front));
  EXPECT_TRUE(IsFileReleaseFrontPage(QStringLiteral("HTTP://WWW.XBINS.ORG/"), front));
  EXPECT_TRUE(IsFileReleaseFrontPage(QStringLiteral("http://www.xbins.org"), QStringLiteral("https://www.xbins.org/")));
  EXPECT_FALSE(IsFileReleaseFrontPage(QStringLiteral("https://www.xbins.org/files/1"), front));
  EXPECT_FALSE(IsFileReleaseFrontPage(QStringLiteral("https://www.xbins.org.evil/"), front));
  EXPECT_FALSE(IsFileReleaseFrontPage(QStringLiteral("www.xbins.org"), front));
  EXPECT_FALSE(IsFileReleaseFrontPage(QString(), front));
  EXPECT_FALSE(IsFileReleaseFrontPage(QStringLiteral("https://a.example"), QString()));
}

}  // namespace
}  // namespace tw
