#include "core/SiteTree.h"
#include "widgets/ImageList.h"
#include "widgets/SiteTreeView.h"
#include "widgets/TextContrast.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

class SiteTreeViewTest : public ::testing::Test {
 protected:
  SiteTreeViewTest() {
    tree.addNode(QString(), QStringLiteral("B:ID:"), QStringLiteral("Beta"), QStringLiteral("site"));
    tree.addNode(QStringLiteral("B:ID:"), QStringLiteral("B:ID:1"), QStringLiteral("first"), QStringLiteral("new"));
  }
  QStringList topLevel(const SiteTreeView& view) const {
    QStringList keys;
    for (int i = 0; i < view.topLevelItemCount(); ++i) keys << SiteTreeView::keyOf(view.topLevelItem(i));
    return keys;
  }
  QStringList childrenOf(const SiteTreeView& view, const QString& key) const {
    QStringList keys;
    QTreeWidgetItem* item = view.itemForKey(key);
    for (int i = 0; item && i < item->childCount(); ++i) keys << SiteTreeView::keyOf(item->child(i));
    return keys;
  }
  void mouse(SiteTreeView& view, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(view.viewport()->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &e);
  }
  void key(SiteTreeView& view, QEvent::Type type, int k, bool repeat) {
    QKeyEvent e(type, k, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(&view, &e);
  }

  SiteTree tree;
  ImageList images;
};

TEST_F(SiteTreeViewTest, ShowsWhatTheTreeAlreadyHolds) {
  SiteTreeView view(tree, images);
  EXPECT_EQ(topLevel(view), QStringList{QStringLiteral("B:ID:")});
  EXPECT_EQ(childrenOf(view, QStringLiteral("B:ID:")), QStringList{QStringLiteral("B:ID:1")});
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:1"))->text(0), QStringLiteral("first"));
  EXPECT_FALSE(view.itemForKey(QStringLiteral("B:ID:"))->icon(0).isNull());
}

TEST_F(SiteTreeViewTest, FollowsAddsChangesAndRemovals) {
  SiteTreeView view(tree, images);
  tree.addNode(QString(), QStringLiteral("A:ID:"), QStringLiteral("Alpha"), QStringLiteral("site1"));
  tree.addNode(QStringLiteral("B:ID:"), QStringLiteral("B:ID:2"), QStringLiteral("second"), QStringLiteral("item_read"));
  EXPECT_EQ(topLevel(view), (QStringList{QStringLiteral("B:ID:"), QStringLiteral("A:ID:")}));
  EXPECT_EQ(childrenOf(view, QStringLiteral("B:ID:")), (QStringList{QStringLiteral("B:ID:1"), QStringLiteral("B:ID:2")}));

  tree.setText(QStringLiteral("B:ID:2"), QStringLiteral("renamed"));
  tree.setBold(QStringLiteral("B:ID:2"), true);
  tree.setBackColor(QStringLiteral("B:ID:"), RGB(255, 0, 0));
  QTreeWidgetItem* item = view.itemForKey(QStringLiteral("B:ID:2"));
  EXPECT_EQ(item->text(0), QStringLiteral("renamed"));
  EXPECT_TRUE(item->font(0).bold());
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:"))->background(0).color(), QColor(255, 0, 0))
      << "red is the low byte of the stored colour";
  tree.setBackColor(QStringLiteral("B:ID:"), RGB(255, 255, 255));
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:"))->background(0).style(), Qt::NoBrush);

  tree.removeNode(QStringLiteral("B:ID:"));
  EXPECT_EQ(topLevel(view), QStringList{QStringLiteral("A:ID:")});
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:1")), nullptr);

  tree.clear();
  EXPECT_EQ(view.topLevelItemCount(), 0);
  EXPECT_EQ(view.itemForKey(QStringLiteral("A:ID:")), nullptr);
}

TEST_F(SiteTreeViewTest, SitesAreSortedWhileTheTreeSaysSoItemsNever) {
  SiteTreeView view(tree, images);
  tree.addNode(QString(), QStringLiteral("A:ID:"), QStringLiteral("alpha"), QStringLiteral("site"));
  tree.addNode(QStringLiteral("B:ID:"), QStringLiteral("B:ID:0"), QStringLiteral("aaa"), QStringLiteral("new"));
  tree.setSorted(true);
  EXPECT_EQ(topLevel(view), (QStringList{QStringLiteral("A:ID:"), QStringLiteral("B:ID:")}));
  EXPECT_EQ(childrenOf(view, QStringLiteral("B:ID:")), (QStringList{QStringLiteral("B:ID:1"), QStringLiteral("B:ID:0")}));

  tree.addNode(QString(), QStringLiteral("C:ID:"), QStringLiteral("Aardvark"), QStringLiteral("site"));
  EXPECT_EQ(topLevel(view).first(), QStringLiteral("C:ID:"));
  tree.setText(QStringLiteral("C:ID:"), QStringLiteral("Zulu"));
  EXPECT_EQ(topLevel(view).last(), QStringLiteral("C:ID:"));

  tree.setSorted(false);
  EXPECT_EQ(topLevel(view), (QStringList{QStringLiteral("B:ID:"), QStringLiteral("A:ID:"), QStringLiteral("C:ID:")}));
}

TEST_F(SiteTreeViewTest, ReSortingKeepsOpenSitesOpenAndTheSelection) {
  SiteTreeView view(tree, images);
  tree.addNode(QString(), QStringLiteral("A:ID:"), QStringLiteral("Zeta"), QStringLiteral("site"));
  tree.setExpanded(QStringLiteral("B:ID:"), true);
  tree.select(QStringLiteral("B:ID:1"));
  tree.setSorted(true);
  tree.setText(QStringLiteral("B:ID:"), QStringLiteral("Zz last"));
  EXPECT_EQ(topLevel(view).last(), QStringLiteral("B:ID:"));
  EXPECT_TRUE(view.itemForKey(QStringLiteral("B:ID:"))->isExpanded());
  EXPECT_EQ(view.currentItem(), view.itemForKey(QStringLiteral("B:ID:1")));
  EXPECT_EQ(tree.selectedKey(), QStringLiteral("B:ID:1"));
}

TEST_F(SiteTreeViewTest, ExpandingAndSelectingGoBothWays) {
  SiteTreeView view(tree, images);
  tree.setExpanded(QStringLiteral("B:ID:"), true);
  EXPECT_TRUE(view.itemForKey(QStringLiteral("B:ID:"))->isExpanded());
  view.itemForKey(QStringLiteral("B:ID:"))->setExpanded(false);
  EXPECT_FALSE(tree.find(QStringLiteral("B:ID:"))->expanded);

  tree.select(QStringLiteral("B:ID:1"));
  EXPECT_EQ(view.currentItem(), view.itemForKey(QStringLiteral("B:ID:1")));
  view.setCurrentItem(view.itemForKey(QStringLiteral("B:ID:")));
  EXPECT_EQ(tree.selectedKey(), QStringLiteral("B:ID:"));
}

TEST_F(SiteTreeViewTest, ASiteMarkedOpenBeforeItsItemsOpensWithThem) {
  tree.addNode(QString(), QStringLiteral("E:ID:"), QStringLiteral("Empty"), QStringLiteral("site"));
  SiteTreeView view(tree, images);
  tree.setExpanded(QStringLiteral("E:ID:"), true);
  tree.addNode(QStringLiteral("E:ID:"), QStringLiteral("E:ID:1"), QStringLiteral("one"), QStringLiteral("new"));
  EXPECT_TRUE(view.itemForKey(QStringLiteral("E:ID:"))->isExpanded());
}

TEST_F(SiteTreeViewTest, TenThousandItemsComeAndGo) {
  SiteTreeView view(tree, images);
  for (int i = 2; i <= 10001; ++i) {
    tree.addNode(QStringLiteral("B:ID:"), QStringLiteral("B:ID:%1").arg(i), QStringLiteral("item %1").arg(i),
                 QStringLiteral("item_unread"));
  }
  QTreeWidgetItem* site = view.itemForKey(QStringLiteral("B:ID:"));
  ASSERT_EQ(site->childCount(), 10001);
  EXPECT_EQ(SiteTreeView::keyOf(site->child(10000)), QStringLiteral("B:ID:10001"));
  // A site's rebuild: every item goes, from the last.
  for (const QString& child : tree.childKeys(QStringLiteral("B:ID:"))) tree.removeNode(child);
  EXPECT_EQ(site->childCount(), 0);
  tree.removeNode(QStringLiteral("B:ID:"));
  EXPECT_EQ(view.topLevelItemCount(), 0);
}

// A merge rebuilds a site's items inside a batch. The view takes the rows
// that stay over where they are, and a closed site's first items show only
// as its expander: either way a closed site costs the repaint of its own
// row, not a layout and repaint of the whole tree.
TEST_F(SiteTreeViewTest, AMergeOfAClosedSiteRepaintsItsRowNotTheTree) {
  struct PaintLog : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
      return false;
    }
  } log;
  const QString site = QStringLiteral("B:ID:");
  tree.addNode(site, QStringLiteral("B:ID:2"), QStringLiteral("second"), QStringLiteral("item_read"));
  tree.addNode(QString(), QStringLiteral("C:ID:"), QStringLiteral("Gamma"), QStringLiteral("site"));
  tree.addNode(QStringLiteral("C:ID:"), QStringLiteral("C:ID:1"), QStringLiteral("open"), QStringLiteral("new"));
  tree.setExpanded(QStringLiteral("C:ID:"), true);
  tree.addNode(QString(), QStringLiteral("E:ID:"), QStringLiteral("Empty"), QStringLiteral("site"));
  tree.select(site);
  SiteTreeView view(tree, images);
  view.resize(300, 200);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QTreeWidgetItem* firstRow = view.itemForKey(QStringLiteral("B:ID:1"));
  view.viewport()->installEventFilter(&log);

  {
    SiteTree::Batch batch(tree);
    for (const QString& key : tree.childKeys(site)) tree.removeNode(key);
    for (int i = 1; i <= 3; ++i) {
      tree.addNode(site, QStringLiteral("B:ID:%1").arg(i), QStringLiteral("fresh %1").arg(i), QStringLiteral("new"));
    }
    tree.setBold(QStringLiteral("B:ID:3"), true);
    tree.setText(site, QStringLiteral("Beta (3)"));
  }
  {
    SiteTree::Batch batch(tree);
    tree.addNode(QStringLiteral("E:ID:"), QStringLiteral("E:ID:1"), QStringLiteral("first ever"), QStringLiteral("new"));
  }
  QTest::qWait(50);

  EXPECT_EQ(childrenOf(view, site), (QStringList{QStringLiteral("B:ID:1"), QStringLiteral("B:ID:2"), QStringLiteral("B:ID:3")}));
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:1")), firstRow) << "the row was taken over";
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:2"))->text(0), QStringLiteral("fresh 2"));
  EXPECT_TRUE(view.itemForKey(QStringLiteral("B:ID:3"))->font(0).bold());
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:"))->text(0), QStringLiteral("Beta (3)"));
  EXPECT_EQ(view.currentItem(), view.itemForKey(site));
  EXPECT_EQ(childrenOf(view, QStringLiteral("E:ID:")), QStringList{QStringLiteral("E:ID:1")});
  QRegion siteRows;
  for (const char* key : {"B:ID:", "E:ID:"}) {
    const QRect row = view.visualItemRect(view.itemForKey(QLatin1String(key)));
    siteRows += QRect(0, row.top(), view.viewport()->width(), row.height());
  }
  EXPECT_TRUE(log.painted.intersects(siteRows));
  EXPECT_TRUE((log.painted - siteRows).isEmpty())
      << "painted " << log.painted.boundingRect().height() << " rows of pixels, the two sites' rows have "
      << siteRows.boundingRect().height();

  // The site shrinks and opens: the rows left are the tree's.
  {
    SiteTree::Batch batch(tree);
    for (const QString& key : tree.childKeys(site)) tree.removeNode(key);
    tree.addNode(site, QStringLiteral("B:ID:1"), QStringLiteral("only"), QStringLiteral("item_read"));
  }
  tree.setExpanded(site, true);
  EXPECT_EQ(childrenOf(view, site), QStringList{QStringLiteral("B:ID:1")});
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:2")), nullptr);
  EXPECT_EQ(view.itemForKey(QStringLiteral("B:ID:1"))->text(0), QStringLiteral("only"));
  EXPECT_TRUE(view.itemForKey(site)->isExpanded());
  EXPECT_EQ(childrenOf(view, QStringLiteral("C:ID:")), QStringList{QStringLiteral("C:ID:1")});
}

