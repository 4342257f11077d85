#pragma once

#include <QHash>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QTreeWidget>

namespace tw {

class ImageList;
class SiteTree;

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
// send nothing.
//
// Captions show decoded (the nodes keep their stored text), are never
// shortened, and scroll sideways when wider than the view.
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

 Q_SIGNALS:
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void nodeClick(const QString& key);
  void click();
  void keyDown(int key, Qt::KeyboardModifiers modifiers);
  void keyUp(int key, Qt::KeyboardModifiers modifiers);
  void keyAbandoned();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void rebuild();
  void addNode(const QString& key);
  void removeNode(const QString& key);
  void changeNode(const QString& key);
  void clearAll();
  void applySelection(const QString& key);
  void apply(QTreeWidgetItem* item, const QString& key);
  void orderTopLevel();
  void viewExpanded(QTreeWidgetItem* item, bool expanded);
  void viewCurrentChanged(QTreeWidgetItem* current);
  void keyReleased();
  void scheduleFit();
  void fitColumn();

  SiteTree& tree_;
  const ImageList& images_;
  QHash<QString, QTreeWidgetItem*> items_;
  bool mirroring_ = false;  // set while the view follows the tree
  QString pressKey_;
  Qt::MouseButton pressButton_ = Qt::NoButton;
  int heldKey_ = 0;  // the navigation key pressed here and not yet let go
  Qt::KeyboardModifiers releasedModifiers_;
  QTimer releaseTimer_;
  QTimer fitTimer_;
};

}  // namespace tw
