#include "core/Catalogue.h"
#include "core/SiteTable.h"
#include "core/SiteTree.h"
#include "core/Crc32.h"
#include "mainwindow/TreeClickHandler.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tw {
namespace {

class Recorder : public TreeClickActions {
 public:
  void showSite(int site) override { calls << QStringLiteral("site %1").arg(site); }
  void showItem(int site, const QString& key) override { calls << QStringLiteral("item %1 %2").arg(site).arg(key); }
  void popupTreeMenu(const TreeMenuState& m) override {
    calls << QStringLiteral("menu");
    menu = m;
  }
  void clearPopups() override { calls << QStringLiteral("clear"); }
  QStringList calls;
  TreeMenuState menu;
};

class TreeClickTest : public ::testing::Test {
 protected:
  TreeClickTest() : handler(tree, sites, actions) {
    BuildCatalogue(sites, QStringLiteral("Tidewire"), FeedEndpoints());
    for (int i : {2, 3}) {
      sites[i].Key = SiteKeyFor(sites[i].Title);
      sites[i].InTree = true;
      tree.addNode({}, sites[i].Key, sites[i].Title, QStringLiteral("site"));
      tree.setTag(sites[i].Key, sites[i].Title);
    }
    xbins = sites[2].Key;
    scene = sites[3].Key;
    tree.addNode(xbins, xbins + QStringLiteral("1"), QStringLiteral("read one"), QStringLiteral("item_read"));
    tree.setTag(xbins + QStringLiteral("1"), QStringLiteral("<READ>"));
    tree.addNode(xbins, xbins + QStringLiteral("2"), QStringLiteral("new one"), QStringLiteral("new"));
    tree.setTag(xbins + QStringLiteral("2"), QStringLiteral("<NEW><UNREAD>"));
  }
  void leftClick(const QString& key) {
    handler.mouseDown(1);
    tree.select(key);
    handler.NodeClick(key);
    handler.Click();
    handler.mouseUp(1);
  }
  void rightClick(const QString& key) {
    handler.mouseDown(2);
    if (!key.isEmpty()) {
      tree.select(key);
      handler.NodeClick(key);
    }
    handler.Click();
    handler.mouseUp(2);
  }

  SiteTable sites;
  SiteTree tree;
  Recorder actions;
  TreeClickHandler handler;
  QString xbins, scene;
};

TEST_F(TreeClickTest, ASiteWhoseItemsAreAllReadIsStillASiteNode) {
  EXPECT_TRUE(TreeClickHandler::IsSiteNode(QStringLiteral("Xbins")));
  EXPECT_FALSE(TreeClickHandler::IsSiteNode(QStringLiteral("<NEW><UNREAD>")));
  EXPECT_FALSE(TreeClickHandler::IsSiteNode(QStringLiteral("<READ>")));
}

TEST_F(TreeClickTest, OneSiteIsOpenAtATime) {
  leftClick(xbins);
  EXPECT_TRUE(tree.find(xbins)->expanded);
  leftClick(scene);
  EXPECT_TRUE(tree.find(scene)->expanded);
  EXPECT_FALSE(tree.find(xbins)->expanded);
  // Clicking the open site closes it and still shows its page.
  leftClick(scene);
  EXPECT_FALSE(tree.find(scene)->expanded);
  EXPECT_EQ(actions.calls, (QStringList{"site 2", "clear", "site 3", "clear", "site 3", "clear"}));
}

TEST_F(TreeClickTest, ALeftClickOnAnItemOpensItWithItsSite) {
  leftClick(xbins + QStringLiteral("2"));
  EXPECT_EQ(actions.calls, (QStringList{"item 2 " + xbins + "2", "clear"}));
}

TEST_F(TreeClickTest, RightClickOffersTheMarksThatApply) {
  rightClick(xbins + QStringLiteral("1"));  // read item
  EXPECT_EQ(actions.calls, (QStringList{"menu", "clear"}));
  EXPECT_TRUE(actions.menu.markEntriesVisible);
  EXPECT_EQ(actions.menu.markReadCaption, QStringLiteral("Mark as Read"));
  EXPECT_FALSE(actions.menu.markReadEnabled);
  EXPECT_TRUE(actions.menu.markUnreadEnabled);

  rightClick(xbins + QStringLiteral("2"));  // unread item
  EXPECT_TRUE(actions.menu.markReadEnabled);
  EXPECT_FALSE(actions.menu.markUnreadEnabled);

  rightClick(xbins);
  EXPECT_EQ(actions.menu.markReadCaption, QStringLiteral("Mark all items in Xbins as Read"));
  EXPECT_EQ(actions.menu.markUnreadCaption, QStringLiteral("Mark all items in Xbins as Unread"));
  EXPECT_TRUE(actions.menu.markReadEnabled && actions.menu.markUnreadEnabled);

  // Empty space: the menu without the mark entries, shown once.
  actions.calls.clear();
  rightClick(QString());
  EXPECT_EQ(actions.calls, QStringList{"menu"});
  EXPECT_FALSE(actions.menu.markEntriesVisible);
}

TEST_F(TreeClickTest, KeyNavigationOpensOnceOnRelease) {
  handler.keyDown();
  tree.select(xbins + QStringLiteral("1"));
  handler.NodeClick(xbins + QStringLiteral("1"));
  tree.select(xbins + QStringLiteral("2"));
  handler.NodeClick(xbins + QStringLiteral("2"));
  EXPECT_TRUE(actions.calls.isEmpty());
  handler.LastMouseButton = 2;
  handler.keyUp();
  EXPECT_EQ(actions.calls, (QStringList{"item 2 " + xbins + "2", "clear"}));
}

TEST_F(TreeClickTest, NothingHappensInAnEmptyTreeOrForAnUnknownSite) {
  SiteTree empty;
  TreeClickHandler onEmpty(empty, sites, actions);
  onEmpty.NodeClick(QStringLiteral("x"));
  EXPECT_TRUE(actions.calls.isEmpty());

  tree.addNode({}, QStringLiteral("FFFF:ID:"), QStringLiteral("Stranger"), QStringLiteral("site"));
  tree.setTag(QStringLiteral("FFFF:ID:"), QStringLiteral("Stranger"));
  tree.addNode(QStringLiteral("FFFF:ID:"), QStringLiteral("FFFF:ID:1"), QStringLiteral("x"), QStringLiteral("new"));
  tree.setTag(QStringLiteral("FFFF:ID:1"), QStringLiteral("<UNREAD>"));
  leftClick(QStringLiteral("FFFF:ID:1"));
  leftClick(QStringLiteral("FFFF:ID:"));
  EXPECT_EQ(actions.calls, (QStringList{"clear", "clear"}));
}

}  // namespace
}  // namespace tw