TEST_F(SiteTreeViewTest, RemovingTheSelectedNodeLeavesNothingSelected) {
  SiteTreeView view(tree, images);
  tree.select(QStringLiteral("B:ID:1"));
  tree.removeNode(QStringLiteral("B:ID:1"));
  EXPECT_EQ(tree.selectedKey(), QString());
  EXPECT_EQ(view.currentItem(), nullptr);
}

TEST_F(SiteTreeViewTest, AClickOnANodeGivesItsEventsInOrder) {
  SiteTreeView view(tree, images);
  view.resize(300, 200);
  view.show();
  QStringList events;
  QObject::connect(&view, &SiteTreeView::mouseDown, [&](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint&) {
    events << QStringLiteral("down %1").arg(SiteTreeView::ButtonNumber(b));
  });
  QObject::connect(&view, &SiteTreeView::nodeClick, [&](const QString& k) { events << QStringLiteral("node ") + k; });
  QObject::connect(&view, &SiteTreeView::click, [&] { events << QStringLiteral("click"); });
  QObject::connect(&view, &SiteTreeView::mouseUp, [&](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint&) {
    events << QStringLiteral("up %1").arg(SiteTreeView::ButtonNumber(b));
  });

  const QRect site = view.visualItemRect(view.itemForKey(QStringLiteral("B:ID:")));
  mouse(view, QEvent::MouseButtonPress, site.center(), Qt::LeftButton);
  mouse(view, QEvent::MouseButtonRelease, site.center(), Qt::LeftButton);
  EXPECT_EQ(events, (QStringList{QStringLiteral("down 1"), QStringLiteral("node B:ID:"), QStringLiteral("click"),
                                 QStringLiteral("up 1")}));
  EXPECT_EQ(tree.selectedKey(), QStringLiteral("B:ID:")) << "the node is selected before its click";

  events.clear();
  mouse(view, QEvent::MouseButtonPress, site.center(), Qt::RightButton);
  mouse(view, QEvent::MouseButtonRelease, site.center(), Qt::RightButton);
  EXPECT_EQ(events, (QStringList{QStringLiteral("down 2"), QStringLiteral("node B:ID:"), QStringLiteral("click"),
                                 QStringLiteral("up 2")}));

  events.clear();
  const QPoint empty(site.center().x(), 190);
  mouse(view, QEvent::MouseButtonPress, empty, Qt::RightButton);
  mouse(view, QEvent::MouseButtonRelease, empty, Qt::RightButton);
  EXPECT_EQ(events, (QStringList{QStringLiteral("down 2"), QStringLiteral("click"), QStringLiteral("up 2")}))
      << "empty space: a click without a node";

  events.clear();
  const QPoint expander(site.left() - 6, site.center().y());
  mouse(view, QEvent::MouseButtonPress, expander, Qt::LeftButton);
  mouse(view, QEvent::MouseButtonRelease, expander, Qt::LeftButton);
  EXPECT_FALSE(events.contains(QStringLiteral("node B:ID:"))) << "the expander is not the node";
}

