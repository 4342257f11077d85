#pragma once

#include <QPersistentModelIndex>
#include <QPoint>
#include <QTreeWidget>

namespace tw {

class OptNode;
class XTreeOpt;

// tvwOpt: the tree inside the option tree control. It draws the nodes as the
// control's properties ask (pictures, buttons and lines, ghosted, hot
// tracking, selection) and hands mouse, keys and label edits to the control,
// which owns the rules.
class OptTreeView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit OptTreeView(XTreeOpt& owner);

  // Tree-view style 0 to 7: pictures (1), expand buttons (2), lines (4).
  int treeStyle() const { return treeStyle_; }
  void setTreeStyle(int style);
  bool ghosted() const { return ghosted_; }
  void setGhosted(bool ghosted);
  bool fullRowSelect() const { return fullRowSelect_; }
  void setFullRowSelect(bool on);
  bool trackSelect() const { return trackSelect_; }
  void setTrackSelect(bool on);
  bool hideSelection() const { return hideSelection_; }
  void setHideSelection(bool on);

  // The node under a point of the viewport, or none over the expander, the
  // indentation or empty space.
  OptNode* nodeAt(const QPoint& viewportPos) const;
  // Makes the node current and toggles it as Space does (a screen reader's
  // "Toggle").
  void toggleNode(OptNode* node);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

 private:
  friend class OptItemDelegate;
  friend class OptRowAccessible;
  QPoint toControl(const QPoint& viewportPos) const;
  void notePress(QMouseEvent* event);

  XTreeOpt& owner_;
  int treeStyle_ = 7;
  bool ghosted_ = false;
  bool fullRowSelect_ = false;
  bool trackSelect_ = true;
  bool hideSelection_ = true;
  // The node a button went down on, if it still exists at the release.
  QPersistentModelIndex pressNode_;
  bool pressOnRow_ = false;
  Qt::MouseButton pressButton_ = Qt::NoButton;
  bool inDoubleClick_ = false;
};

}  // namespace tw
