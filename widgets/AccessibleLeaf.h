#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace tw {

// What screen readers are told of a part a widget draws, with no object of
// its own and nothing inside it (a tree's row, a page's paragraph): its
// parent is the widget's description, its window the widget's. Subclasses
// give the rest: whether it is still there, its text, place, role and state.
template <class Owner>
class AccessibleLeaf : public QAccessibleInterface {
 public:
  explicit AccessibleLeaf(Owner* owner) : owner_(owner) {}

  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return owner_ ? owner_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  // Null once the widget has gone.
  Owner* owner() const { return owner_.data(); }

 private:
  QPointer<Owner> owner_;
};

}  // namespace tw