TEST_F(SiteTreeViewTest, AHeldKeyIsLetGoOnceWhateverItsReleasesSay) {
  SiteTreeView view(tree, images);
  QStringList events;
  QObject::connect(&view, &SiteTreeView::keyDown, [&](int, Qt::KeyboardModifiers) { events << QStringLiteral("down"); });
  QObject::connect(&view, &SiteTreeView::keyUp, [&](int, Qt::KeyboardModifiers) { events << QStringLiteral("up"); });
  // Down held as X delivers it: each repeat a release and a press at once,
  // and most of those releases do not say they are repeats.
  key(view, QEvent::KeyPress, Qt::Key_Down, false);
  for (int i = 0; i < 5; ++i) {
    key(view, QEvent::KeyRelease, Qt::Key_Down, false);
    key(view, QEvent::KeyPress, Qt::Key_Down, false);
  }
  key(view, QEvent::KeyRelease, Qt::Key_Down, true);
  key(view, QEvent::KeyPress, Qt::Key_Down, true);
  key(view, QEvent::KeyRelease, Qt::Key_Down, false);
  EXPECT_EQ(events.count(QStringLiteral("down")), 7);
  EXPECT_TRUE(QTest::qWaitFor([&] { return events.contains(QStringLiteral("up")); }, 2000));
  QTest::qWait(200);
  EXPECT_EQ(events.count(QStringLiteral("up")), 1);

  // The release of a key pressed elsewhere (the Esc that closed a menu) and
  // keys that do not move the selection send nothing.
  events.clear();
  key(view, QEvent::KeyRelease, Qt::Key_Down, false);
  key(view, QEvent::KeyRelease, Qt::Key_Escape, false);
  key(view, QEvent::KeyPress, Qt::Key_Escape, false);
  key(view, QEvent::KeyRelease, Qt::Key_Escape, false);
  QTest::qWait(300);
  EXPECT_TRUE(events.isEmpty()) << events.join(u' ').toStdString();
}

