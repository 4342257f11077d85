#include "options/OptTreeAccessible.h"

#include "options/OptNode.h"
#include "options/OptTreeView.h"
#include "widgets/AccessibleLeaf.h"

#include <QAccessibleActionInterface>
#include <QHeaderView>
#include <QPointer>
#include <QWindow>

namespace tw {

// One node of the tree as screen readers see it. It holds the node's place
// in the model, which follows the node while others come and go.
class OptRowAccessible : public AccessibleLeaf<OptTreeView>, public QAccessibleActionInterface {
 public:
  OptRowAccessible(OptTreeView* view, QTreeWidgetItem* item)
      : AccessibleLeaf(view), index_(view->indexFromItem(item)) {}

  QTreeWidgetItem* item() const { return owner() && index_.isValid() ? owner()->itemFromIndex(index_) : nullptr; }

  bool isValid() const override { return item() != nullptr; }

  QString text(QAccessible::Text t) const override {
    const QTreeWidgetItem* node = item();
    return node && t == QAccessible::Name ? node->text(0) : QString();
  }

  QRect rect() const override {
    QTreeWidgetItem* node = item();
    if (!node) return {};
    const QRect r = owner()->visualItemRect(node);
    return r.isNull() ? QRect() : QRect(owner()->viewport()->mapToGlobal(r.topLeft()), r.size());
  }

  QAccessible::Role role() const override {
    switch (kind()) {
      case OptNodeKind::Check: return QAccessible::CheckBox;
      case OptNodeKind::Option: return QAccessible::RadioButton;
      default: return QAccessible::TreeItem;
    }
  }

  QAccessible::State state() const override {
    QAccessible::State st;
    QTreeWidgetItem* node = item();
    if (!node) {
      st.invalid = true;
      return st;
    }
    st.focusable = true;
    st.selectable = true;
    st.selected = node->isSelected();
    st.focused = owner()->hasFocus() && owner()->currentItem() == node;
    st.disabled = !owner()->isEnabled();
    st.invisible = !owner()->viewport()->rect().intersects(owner()->visualItemRect(node));
    if (checkable()) {
      const int value = ValueOfImage(static_cast<const OptNode*>(node)->Image());
      st.checkable = true;
      st.checked = value == 1;
      st.checkStateMixed = value == 2;
    }
    if (node->childCount() > 0) {
      st.expandable = true;
      st.expanded = node->isExpanded();
      st.collapsed = !node->isExpanded();
    }
    return st;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  // Toggle: a check or an option as Space does; a folder opens or closes.
  QStringList actionNames() const override {
    const QTreeWidgetItem* node = item();
    if (!node) return {};
    QStringList names{setFocusAction()};
    if (checkable() || node->childCount() > 0) names.prepend(toggleAction());
    return names;
  }

  void doAction(const QString& name) override {
    QTreeWidgetItem* node = item();
    if (!node) return;
    if (name == setFocusAction()) {
      owner()->setFocus(Qt::OtherFocusReason);
      owner()->setCurrentItem(node);
    } else if (name == toggleAction()) {
      if (checkable()) {
        owner()->toggleNode(static_cast<OptNode*>(node));
      } else {
        node->setExpanded(!node->isExpanded());
      }
    }
  }

  QStringList keyBindingsForAction(const QString& name) const override {
    return name == toggleAction() && checkable() ? QStringList{QStringLiteral("Space")} : QStringList();
  }

 private:
  OptNodeKind kind() const {
    const QTreeWidgetItem* node = item();
    return node && node->type() == OptNode::kType ? static_cast<const OptNode*>(node)->Kind() : OptNodeKind::Other;
  }
  bool checkable() const { return kind() == OptNodeKind::Check || kind() == OptNodeKind::Option; }

  QPersistentModelIndex index_;
};

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
  auto* view = qobject_cast<OptTreeView*>(object);
  return view ? new OptTreeAccessible(view) : nullptr;
}

}  // namespace

void OptTreeAccessible::Install(OptTreeView& view) {
  static const bool installed = (QAccessible::installFactory(&Factory), true);
  Q_UNUSED(installed);
  // The tree widget sends events while it is being built, and a description
  // Qt made of it then would stay.
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(&view);
  if (described && !dynamic_cast<OptTreeAccessible*>(described)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
  }
}

void OptTreeAccessible::CheckedChanged(QTreeWidgetItem* node) {
  if (!QAccessible::isActive() || !node->treeWidget()) return;
  auto* tree = dynamic_cast<OptTreeAccessible*>(QAccessible::queryAccessibleInterface(node->treeWidget()));
  if (!tree) return;
  QAccessible::State changed;
  changed.checked = true;
  changed.checkStateMixed = true;
  QAccessibleStateChangeEvent event(tree->rowOf(node), changed);
  QAccessible::updateAccessibility(&event);
}

OptTreeAccessible::OptTreeAccessible(OptTreeView* view) : QAccessibleWidget(view, QAccessible::Tree) {}

OptTreeAccessible::~OptTreeAccessible() {
  for (const QAccessible::Id id : std::as_const(rows_)) QAccessible::deleteAccessibleInterface(id);
}

OptTreeView* OptTreeAccessible::view() const { return static_cast<OptTreeView*>(widget()); }

QTreeWidgetItem* OptTreeAccessible::shownItem(int row) const {
  QTreeWidgetItem* item = view()->topLevelItem(0);
  for (int i = 0; item && i < row; ++i) item = view()->itemBelow(item);
  return item;
}

int OptTreeAccessible::childCount() const {
  int rows = 0;
  for (QTreeWidgetItem* item = view()->topLevelItem(0); item; item = view()->itemBelow(item)) ++rows;
  return 1 + rows;
}

QAccessibleInterface* OptTreeAccessible::child(int index) const {
  if (index == 0) return QAccessible::queryAccessibleInterface(view()->header());
  QTreeWidgetItem* item = index > 0 ? shownItem(index - 1) : nullptr;
  return item ? rowOf(item) : nullptr;
}

int OptTreeAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (child && child->object() == view()->header()) return 0;
  const auto* row = dynamic_cast<const OptRowAccessible*>(child);
  QTreeWidgetItem* wanted = row ? row->item() : nullptr;
  if (!wanted) return -1;
  int index = 1;
  for (QTreeWidgetItem* item = view()->topLevelItem(0); item; item = view()->itemBelow(item), ++index) {
    if (item == wanted) return index;
  }
  return -1;
}

QAccessibleInterface* OptTreeAccessible::childAt(int x, int y) const {
  QTreeWidgetItem* item = view()->itemAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
  return item ? rowOf(item) : nullptr;
}

QAccessibleInterface* OptTreeAccessible::focusChild() const {
  QTreeWidgetItem* current = view()->currentItem();
  return current && view()->hasFocus() ? rowOf(current) : nullptr;
}

QAccessibleInterface* OptTreeAccessible::rowOf(QTreeWidgetItem* item) const {
  if (QAccessibleInterface* known = QAccessible::accessibleInterface(rows_.value(item))) {
    // A node made where a removed one was is another node.
    if (static_cast<OptRowAccessible*>(known)->item() == item) return known;
  }
  for (auto it = rows_.begin(); it != rows_.end();) {
    QAccessibleInterface* row = QAccessible::accessibleInterface(it.value());
    if (row && row->isValid()) {
      ++it;
      continue;
    }
    if (row) QAccessible::deleteAccessibleInterface(it.value());
    it = rows_.erase(it);
  }
  auto* row = new OptRowAccessible(view(), item);
  rows_.insert(item, QAccessible::registerAccessibleInterface(row));
  return row;
}

}  // namespace tw
