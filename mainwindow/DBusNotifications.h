#pragma once

#include "mainwindow/NotificationTransport.h"

#include <QDBusAbstractInterface>
#include <QDBusConnection>
#include <QList>

#include <memory>

namespace tw {

// org.freedesktop.Notifications at its usual place: its D-Bus signals are
// Qt signals of this object.
class NotificationsProxy : public QDBusAbstractInterface {
  Q_OBJECT

 public:
  NotificationsProxy(const QDBusConnection& bus, QObject* parent = nullptr);

 Q_SIGNALS:
  void ActionInvoked(uint id, const QString& actionKey);
  void NotificationClosed(uint id, uint reason);
  void ActivationToken(uint id, const QString& token);
};

// The desktop's notification service over D-Bus (the freedesktop.org
// Desktop Notifications interface). Each notification carries the program's
// icon, its desktop entry and one default action; its text is escaped where
// the service reads markup. A service that does not answer within
// kCallTimeoutMs counts as none.
class DBusNotifications : public NotificationTransport {
  Q_OBJECT

 public:
  static constexpr int kCallTimeoutMs = 10000;
  // The theme icon the program installs with its desktop entry.
  static constexpr const char* kIconName = "tidewire";

  explicit DBusNotifications(const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

  void Notify(const DesktopNotification& notification, Sent sent) override;
  void Close(quint32 id) override;

 private:
  struct Waiting {
    DesktopNotification notification;
    Sent sent;
  };
  void askCapabilities();
  void send(const DesktopNotification& notification, Sent sent);

  NotificationsProxy proxy_;
  // The service's capabilities are asked once, before the first notification;
  // notifications raised meanwhile wait for the answer.
  bool capabilitiesKnown_ = false;
  bool readsMarkup_ = false;
  QList<Waiting> waiting_;
  // The desktop sends the token for a click just before the click itself.
  quint32 tokenId_ = 0;
  QString token_;
};

// The notification service alerts use on this platform: none where the
// program places its own alert windows (X11), the desktop's over D-Bus where
// it cannot (Wayland, and X11 through XWayland in a Wayland session).
std::unique_ptr<NotificationTransport> NotificationsForPlatform(const QString& platformName,
                                                                bool waylandSession = false);

}  // namespace tw