TEST_F(SiteTreeViewTest, ColouredRowsReadInLightAndDarkThemes) {
  // New, unread and read sites; the fixture's site has the tree's own colour.
  for (const Rgb colour : {RGB(220, 255, 220), RGB(255, 255, 220), RGB(255, 255, 255)}) {
    tree.addNode(QString(), QString::number(colour), QStringLiteral("site"), QStringLiteral("site"));
    tree.setBackColor(QString::number(colour), colour);
  }
  SiteTreeView view(tree, images);
  for (const auto& [base, text] : {std::pair{QColor(Qt::white), QColor(0x20, 0x20, 0x20)}, {QColor(0x2a, 0x2e, 0x32), QColor(0xfc, 0xfc, 0xfc)}}) {
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    view.setPalette(palette);
    for (int i = 0; i < view.topLevelItemCount(); ++i) {
      const QVariant back = view.topLevelItem(i)->data(0, Qt::BackgroundRole);
      const QVariant fore = view.topLevelItem(i)->data(0, Qt::ForegroundRole);
      EXPECT_GE(ContrastRatio(fore.isValid() ? fore.value<QBrush>().color() : text,
                              back.isValid() ? back.value<QBrush>().color() : base), kReadableContrast)
          << "row " << i << " on " << base.name().toStdString();
    }
  }
}

