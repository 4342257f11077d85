#include "mainwindow/AlertManager.h"

#include "core/ActivityLog.h"
#include "core/AppIdentity.h"
#include "mainwindow/AlertHost.h"
#include "mainwindow/NotificationTransport.h"
#include "news/DisplayText.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tw {
namespace {

QRect PrimaryAvailableArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

// How long the primary screen shows a frame, in whole milliseconds.
int FrameMs() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const qreal hz = screen ? screen->refreshRate() : 0;
  return hz >= 1 ? static_cast<int>(std::ceil(1000 / hz)) : 0;
}

}  // namespace

AlertManager::AlertManager(const AppIdentity& identity, AlertHost* host, QObject* parent)
    : QObject(parent), identity_(identity), host_(host), screenArea_(&PrimaryAvailableArea) {
  // Wayland takes a window's shape as where it may be clicked, not as what
  // shows of it.
  slide_.resizeWindow = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

AlertManager::~AlertManager() {
  // Alerts are top-level windows of their own; they go with their manager.
  for (const QPointer<frmAlert>& alert : alerts_) delete alert.data();
}

void AlertManager::setScreenArea(std::function<QRect()> area) {
  screenArea_ = area ? std::move(area) : std::function<QRect()>(&PrimaryAvailableArea);
}

QList<frmAlert*> AlertManager::openAlerts() const {
  QList<frmAlert*> open;
  for (const QPointer<frmAlert>& alert : alerts_) {
    if (alert && alert->phase() != frmAlert::Phase::Closed) open << alert.data();
  }
  return open;
}

void AlertManager::setNotifications(std::unique_ptr<NotificationTransport> notifications) {
  makeNotifications_ = nullptr;
  notifications_ = std::move(notifications);
  if (!notifications_) return;
  connect(notifications_.get(), &NotificationTransport::activated, this, &AlertManager::notificationActivated);
  // Closing one frees only its own entry.
  connect(notifications_.get(), &NotificationTransport::closed, this, [this](quint32 id) { notified_.remove(id); });
}

void AlertManager::ShowAlert(const QString& message, const QString& title, int seconds, bool restore) {
  const QString shownTitle =
      title.isEmpty() ? identity_.ProgTitle + QLatin1Char(' ') + identity_.VersionText : DisplayText(title);
  if (makeNotifications_) setNotifications(makeNotifications_());
  if (notifications_) {
    notify(DisplayText(message), shownTitle, seconds, restore);
  } else {
    showWindow(DisplayText(message), shownTitle, seconds, restore);
  }
}

void AlertManager::showWindow(const QString& message, const QString& title, int seconds, bool restore) {
  // Without a screen there is nowhere to show it; the program goes on.
  if (screenArea_().isEmpty()) return;
  alerts_.removeIf([](const QPointer<frmAlert>& a) { return !a || a->phase() == frmAlert::Phase::Closed; });

  if (slots_.isFull() && !alerts_.isEmpty()) alerts_.first()->Unload();

  // The slide's pace is its own; its steps come no more often than the
  // screen shows frames, as a step between two frames is never seen.
  slideTicker_.setInterval(std::max(slide_.intervalMs, FrameMs()));
  auto* alert = new frmAlert(slots_, screenArea_, slide_, &slideTicker_);
  alert->setWindowIcon(icon_);
  connect(alert, &frmAlert::restoreRequested, this, &AlertManager::restoreFromAlert);
  alerts_.append(alert);

  const qint64 ms = static_cast<qint64>(seconds) * 1000;
  alert->Display(message, title, static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX)), restore);
}

void AlertManager::notify(const QString& message, const QString& title, int seconds, bool restore) {
  DesktopNotification n;
  n.title = title;
  n.text = QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  n.timeoutMs = static_cast<int>(std::clamp<qint64>(static_cast<qint64>(seconds) * 1000, 0, INT_MAX));
  // The same click as on an alert window: the window back, or this one gone.
  n.actionLabel = restore ? QStringLiteral("Open ") + identity_.ProgTitle : QStringLiteral("Close");
  const int clearCount = clearCount_;
  notifications_->Notify(n, [this, message, title, seconds, restore, clearCount](quint32 id) {
    const bool cleared = clearCount != clearCount_;
    if (id != 0) {
      if (cleared) {
        notifications_->Close(id);
      } else {
        notified_.insert(id, restore);
      }
      return;
    }
    if (!saidNoService_ && log_) {
      saidNoService_ = true;
      log_->LogActivity(QStringLiteral("The desktop's notification service did not answer: alerts are shown in "
                                       "windows of their own"),
                        LogLevel::Warning, false);
    }
    if (!cleared) showWindow(message, title, seconds, restore);
  });
}

void AlertManager::notificationActivated(quint32 id, const QString& activationToken) {
  if (!notified_.contains(id)) return;  // another program's
  if (!notified_.value(id)) {
    notified_.remove(id);
    notifications_->Close(id);
    return;
  }
  // Wayland lets a window come forward only with the token of the click
  // that asked for it; the platform takes it from here.
  if (!activationToken.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
  restoreFromAlert();
}

void AlertManager::Clear_Popups() {
  ++clearCount_;
  const QList<frmAlert*> open = openAlerts();
  for (frmAlert* alert : open) alert->Unload();
  for (auto it = notified_.cbegin(); it != notified_.cend(); ++it) notifications_->Close(it.key());
  notified_.clear();
}

void AlertManager::restoreFromAlert() {
  if (host_) {
    if (host_->isMainWindowVisible()) {
      host_->showMainWindowNormal();
    } else {
      host_->GetFromTray();
    }
  }
  Clear_Popups();
}

}  // namespace tw
