#include "PageFixture.h"

#include "core/BuildFlags.h"
#include "news/PageDisplay.h"

namespace tw::test {
namespace {

constexpr int kScene = 3;
constexpr int kSkins = 7;

TEST(PageDisplay, GoesOnOnlyOnceTheNavigationIsComplete) {
  FakeWebView web;
  PageDisplay display(web);
  QStringList steps;
  web.readyState = WebView::kReadyStateLoading;
  display.AfterLoad([&] { steps << QStringLiteral("after"); });
  EXPECT_TRUE(display.waiting());
  web.sendStrayLoadFinished();
  EXPECT_TRUE(steps.isEmpty());
  web.finishLoading();
  EXPECT_EQ(steps, QStringList({"after"}));
  EXPECT_FALSE(display.waiting());
  web.finishLoading();
  EXPECT_EQ(steps.size(), 1);
}

TEST(PageDisplay, GoesOnAtOnceWhenNothingIsLoading) {
  FakeWebView web;
  PageDisplay display(web);
  int ran = 0;
  display.AfterLoad([&] { ++ran; });
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(display.waiting());
}

TEST(PageDisplay, ANewDisplayAbandonsTheWaitingOne) {
  FakeWebView web;
  PageDisplay display(web);
  QStringList steps;
  web.readyState = WebView::kReadyStateLoading;
  display.AfterLoad([&] { steps << QStringLiteral("old"); });
  display.Begin();
  display.AfterLoad([&] { steps << QStringLiteral("new"); });
  web.finishLoading();
  EXPECT_EQ(steps, QStringList({"new"}));
}

TEST(PageDisplay, AStepMayStartTheNextWait) {
  FakeWebView web;
  PageDisplay display(web);
  QStringList steps;
  web.readyState = WebView::kReadyStateLoading;
  display.AfterLoad([&] {
    steps << QStringLiteral("first");
    web.readyState = WebView::kReadyStateLoading;
    display.AfterLoad([&] { steps << QStringLiteral("second"); });
  });
  web.finishLoading();
  EXPECT_EQ(steps, QStringList({"first"}));
  web.finishLoading();
  EXPECT_EQ(steps, QStringList({"first", "second"}));
}

using OverlappingPages = PageFixture;

TEST_F(OverlappingPages, ASecondItemWhileTheFirstLoadsKeepsItsFilesUntilItHasLoaded) {
  const QString first = addItem(kScene, 1, Item{});
  Item other;
  other.description = QStringLiteral("Second page");
  const QString second = addItem(kSkins, 1, other);

  renderer->ShowItem(kScene, first);
  renderer->ShowItem(kSkins, second);
  // The first navigation's end arrives late, while the second still loads:
  // nothing may be cleaned up yet.
  web.sendStrayLoadFinished();
  EXPECT_TRUE(programFiles().contains(QStringLiteral("main.htm")));
  EXPECT_TRUE(programFiles().contains(QStringLiteral("logo.jpg")));
  ASSERT_EQ(web.shown.size(), 2);
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("Second page")));

  web.finishLoading();
  if (!DebugBuild) {
    EXPECT_TRUE(programFiles().isEmpty()) << programFiles().join(u',').toStdString();
  }
  // Only the item whose page was shown is read.
  EXPECT_EQ(storedTag(kScene, 1), TagNew + TagUnread);
  EXPECT_TRUE(core->tv.find(first)->tag.contains(TagUnread));
  EXPECT_EQ(storedTag(kSkins, 1), TagRead);
}

TEST_F(OverlappingPages, AnItemReplacedWhileItsPageLoadedIsNotMarked) {
  const QString key = addItem(kScene, 1, Item{});
  renderer->ShowItem(kScene, key);
  // A check rebuilds the list meanwhile: number 1 is another item now.
  Item arrived;
  arrived.title = QStringLiteral("Just arrived");
  addItem(kScene, 1, arrived);
  web.finishLoading();
  EXPECT_EQ(storedTag(kScene, 1), TagNew + TagUnread);
  EXPECT_TRUE(refresher->calls.isEmpty());
}

TEST_F(OverlappingPages, ABuiltInPageWhileAnItemLoadsLeavesNoFilesBehind) {
  setSiteFlag(kScene, setting::SiteAutoItem, true);
  renderer->ShowItem(kScene, addItem(kScene, 1, Item{}));
  const int lines = core->activity.lines().size();
  renderer->WriteHelpPage();
  web.finishLoading();
  // The abandoned auto-load never reports itself as done.
  EXPECT_EQ(core->activity.lines().size(), lines);
  if (!DebugBuild) {
    EXPECT_TRUE(programFiles().isEmpty()) << programFiles().join(u',').toStdString();
  }
}

TEST_F(OverlappingPages, CleanPageFilesTakesOnlyPagesAndPictures) {
  for (const char* name : {"a.htm", "b.jpg", "c.gif", "feed.xml", "version.txt", "UPPER.JPG"}) {
    QFile f(folder() + u'/' + QLatin1String(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  renderer->CleanPageFiles();
  if (DebugBuild) {
    EXPECT_EQ(programFiles().size(), 6);
  } else {
    EXPECT_EQ(programFiles(), QStringList({"feed.xml", "version.txt"}));
  }
}

}  // namespace
}  // namespace tw::test