TEST(ImageList, AKeyWithoutAPictureStillGetsAnIcon) {
  ImageList images;
  EXPECT_FALSE(images.icon(QStringLiteral("no such picture")).isNull());
  EXPECT_FALSE(images.icon(QStringLiteral("info")).isNull());
  EXPECT_FALSE(images.hasPicture(QStringLiteral("no such picture")));
}

TEST(ImageList, AddedPicturesComeFirstInOrderAndKeysAreNotTakenTwice) {
  ImageList images;
  QPixmap red(16, 16);
  red.fill(Qt::red);
  EXPECT_TRUE(images.Add(QStringLiteral("zz"), QIcon(red)));
  EXPECT_TRUE(images.Add(QStringLiteral("aa"), QIcon(red)));
  EXPECT_FALSE(images.Add(QStringLiteral("aa"), QIcon(red)));
  EXPECT_FALSE(images.Replace(QStringLiteral("info"), QIcon(red))) << "built-in pictures stay";
  const QStringList keys = images.Keys();
  EXPECT_EQ(keys.mid(0, 2), (QStringList{QStringLiteral("zz"), QStringLiteral("aa")}));
  EXPECT_TRUE(keys.contains(QStringLiteral("info")));
  EXPECT_TRUE(keys.contains(QStringLiteral("new")));
  ImageList own(ImageList::Fallback::None);
  EXPECT_TRUE(own.icon(QStringLiteral("info")).isNull());
  EXPECT_TRUE(own.Keys().isEmpty());
}

}  // namespace
}  // namespace tw
