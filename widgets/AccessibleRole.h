#pragma once

#include <QAccessible>
#include <QString>

#include <functional>

class QWidget;

namespace tw {

// An action a screen reader can invoke on a widget, by its AT-SPI name
// (QAccessibleActionInterface::pressAction() for a button).
struct AccessibleAction {
  QString name;
  std::function<void()> run;
};

// Gives a widget the role screen readers should hear where Qt would guess
// from its class (a frameless strip is a "filler", a picture is a graphic),
// and an action when a click on it does something. Name and description
// stay the widget's accessibleName() / accessibleDescription(). Holds for
// the widget's life.
void SetAccessibleRole(QWidget& widget, QAccessible::Role role, AccessibleAction action = {});

}  // namespace tw
