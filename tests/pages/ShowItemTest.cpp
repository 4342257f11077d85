#include "PageFixture.h"

#include "core/BuildFlags.h"
#include "news/MarkupBounds.h"
#include "news/PageTemplates.h"

namespace tw::test {
namespace {

constexpr int kOwnSite = 1;
constexpr int kXbins = 2;
constexpr int kScene = 3;
constexpr int kSkins = 7;

using ShowItem = PageFixture;

bool HasPageFiles(const QStringList& files) {
  for (const QString& f : files) {
    if (f.endsWith(QLatin1String(".htm")) || f.endsWith(QLatin1String(".jpg")) || f.endsWith(QLatin1String(".gif"))) {
      return true;
    }
  }
  return false;
}

TEST_F(ShowItem, MarksAnUnreadNewItemReadOnceItsPageHasLoadedThenRefreshesTheTitle) {
  const QString key = addItem(kScene, 1, Item{});
  core->tv.setTag(key, TagVeryNew + TagNew + TagUnread);
  renderer->ShowItem(kScene, key);
  EXPECT_EQ(core->tv.find(key)->tag, TagVeryNew + TagNew + TagUnread) << "not read before it is on screen";
  EXPECT_TRUE(refresher->calls.isEmpty());

  web.finishLoading();
  const SiteTreeNode* node = core->tv.find(key);
  EXPECT_EQ(node->tag, TagVeryNew + TagRead);
  EXPECT_FALSE(node->bold);
  EXPECT_EQ(node->image, QStringLiteral("item_read"));
  EXPECT_EQ(storedTag(kScene, 1), TagRead);  // the very-new marker is never stored

  ASSERT_EQ(refresher->calls.size(), 1);
  EXPECT_EQ(refresher->calls[0].site, kScene);
  EXPECT_FALSE(refresher->calls[0].announce);
  EXPECT_EQ(refresher->calls[0].tags, QStringList({TagVeryNew + TagRead}));  // marked before the refresh
}

TEST_F(ShowItem, AReadItemStaysAsItIs) {
  Item item;
  item.tag = TagRead;
  const QString key = addItem(kScene, 1, item);
  renderer->ShowItem(kScene, key);
  web.finishLoading();
  EXPECT_EQ(core->tv.find(key)->tag, TagRead);
  EXPECT_EQ(core->tv.find(key)->image, QStringLiteral("item_read"));
  EXPECT_EQ(storedTag(kScene, 1), TagRead);
  EXPECT_EQ(refresher->calls.size(), 1);
}

TEST_F(ShowItem, StopsTheBrowserFirstAndShowsThePageWithoutScript) {
  const QString key = addItem(kScene, 1, Item{});
  renderer->ShowItem(kScene, key);
  EXPECT_EQ(web.calls, QStringList({"Stop", "ShowPageFile main.htm scripts off"}));
  EXPECT_EQ(web.readyState, WebView::kReadyStateLoading);
}

TEST_F(ShowItem, WritesThePageAndPicturesThenDeletesThemOnceLoaded) {
  Item item;
  item.description = QStringLiteral("&lt;b&gt;Big&lt;/b&gt; news &amp;#033;");
  const QString key = addItem(kScene, 1, item);
  renderer->ShowItem(kScene, key);

  ASSERT_EQ(web.shown.size(), 1);
  EXPECT_EQ(web.shown[0].filesPresent, QStringList({"bgnd.gif", "logo.jpg", "main.htm"}));
  const QString page = lastShownPage();
  // The page is written again from its parse: it starts as the template's
  // own start does, written the same way.
  const QString start = BoundMarkup(ItemTemplate(ItemTemplateId::NewsBackground).section(QStringLiteral("[DESCRIPTION]"), 0, 0));
  EXPECT_TRUE(page.startsWith(start.left(start.lastIndexOf(QLatin1String("</font></body>"))))) << page.toStdString();
  EXPECT_TRUE(page.contains(QLatin1String("<b>Big</b> news !")));

  web.finishLoading();
  if (!DebugBuild) {
    EXPECT_FALSE(HasPageFiles(programFiles())) << programFiles().join(u',').toStdString();
  }
}

TEST_F(ShowItem, WrappedFeedTextsShowDecodedTheTitleAsTextTheDescriptionAsMarkup) {
  Item item;
  item.title = QStringLiteral("<![CDATA[Warrior&#8217;s <script>alert(1)</script>]]>");
  item.description = QStringLiteral("<![CDATA[<p>First look</p><p>Second &#8217; look</p>]]>");
  renderer->ShowItem(kScene, addItem(kScene, 1, item));
  EXPECT_EQ(strip.last().title.text, QStringLiteral("Warrior\u2019s <script>alert(1)</script>"));
  const QString page = lastShownPage();
  EXPECT_TRUE(page.contains(QStringLiteral("<p>First look</p><p>Second \u2019 look</p>"))) << page.toStdString();
  EXPECT_FALSE(page.contains(QLatin1String("]]>")));
  EXPECT_FALSE(page.contains(QLatin1String("CDATA")));
}

TEST_F(ShowItem, UsesEachSitesTemplateAndTheGenericOneForSitesWithout) {
  Item item;
  item.thumb = QStringLiteral("https://skins.example/t.jpg");
  item.author = QStringLiteral("Lee");
  item.description = QStringLiteral("Desc");
  renderer->ShowItem(kSkins, addItem(kSkins, 1, item));
  EXPECT_TRUE(lastShownPage().contains(
      QLatin1String("<p>Desc<br><img src=\"https://skins.example/t.jpg\"><br>Author: Lee</p>")));

  renderer->ShowItem(kOwnSite, addItem(kOwnSite, 1, item));
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("<body class=\"style1\"><p>Desc<br>"
                                                     "<img src=\"https://skins.example/t.jpg\"></p>")));
  renderer->ShowItem(17, addItem(17, 1, item));
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("<body class=\"style1\">")));
}

