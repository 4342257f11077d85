#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tw {

// One alert as the desktop's notification service shows it.
struct DesktopNotification {
  QString title;
  // Plain text; lines are separated by "\n".
  QString text;
  // How long it stays; 0 keeps it until it is closed.
  int timeoutMs = 0;
  // Caption of the default action, which a click on the notification runs.
  QString actionLabel;
};

// The desktop's notification service, as the alerts use it where the
// program cannot place alert windows of its own. Replies and signals arrive
// on the user-interface thread.
class NotificationTransport : public QObject {
  Q_OBJECT

 public:
  // Gets the service's id for a notification, or 0 when no service took it.
  using Sent = std::function<void(quint32 id)>;

  using QObject::QObject;

  // Shows a notification. `sent` is called later, never from inside Notify.
  virtual void Notify(const DesktopNotification& notification, Sent sent) = 0;
  // Takes a notification off the desktop.
  virtual void Close(quint32 id) = 0;

 Q_SIGNALS:
  // The notification was clicked (its default action). activationToken: the
  // token the desktop gave with the click for bringing a window forward
  // (empty when it gave none).
  void activated(quint32 id, const QString& activationToken);
  // The notification is gone: expired, dismissed, or closed by the program.
  void closed(quint32 id);
};

}  // namespace tw
