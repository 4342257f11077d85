#include "NewsTestSupport.h"
#include "core/StatusTags.h"

namespace tw::test {
namespace {

constexpr int kXbins = 2;

class SiteTitlesTest : public NewsTest {
 protected:
  SiteTitlesTest() { start(); }
  // 12 stored items: 3 new and unread, 4 more unread, 5 read, loaded with
  // "Preserve new status" so that "<NEW>" stays.
  void twelveItems() {
    setFlag(setting::PreserveNewStatus, 1);
    QStringList titles;
    QStringList tags;
    for (int i = 1; i <= 12; ++i) {
      titles << QStringLiteral("T%1").arg(i);
      tags << (i <= 3   ? QStringLiteral("<NEW><UNREAD>")
               : i <= 7 ? QStringLiteral("<UNREAD>")
                        : QStringLiteral("<READ>"));
    }
    presetItems(kXbins, titles, tags);
    restart();
  }
  void refresh(bool announce = true) { titles->RefreshSiteTitle(kXbins, announce); }
};

TEST_F(SiteTitlesTest, LongCaptionCountsNewUnreadAndTotal) {
  setFlag(setting::ColouredTitles, 1);
  twelveItems();
  refresh();
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins (3 New, 7 Unread, 12 Total)"));
  EXPECT_EQ(siteNode(kXbins)->backColor, RGB(220, 255, 220));
  EXPECT_TRUE(siteNode(kXbins)->bold);
  EXPECT_TRUE(window.alerts.isEmpty());  // nothing very new
}

TEST_F(SiteTitlesTest, ShortCaptionShowsOnlyTheNewCount) {
  setFlag(setting::ShortNewMessage, 1);
  twelveItems();
  refresh();
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins (3)"));
  EXPECT_EQ(siteNode(kXbins)->backColor, RGB(255, 255, 255));  // "Coloured Titles" off

  core->tv.setTag(itemKey(kXbins, 1), TagRead);
  core->tv.setTag(itemKey(kXbins, 2), TagRead);
  core->tv.setTag(itemKey(kXbins, 3), TagRead);
  refresh();
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins"));
  EXPECT_FALSE(siteNode(kXbins)->bold);
}

TEST_F(SiteTitlesTest, UnreadWithoutNewIsLightYellowAndNotBold) {
  setFlag(setting::ColouredTitles, 1);
  presetItems(kXbins, {"A", "B", "C"}, {"<UNREAD>", "<UNREAD>", "<READ>"});
  restart();
  refresh();
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("Xbins (0 New, 2 Unread, 3 Total)"));
  EXPECT_EQ(siteNode(kXbins)->backColor, RGB(255, 255, 220));
  EXPECT_FALSE(siteNode(kXbins)->bold);

  core->tv.setTag(itemKey(kXbins, 1), TagRead);
  core->tv.setTag(itemKey(kXbins, 2), TagRead);
  refresh();
  EXPECT_EQ(siteNode(kXbins)->backColor, RGB(255, 255, 255));
}

TEST_F(SiteTitlesTest, AnArrivalIsAnnouncedOnceWithTheCountOfAllNewItems) {
  parse(kXbins, Rss(NumberedItems(1, 1)));
  ASSERT_EQ(window.alerts.size(), 1);
  const FakeWindow::Alert& alert = window.alerts[0];
  EXPECT_EQ(alert.message, QStringLiteral("Xbins\r\nhas 1 new item."));
  EXPECT_EQ(alert.title, core->identity.ProgTitle + u' ' + core->identity.VersionText);
  EXPECT_EQ(alert.seconds, core->identity.AlertDisplayTime);
  EXPECT_TRUE(alert.restore);

  // Consumed: later refreshes, start-up's included, announce nothing.
  refresh();
  startup->RefreshAllSiteTitles(true);
  EXPECT_EQ(window.alerts.size(), 1);

  // Two more arrive: the alert counts every new item of the site.
  parse(kXbins, Rss(NumberedItems(2, 2) + NumberedItems(1, 1)));
  ASSERT_EQ(window.alerts.size(), 2);
  EXPECT_EQ(window.alerts[1].message, QStringLiteral("Xbins\r\nhas 3 new items."));
}

TEST_F(SiteTitlesTest, ShowAlertKeepsQuietWhileTheWindowIsInSight) {
  setFlag(setting::ShowAlert, 1);
  window.visible = true;
  window.inTray = true;
  parse(kXbins, Rss(NumberedItems(1, 1)));
  EXPECT_TRUE(window.alerts.isEmpty());
  EXPECT_TRUE(window.blinking);
  EXPECT_EQ(itemNodes(kXbins).first(), QStringLiteral("Item 1|new|<NEW><UNREAD>|B"));  // marker consumed

  window.blinking = false;
  refresh();
  EXPECT_FALSE(window.blinking);

  window.minimized = true;
  parse(kXbins, Rss(NumberedItems(2, 1)));
  EXPECT_EQ(window.alerts.size(), 1);
}

TEST_F(SiteTitlesTest, ShowAlertOtherThanOneAlwaysAnnounces) {
  setFlag(setting::ShowAlert, 2);
  window.visible = true;
  parse(kXbins, Rss(NumberedItems(1, 1)));
  EXPECT_EQ(window.alerts.size(), 1);
  EXPECT_FALSE(window.blinking);  // no tray icon in use
}

TEST_F(SiteTitlesTest, WithoutAnnounceTheMarkerIsConsumedSilently) {
  parse(kXbins, Rss(NumberedItems(1, 1)));
  window.alerts.clear();
  core->tv.setTag(itemKey(kXbins, 1), TagVeryNew + TagNew + TagUnread);
  refresh(false);
  EXPECT_TRUE(window.alerts.isEmpty());
  EXPECT_EQ(core->tv.find(itemKey(kXbins, 1))->tag, TagNew + TagUnread);
}

TEST_F(SiteTitlesTest, ADisabledSiteIsLeftAlone) {
  parse(kXbins, Rss(NumberedItems(1, 1)));
  core->tv.setText(site(kXbins).Key, QStringLiteral("unchanged"));
  core->sites[kXbins].Disabled = true;
  refresh();
  EXPECT_EQ(siteNode(kXbins)->text, QStringLiteral("unchanged"));
}

}  // namespace
}  // namespace tw::test