TEST_F(ShowItem, WritesTheSiteLogoOrTheDefaultOne) {
  const auto logoBytes = [&](const QString& name) {
    QFile f(QStringLiteral(":/LOGO/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  renderer->ShowItem(kOwnSite, addItem(kOwnSite, 1, Item{}));
  ASSERT_EQ(web.shown.size(), 1);
  EXPECT_FALSE(web.shown[0].filesPresent.contains(QStringLiteral("bgnd.gif")));
  QFile logo(folder() + QStringLiteral("/logo.jpg"));
  ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
  EXPECT_EQ(logo.readAll(), logoBytes(QStringLiteral("DEFAULT")));
  logo.close();

  renderer->ShowItem(kXbins, addItem(kXbins, 1, Item{}));
  ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
  EXPECT_EQ(logo.readAll(), logoBytes(QStringLiteral("XBINS")));
  EXPECT_FALSE(logoBytes(QStringLiteral("XBINS")).isEmpty());
}

TEST_F(ShowItem, SetsTheTitleStripFromTheSite) {
  Item item;
  item.title = QStringLiteral("<b>Not markup</b>");
  const QString key = addItem(kScene, 1, item);
  strip.setBuiltInPageShown(true);
  renderer->ShowItem(kScene, key);

  EXPECT_FALSE(strip.shown);
  ASSERT_EQ(strip.contents.size(), 1);
  ASSERT_TRUE(strip.logoFileExisted[0]);
  const TitleStripContent& c = strip.last();
  const SiteRecord& site = core->sites[kScene];
  EXPECT_EQ(c.back, RGB(223, 230, 216));
  EXPECT_EQ(c.logoFile, folder() + QStringLiteral("/logo.jpg"));
  EXPECT_EQ(c.logoTag, site.RegName);
  EXPECT_EQ(c.title.text, item.title);
  EXPECT_EQ(c.title.colour, site.TitleText);
  EXPECT_EQ(c.linkTitle.text, QStringLiteral("Link: "));
  EXPECT_EQ(c.linkTitle.colour, site.LinkCaption);
  EXPECT_TRUE(c.linkTitle.visible);
  EXPECT_EQ(c.link.text, item.link);
  EXPECT_EQ(c.link.colour, RGB(114, 133, 84));
  EXPECT_EQ(c.linkColour, RGB(114, 133, 84));
  EXPECT_EQ(c.linkHoverColour, RGB(153, 172, 125));
  EXPECT_TRUE(c.linkTag.isEmpty());
}

TEST_F(ShowItem, TheLinkTagNamesTheSiteWhenItOpensNewsExternally) {
  setSiteFlag(kScene, setting::SiteExternal, true);
  renderer->ShowItem(kScene, addItem(kScene, 1, Item{}));
  EXPECT_EQ(strip.last().linkTag, core->sites[kScene].RegName);
}

TEST_F(ShowItem, ALinkToTheFileReleaseFrontPageIsDropped) {
  Item item;
  item.link = QStringLiteral("HTTPS://www.xbins.org/");
  setSiteFlag(kXbins, setting::SiteAutoItem, true);
  renderer->ShowItem(kXbins, addItem(kXbins, 1, item));
  EXPECT_TRUE(strip.last().link.text.isEmpty());
  // Nothing to show automatically: the rendered page is shown.
  EXPECT_EQ(web.calls, QStringList({"Stop", "ShowPageFile main.htm scripts off"}));

  item.link = QStringLiteral("https://www.xbins.org/files/42");
  renderer->ShowItem(kXbins, addItem(kXbins, 2, item));
  EXPECT_EQ(strip.last().link.text, item.link);
}

TEST_F(ShowItem, AutoItemShowsTheItemsOwnAddressThenLogsAndCleansUp) {
  setSiteFlag(kScene, setting::SiteAutoItem, true);
  Item item;
  item.title = QStringLiteral("Big release");
  renderer->ShowItem(kScene, addItem(kScene, 1, item));
  EXPECT_EQ(web.calls, QStringList({"Stop", "Navigate https://news.example/item"}));
  const int linesBefore = core->activity.lines().size();

  EXPECT_EQ(storedTag(kScene, 1), TagNew + TagUnread);
  web.finishLoading();
  EXPECT_EQ(storedTag(kScene, 1), TagRead);
  ASSERT_EQ(core->activity.lines().size(), linesBefore + 1);
  const ActivityLine& line = core->activity.lines().back();
  EXPECT_TRUE(line.text.endsWith(QLatin1String("Auto loading Xbox-Scene news item \"Big release\"")));
  EXPECT_EQ(line.level, LogLevel::Info);
  if (!DebugBuild) {
    EXPECT_FALSE(HasPageFiles(programFiles()));
  }
}

TEST_F(ShowItem, AutoItemWithoutALinkShowsTheRenderedPage) {
  setSiteFlag(kScene, setting::SiteAutoItem, true);
  Item item;
  item.link.clear();
  renderer->ShowItem(kScene, addItem(kScene, 1, item));
  EXPECT_EQ(web.calls, QStringList({"Stop", "ShowPageFile main.htm scripts off"}));
}

TEST_F(ShowItem, ExternalHandsTheLinkToTheBrowserWindowThenShowsThePage) {
  setSiteFlag(kScene, setting::SiteAutoItem, true);
  setSiteFlag(kScene, setting::SiteExternal, true);
  renderer->ShowItem(kScene, addItem(kScene, 1, Item{}));
  // The external window counts as loaded at once, so the page follows.
  EXPECT_EQ(web.calls, QStringList({"Stop", "Navigate https://news.example/item Xbox-Scene",
                                    "ShowPageFile main.htm scripts off"}));
  EXPECT_EQ(web.external, QStringList({"https://news.example/item"}));
  EXPECT_EQ(storedTag(kScene, 1), TagRead) << "it is in the browser's window";
  ASSERT_EQ(web.shown.size(), 1);
  EXPECT_TRUE(web.shown[0].filesPresent.contains(QStringLiteral("main.htm")));
  web.finishLoading();
  if (!DebugBuild) {
    EXPECT_FALSE(HasPageFiles(programFiles()));
  }
}

TEST_F(ShowItem, ExternalWithoutAutoItemShowsThePageInThePanel) {
  setSiteFlag(kScene, setting::SiteExternal, true);
  renderer->ShowItem(kScene, addItem(kScene, 1, Item{}));
  EXPECT_EQ(web.calls, QStringList({"Stop", "ShowPageFile main.htm scripts off"}));
  EXPECT_TRUE(web.external.isEmpty());
}

TEST_F(ShowItem, ADisabledSiteOrAnUnknownNodeShowsNothing) {
  const QString key = addItem(kScene, 1, Item{});
  setSiteFlag(kScene, setting::SiteDisabled, true);
  renderer->ShowItem(kScene, key);
  renderer->ShowItem(kOwnSite, core->sites[kOwnSite].Key + QStringLiteral("9"));
  renderer->ShowItem(0, key);
  renderer->ShowItem(18, key);
  EXPECT_TRUE(web.calls.isEmpty());
  EXPECT_TRUE(refresher->calls.isEmpty());
  EXPECT_TRUE(programFiles().isEmpty());
}

TEST_F(ShowItem, ADescriptionPicksUpOnlyThePlaceholdersFilledAfterIt) {
  Item item;
  item.releaseDate = QStringLiteral("2004-03-11");
  item.pubDate = QStringLiteral("Thu, 11 Mar 2004");
  item.description = QStringLiteral("[RELEASE DATE] / [PUBDATE] / [DATE]");
  renderer->ShowItem(kOwnSite, addItem(kOwnSite, 1, item));
  // The description is filled in before the later placeholders are replaced.
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("[RELEASE DATE] / Thu, 11 Mar 2004 / [DATE]")));
}

}  // namespace
}  // namespace tw::test
