#include "DesktopServices.h"

#include <QDBusConnectionInterface>

namespace tw::test {
namespace {

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// Closing reasons of the notification protocol.
constexpr uint kDismissed = 2;
constexpr uint kClosedByCall = 3;

QString Publish(QObject* object, const QString& path, const QString& name) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return QStringLiteral("no session bus: run under dbus-run-session");
  if (!bus.registerObject(path, object,
                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                              QDBusConnection::ExportAllProperties)) {
    return QStringLiteral("cannot register ") + path;
  }
  if (!bus.registerService(name)) return name + QStringLiteral(" is taken");
  return {};
}

void Withdraw(const QString& path, const QString& name) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterService(name);
  bus.unregisterObject(path);
}

}  // namespace

NotificationService::NotificationService(QStringList capabilities) : capabilities_(std::move(capabilities)) {
  problem_ = Publish(this, QStringLiteral("/org/freedesktop/Notifications"), kNotifications);
}

NotificationService::~NotificationService() { Withdraw(QStringLiteral("/org/freedesktop/Notifications"), kNotifications); }

QStringList NotificationService::GetCapabilities() { return capabilities_; }

uint NotificationService::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                 const QString& summary, const QString& body, const QStringList& actions,
                                 const QVariantMap& hints, int expireTimeout) {
  ReceivedNotification n;
  n.id = ++lastId_;
  n.appName = appName;
  n.replacesId = replacesId;
  n.appIcon = appIcon;
  n.summary = summary;
  n.body = body;
  n.actions = actions;
  n.hints = hints;
  n.expireTimeout = expireTimeout;
  received_ << n;
  open_ << n.id;
  return n.id;
}

void NotificationService::CloseNotification(uint id) {
  closeRequests_ << id;
  if (open_.remove(id)) Q_EMIT NotificationClosed(id, kClosedByCall);
}

void NotificationService::click(quint32 id, const QString& activationToken) {
  if (!activationToken.isEmpty()) Q_EMIT ActivationToken(id, activationToken);
  Q_EMIT ActionInvoked(id, QStringLiteral("default"));
  if (open_.remove(id)) Q_EMIT NotificationClosed(id, kDismissed);
}

TrayWatcher::TrayWatcher() { problem_ = Publish(this, QStringLiteral("/StatusNotifierWatcher"), kWatcher); }

TrayWatcher::~TrayWatcher() { Withdraw(QStringLiteral("/StatusNotifierWatcher"), kWatcher); }

void TrayWatcher::RegisterStatusNotifierItem(const QString& service) {
  // Qt names an icon by the bus name of the connection that holds it.
  items_ << service;
  Q_EMIT StatusNotifierItemRegistered(service);
}

void TrayWatcher::RegisterStatusNotifierHost(const QString&) {}

int TrayWatcher::iconsShown() const {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  int shown = 0;
  for (const QString& owner : items_) shown += bus && bus->isServiceRegistered(owner) ? 1 : 0;
  return shown;
}

}  // namespace tw::test
