#include "mainwindow/DBusNotifications.h"

#include "core/AppIdentity.h"
#include "widgets/WindowPlatform.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantMap>

#include <utility>

namespace tw {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");

}  // namespace

NotificationsProxy::NotificationsProxy(const QDBusConnection& bus, QObject* parent)
    : QDBusAbstractInterface(kService, kPath, "org.freedesktop.Notifications", bus, parent) {}

DBusNotifications::DBusNotifications(const QDBusConnection& bus, QObject* parent)
    : NotificationTransport(parent), proxy_(bus) {
  proxy_.setTimeout(kCallTimeoutMs);
  connect(&proxy_, &NotificationsProxy::ActivationToken, this, [this](uint id, const QString& token) {
    tokenId_ = id;
    token_ = token;
  });
  connect(&proxy_, &NotificationsProxy::ActionInvoked, this, [this](uint id, const QString& actionKey) {
    const QString token = tokenId_ == id ? std::exchange(token_, QString()) : QString();
    if (actionKey == kDefaultAction) Q_EMIT activated(id, token);
  });
  connect(&proxy_, &NotificationsProxy::NotificationClosed, this, [this](uint id, uint) { Q_EMIT closed(id); });
}

void DBusNotifications::Notify(const DesktopNotification& notification, Sent sent) {
  if (capabilitiesKnown_) {
    send(notification, std::move(sent));
    return;
  }
  waiting_.append({notification, std::move(sent)});
  if (waiting_.size() == 1) askCapabilities();
}

void DBusNotifications::askCapabilities() {
  // Also tells whether a service answers at all. A finished call (no bus,
  // say) still reports from the event loop, never from inside Notify.
  auto* watcher = new QDBusPendingCallWatcher(proxy_.asyncCall(QStringLiteral("GetCapabilities")), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<QStringList> reply = *call;
    const QList<Waiting> waiting = std::exchange(waiting_, {});
    if (reply.isError()) {
      // Asked again with the next notification: the service may yet start.
      for (const Waiting& w : waiting) w.sent(0);
      return;
    }
    capabilitiesKnown_ = true;
    readsMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
    for (const Waiting& w : waiting) send(w.notification, w.sent);
  });
}

void DBusNotifications::send(const DesktopNotification& notification, Sent sent) {
  QVariantMap hints;
  // Lets the desktop group the notifications under the program's entry.
  if (const QString entry = QGuiApplication::desktopFileName(); !entry.isEmpty()) {
    hints.insert(QStringLiteral("desktop-entry"), entry);
  }
  const QString body = readsMarkup_ ? notification.text.toHtmlEscaped() : notification.text;
  const QStringList actions{kDefaultAction, notification.actionLabel};
  const QDBusPendingCall call =
      proxy_.asyncCall(QStringLiteral("Notify"), QString::fromLatin1(kProductTitle), 0u, QString::fromLatin1(kIconName),
                       notification.title, body, actions, hints, notification.timeoutMs);
  auto* watcher = new QDBusPendingCallWatcher(call, this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [sent = std::move(sent)](QDBusPendingCallWatcher* w) {
    w->deleteLater();
    const QDBusPendingReply<uint> reply = *w;
    sent(reply.isError() ? 0 : reply.value());
  });
}

void DBusNotifications::Close(quint32 id) { proxy_.asyncCall(QStringLiteral("CloseNotification"), id); }

std::unique_ptr<NotificationTransport> NotificationsForPlatform(const QString& platformName, bool waylandSession) {
  if (PlatformPlacesWindows(platformName) && !waylandSession) return nullptr;
  return std::make_unique<DBusNotifications>();
}

}  // namespace tw
