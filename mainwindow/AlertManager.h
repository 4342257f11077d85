#pragma once

#include "core/WindowPorts.h"
#include "mainwindow/AlertSlots.h"
#include "mainwindow/SlideTicker.h"
#include "mainwindow/frmAlert.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>

namespace tw {

class ActivityLog;
class AlertHost;
class NotificationTransport;
struct AppIdentity;

// modAlert: raises popup alerts and keeps their shared slot table. The main
// window's Clear_Popups comes here.
//
// Where the program cannot place windows of its own (Wayland), alerts go to
// the desktop's notification service instead, with the same title, text and
// time; a click on one does what a click on an alert window does. Should no
// service answer, the alert shows as a window after all, and the activity
// list says so once.
class AlertManager : public QObject, public AlertSink {
  Q_OBJECT

 public:
  AlertManager(const AppIdentity& identity, AlertHost* host, QObject* parent = nullptr);
  ~AlertManager() override;

  // seconds 0 keeps the alert until it is closed; an empty title becomes
  // the program title and version. With all slots taken, the oldest alert
  // gives up its place, so no more than 100 alerts are ever open.
  void ShowAlert(const QString& message, const QString& title, int seconds, bool restore) override;
  // Closes every open alert at once, notifications included.
  void Clear_Popups();

  // The alerts still open, oldest first.
  QList<frmAlert*> openAlerts() const;
  const AlertSlots& alertSlots() const { return slots_; }

  void setHost(AlertHost* host) { host_ = host; }
  // The main window's icon, shown by every alert raised from now on.
  void setWindowIcon(const QIcon& icon) { icon_ = icon; }
  // Where alerts stack; by default the primary screen's available area.
  void setScreenArea(std::function<QRect()> area);
  void setSlide(AlertSlide slide) { slide_ = slide; }
  const SlideTicker& slideTicker() const { return slideTicker_; }
  // Sends alerts to this notification service from now on; null: alert
  // windows only.
  void setNotifications(std::unique_ptr<NotificationTransport> notifications);
  // The same, made when the first alert is raised: reaching the service
  // (the session bus) is no part of start-up.
  void setNotificationsWhenNeeded(std::function<std::unique_ptr<NotificationTransport>()> make) {
    makeNotifications_ = std::move(make);
  }
  void setActivityLog(ActivityLog* log) { log_ = log; }
  // Notifications shown and not yet closed.
  int openNotifications() const { return static_cast<int>(notified_.size()); }

 private:
  void showWindow(const QString& message, const QString& title, int seconds, bool restore);
  void notify(const QString& message, const QString& title, int seconds, bool restore);
  void notificationActivated(quint32 id, const QString& activationToken);
  void restoreFromAlert();

  const AppIdentity& identity_;
  AlertHost* host_;
  AlertSlots slots_;
  QList<QPointer<frmAlert>> alerts_;
  QIcon icon_;
  std::function<QRect()> screenArea_;
  AlertSlide slide_;
  SlideTicker slideTicker_{slide_.intervalMs};
  ActivityLog* log_ = nullptr;
  bool saidNoService_ = false;
  std::function<std::unique_ptr<NotificationTransport>()> makeNotifications_;
  // Open notifications by id, with whether a click restores the window.
  QHash<quint32, bool> notified_;
  // Counts Clear_Popups: a notification whose answer comes after one is
  // closed (or never shown as a window).
  int clearCount_ = 0;
  // Last: its pending replies go before anything they would touch.
  std::unique_ptr<NotificationTransport> notifications_;
};

}  // namespace tw
