#pragma once

#include <QAccessibleWidget>
#include <QHash>

class QTreeWidgetItem;

namespace tw {

class OptTreeView;

// What screen readers are told of the option tree (tvwOpt): every shown node
// is a check box, an option (radio) button or, for a folder, a tree item,
// with the checked, partly checked and expanded states its picture shows; the
// "Toggle" action does what Space does on it, and a change of value is sent
// as a state change.
//
// Rows are numbered as Qt's tree views number them in the focus and
// selection events they send: the (hidden) header first, then the shown
// rows from the top.
class OptTreeAccessible : public QAccessibleWidget {
 public:
  // Describes the view through this class from now on.
  static void Install(OptTreeView& view);
  // Tells screen readers that the node's checked state changed.
  static void CheckedChanged(QTreeWidgetItem* node);

  explicit OptTreeAccessible(OptTreeView* view);
  ~OptTreeAccessible() override;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

 private:
  OptTreeView* view() const;
  // The shown node at that row from the top, or null.
  QTreeWidgetItem* shownItem(int row) const;
  QAccessibleInterface* rowOf(QTreeWidgetItem* item) const;

  // A row's description lives as long as its node, or this one.
  mutable QHash<QTreeWidgetItem*, QAccessible::Id> rows_;
};

}  // namespace tw
