#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

namespace tw::test {

// One Notify call as the service received it.
struct ReceivedNotification {
  quint32 id = 0;
  QString appName;
  quint32 replacesId = 0;
  QString appIcon;
  QString summary;
  QString body;
  QStringList actions;
  QVariantMap hints;
  qint32 expireTimeout = -1;
};

// The desktop's notification service (org.freedesktop.Notifications) as a
// test plays it on the session bus: it records what it is sent and can click
// a notification as a user would.
class NotificationService : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  explicit NotificationService(QStringList capabilities = {QStringLiteral("actions"), QStringLiteral("body")});
  ~NotificationService() override;

  // Empty when the service has its name on the bus.
  QString problem() const { return problem_; }
  const QList<ReceivedNotification>& received() const { return received_; }
  const QList<quint32>& closeRequests() const { return closeRequests_; }
  bool isOpen(quint32 id) const { return open_.contains(id); }
  // A click: the activation token, the default action, and the notification
  // goes, as desktops do.
  void click(quint32 id, const QString& activationToken);

 public Q_SLOTS:
  QStringList GetCapabilities();
  uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
  void CloseNotification(uint id);

 Q_SIGNALS:
  void NotificationClosed(uint id, uint reason);
  void ActionInvoked(uint id, const QString& actionKey);
  void ActivationToken(uint id, const QString& activationToken);

 private:
  QStringList capabilities_;
  QString problem_;
  QList<ReceivedNotification> received_;
  QList<quint32> closeRequests_;
  QSet<quint32> open_;
  quint32 lastId_ = 0;
};

// A notification area for StatusNotifierItem icons (the tray of KDE Plasma
// and of GNOME's AppIndicator extension): programs register their icons
// with it.
class TrayWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)

 public:
  TrayWatcher();
  ~TrayWatcher() override;

  QString problem() const { return problem_; }
  bool isHostRegistered() const { return true; }
  QStringList items() const { return items_; }
  int protocolVersion() const { return 0; }
  // Icons whose program still holds them on the bus.
  int iconsShown() const;

 public Q_SLOTS:
  void RegisterStatusNotifierItem(const QString& service);
  void RegisterStatusNotifierHost(const QString& service);

 Q_SIGNALS:
  void StatusNotifierItemRegistered(const QString& service);

 private:
  QStringList items_;
  QString problem_;
};

}  // namespace tw::test
