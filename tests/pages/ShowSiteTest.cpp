#include "PageFixture.h"

#include "core/BuildFlags.h"

namespace tw::test {
namespace {

constexpr int kOwnSite = 1;
constexpr int kScene = 3;

using ShowSite = PageFixture;

TEST_F(ShowSite, ShowsTheSummaryWithTheChannelImage) {
  setChannel(kScene, setting::ChannelDescription, QStringLiteral("Scene news"));
  setChannel(kScene, setting::ChannelImageTitle, QStringLiteral("Banner"));
  setChannel(kScene, setting::ChannelImageUrl, QStringLiteral("https://scene.example/b.gif"));
  setChannel(kScene, setting::ChannelImageLink, QStringLiteral("https://scene.example/"));
  setChannel(kScene, setting::ChannelLastBuildDate, QStringLiteral("Thu, 11 Mar 2004"));
  core->settings.setSiteNumber(core->sites[kScene].RegName, setting::SiteErrorCount, 3);
  core->catalogue.ApplySiteSettings();
  addItem(kScene, 1, Item{});
  addItem(kScene, 2, Item{});

  renderer->ShowSite(kScene);
  EXPECT_EQ(web.calls, QStringList({"ShowPageFile main.htm scripts off"}));
  EXPECT_TRUE(lastShownPage().contains(QLatin1String(
      "<font size=\"-1\" face=\"Verdana\"><center><strong>Scene news</strong><br><br>Banner<br>"
      "<a href=\"https://scene.example/\"><img src=\"https://scene.example/b.gif\" border=\"0\"></a><br><br>"
      "News Last Updated: Thu, 11 Mar 2004<br><br>Total successive errors: 3<br><br>"
      "Total news items listed: 2</center></font>")));
  EXPECT_TRUE(web.shown[0].filesPresent.contains(QStringLiteral("bgnd.gif")));
  EXPECT_EQ(refresher->calls.size(), 0);
}

TEST_F(ShowSite, WithoutImageValuesTheSummaryHasTheTextAndTotalsOnly) {
  setChannel(kOwnSite, setting::ChannelDescription, QStringLiteral("Program news"));
  renderer->ShowSite(kOwnSite);
  // Written as a browser reads the template's "<p><center>...</center><br></p>".
  EXPECT_TRUE(lastShownPage().contains(QLatin1String(
      "<p></p><center><strong>Program news</strong><br><br>Total successive errors: 0<br><br>"
      "Total news items listed: 0</center><br><p></p>")))
      << lastShownPage().toStdString();
  // The own site has no logo of its own: the default one.
  QFile logo(folder() + QStringLiteral("/logo.jpg"));
  QFile fallback(QStringLiteral(":/LOGO/DEFAULT"));
  ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
  ASSERT_TRUE(fallback.open(QIODevice::ReadOnly));
  EXPECT_EQ(logo.readAll(), fallback.readAll());
}

TEST_F(ShowSite, ACdataWrappedDescriptionShowsAsItsMarkup) {
  const QString stored = QStringLiteral("<![CDATA[<em>Console</em> news]]>");
  setChannel(kOwnSite, setting::ChannelDescription, stored);
  renderer->ShowSite(kOwnSite);
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("<strong><em>Console</em> news</strong>")));
  EXPECT_FALSE(lastShownPage().contains(QLatin1String("]]>")));
  EXPECT_EQ(core->settings.siteText(core->sites[kOwnSite].RegName, setting::ChannelDescription), stored);
}

TEST_F(ShowSite, TheStripOffersTheChannelLinkWhenThereIsOne) {
  setChannel(kScene, setting::ChannelLink, QStringLiteral("https://scene.example/"));
  setSiteFlag(kScene, setting::SiteExternal, true);
  strip.setBuiltInPageShown(true);
  renderer->ShowSite(kScene);
  EXPECT_FALSE(strip.shown);
  const TitleStripContent& c = strip.last();
  EXPECT_EQ(c.title.text, QStringLiteral("Xbox-Scene"));
  EXPECT_TRUE(c.title.visible);
  EXPECT_EQ(c.link.text, QStringLiteral("https://scene.example/"));
  EXPECT_TRUE(c.link.visible);
  EXPECT_EQ(c.linkTitle.text,
            QStringLiteral("Left click above to open site in Tidewire, right click for external browser"));
  EXPECT_TRUE(c.linkTitle.visible);
  EXPECT_EQ(c.back, RGB(223, 230, 216));
  EXPECT_EQ(c.logoTag, QStringLiteral("Xbox-Scene"));
  EXPECT_TRUE(strip.logoFileExisted.back());
  // A left click opens the site in the panel, as the caption says.
  EXPECT_TRUE(c.linkTag.isEmpty());
}

TEST_F(ShowSite, WithoutAChannelLinkOnlyTheTitleShows) {
  renderer->ShowSite(kScene);
  const TitleStripContent& c = strip.last();
  EXPECT_TRUE(c.title.visible);
  EXPECT_FALSE(c.link.visible);
  EXPECT_TRUE(c.link.text.isEmpty());
  EXPECT_FALSE(c.linkTitle.visible);
  EXPECT_TRUE(c.linkTitle.text.isEmpty());
}

TEST_F(ShowSite, CleansUpOnceLoadedAndNotBefore) {
  renderer->ShowSite(kScene);
  EXPECT_TRUE(programFiles().contains(QStringLiteral("main.htm")));
  web.sendStrayLoadFinished();  // still loading: not the end
  EXPECT_TRUE(programFiles().contains(QStringLiteral("main.htm")));
  web.finishLoading();
  if (!DebugBuild) {
    EXPECT_TRUE(programFiles().isEmpty()) << programFiles().join(u',').toStdString();
  }
}

TEST_F(ShowSite, ADisabledSiteShowsNothing) {
  setSiteFlag(kScene, setting::SiteDisabled, true);
  renderer->ShowSite(kScene);
  EXPECT_TRUE(web.calls.isEmpty());
  EXPECT_TRUE(strip.contents.isEmpty());
}

}  // namespace
}  // namespace tw::test
