#include "widgets/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

namespace tw {
namespace {

struct Described {
  QAccessible::Role role;
  AccessibleAction action;
};

QHash<const QObject*, Described>& Widgets() {
  static QHash<const QObject*, Described> widgets;
  return widgets;
}

class RoleAccessible : public QAccessibleWidget {
 public:
  RoleAccessible(QWidget* widget, const Described& described)
      : QAccessibleWidget(widget, described.role), action_(described.action) {}

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (action_.run) names.prepend(action_.name);
    return names;
  }

  void doAction(const QString& name) override {
    if (action_.run && name == action_.name) {
      action_.run();
    } else {
      QAccessibleWidget::doAction(name);
    }
  }

 private:
  AccessibleAction action_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  const auto found = Widgets().constFind(object);
  if (found == Widgets().cend() || !object->isWidgetType()) return nullptr;
  return new RoleAccessible(static_cast<QWidget*>(object), *found);
}

}  // namespace

void SetAccessibleRole(QWidget& widget, QAccessible::Role role, AccessibleAction action) {
  static const bool installed = (QAccessible::installFactory(&Factory), true);
  Q_UNUSED(installed);
  if (!Widgets().contains(&widget)) {
    QObject::connect(&widget, &QObject::destroyed, [](QObject* gone) { Widgets().remove(gone); });
  }
  Widgets().insert(&widget, {role, std::move(action)});
  // Qt describes a widget as soon as an event about it goes out, which can
  // happen while it is being built: a description made before this one
  // would stay.
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(&widget);
  if (described && !dynamic_cast<RoleAccessible*>(described)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
  }
}

}  // namespace tw
