#pragma once

#include <QHash>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QTreeWidget>

namespace tw {

class ImageList;
class SiteTree;
struct SiteTreeNode;

// tv: shows the engine's SiteTree and follows its changes. The view holds
// no state of its own: expanding, collapsing and selecting in the view are
// written back to the tree. Sites (the top level) are shown sorted by text
// while the tree's sort flag is on; items keep feed order.
//
// The main window implements the click rules itself from the raw events:
// mouseDown, then on release nodeClick (pressed and released on the same
// node, not on its expander), click, mouseUp. For the keys that move the
// selection: keyDown for every press (repeats too) and keyUp once, when the
// key pressed here is let go for good; keyAbandoned when the focus leaves
// while it is held. Other keys, and releases of keys pressed elsewhere,
// send nothing, but for the Menu key and Shift+F10, which send menuKey.
// Left and Right open and close as in any tree: Right opens a closed node,
// Left closes an open one or goes up to its parent; with nothing to open or
// close they scroll sideways. Right never steps into a node's children, so
// no item is opened by it.
//
// Rows given a colour of their own get a text colour that reads on it in
// the theme of the moment, light or dark.
//
// Captions show decoded (the nodes keep their stored text), are never
// shortened, and scroll sideways when wider than the view.
//
// While the tree is in a batch (a site's merge), the view holds back: it
// notes which branches lost or gained children and which nodes changed, and
// when the batch ends it replaces each such branch's children in one step
// and brings each changed node up to date once. Removing and adding items
// one at a time would make the view lay out and repaint the whole tree for
// every item.
class SiteTreeView : public QTreeWidget {
  Q_OBJECT

 public:
  SiteTreeView(SiteTree& tree, const ImageList& images, QWidget* parent = nullptr);

  QTreeWidgetItem* itemForKey(const QString& key) const { return items_.value(key, nullptr); }
  static QString keyOf(const QTreeWidgetItem* item);
  // The node under a point of the viewport, or empty over the expander,
  // the indentation or empty space.
  QString nodeKeyAt(const QPoint& viewportPos) const;
  // Button numbers as the click rules count them: 1 left, 2 right, 4 middle.
  static int ButtonNumber(Qt::MouseButton button);
  // Where a menu asked for from the keyboard appears, in global
  // coordinates: below the current node's caption, or at the top of the
  // view without one.
  QPoint menuPoint();

 Q_SIGNALS:
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void nodeClick(const QString& key);
  void click();
  void keyDown(int key, Qt::KeyboardModifiers modifiers);
  void keyUp(int key, Qt::KeyboardModifiers modifiers);
  void keyAbandoned();
  void menuKey();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;

 private:
  void rebuild();
  void addNode(const QString& key);
  void removeNode(const QString& key);
  void changeNode(const QString& key);
  void clearAll();
  void applySelection(const QString& key);
  void apply(QTreeWidgetItem* item, const QString& key);
  void applyLook(QTreeWidgetItem* item, const SiteTreeNode& node);
  void applyTextColour(QTreeWidgetItem* item);
  void stepSideways(int key);
  QTreeWidgetItem* newItem(const SiteTreeNode& node);
  // The child's branch is noted for the end of the batch; false outside one.
  bool holdBack(const QString& key);
  void applyHeldChanges();
  void rebuildBranch(const QString& parentKey);
  void forgetChildren(const QTreeWidgetItem* item);
  void orderTopLevel();
  void viewExpanded(QTreeWidgetItem* item, bool expanded);
  void viewCurrentChanged(QTreeWidgetItem* current);
  void keyReleased();
  void scheduleFit();
  void fitColumn();

  SiteTree& tree_;
  const ImageList& images_;
  QHash<QString, QTreeWidgetItem*> items_;
  // Held back until the tree's batch ends: branches to rebuild, nodes changed.
  QSet<QString> heldBranches_;
  QSet<QString> heldNodes_;
  bool mirroring_ = false;  // set while the view follows the tree
  QString pressKey_;
  Qt::MouseButton pressButton_ = Qt::NoButton;
  int heldKey_ = 0;  // the navigation key pressed here and not yet let go
  Qt::KeyboardModifiers releasedModifiers_;
  QTimer releaseTimer_;
  QTimer fitTimer_;
};

}  // namespace tw
