#include "core/SiteTree.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(SiteTree, KeepsChildrenInOrderAndRemovesBranchesWhole) {
  SiteTree tree;
  QSignalSpy added(&tree, &SiteTree::nodeAdded);
  QSignalSpy removed(&tree, &SiteTree::nodeAboutToBeRemoved);
  ASSERT_TRUE(tree.addNode({}, QStringLiteral("A:ID:"), QStringLiteral("A"), QStringLiteral("site")));
  ASSERT_TRUE(tree.addNode({}, QStringLiteral("B:ID:"), QStringLiteral("B"), QStringLiteral("site")));
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(tree.addNode(QStringLiteral("A:ID:"), QStringLiteral("A:ID:%1").arg(i), QString::number(i),
                             QStringLiteral("new")));
  }
  EXPECT_FALSE(tree.addNode({}, QStringLiteral("A:ID:"), QStringLiteral("dup"), QString()));
  EXPECT_FALSE(tree.addNode(QStringLiteral("missing"), QStringLiteral("x"), QString(), QString()));
  EXPECT_EQ(added.count(), 5);
  EXPECT_EQ(tree.childCount(QStringLiteral("A:ID:")), 3);
  EXPECT_EQ(tree.childKeys(QStringLiteral("A:ID:")),
            (QStringList{"A:ID:1", "A:ID:2", "A:ID:3"}));
  EXPECT_EQ(tree.find(QStringLiteral("A:ID:2"))->parentKey, QStringLiteral("A:ID:"));

  tree.select(QStringLiteral("A:ID:2"));
  tree.removeNode(QStringLiteral("A:ID:2"));
  EXPECT_EQ(tree.selectedKey(), QString());
  EXPECT_EQ(tree.childKeys(QStringLiteral("A:ID:")), (QStringList{"A:ID:1", "A:ID:3"}));

  removed.clear();
  tree.removeNode(QStringLiteral("A:ID:"));
  ASSERT_EQ(removed.count(), 3);
  EXPECT_EQ(removed.last().first().toString(), QStringLiteral("A:ID:"));  // children go first
  EXPECT_EQ(tree.nodeCount(), 1);
  EXPECT_EQ(tree.rootKeys(), QStringList{QStringLiteral("B:ID:")});
}

TEST(SiteTree, ReportsOnlyRealChanges) {
  SiteTree tree;
  tree.addNode({}, QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("site"));
  QSignalSpy changed(&tree, &SiteTree::nodeChanged);
  tree.setBold(QStringLiteral("A"), true);
  tree.setBold(QStringLiteral("A"), true);
  tree.setBackColor(QStringLiteral("A"), RGB(220, 255, 220));
  tree.setTag(QStringLiteral("missing"), QStringLiteral("x"));
  EXPECT_EQ(changed.count(), 2);
  EXPECT_TRUE(tree.find(QStringLiteral("A"))->bold);
  EXPECT_EQ(tree.find(QStringLiteral("A"))->backColor, RGB(220, 255, 220));

  QSignalSpy cleared(&tree, &SiteTree::cleared);
  tree.clear();
  EXPECT_EQ(cleared.count(), 1);
  EXPECT_EQ(tree.nodeCount(), 0);
  EXPECT_EQ(tree.find(QStringLiteral("A")), nullptr);
}

}  // namespace
}  // namespace tw
