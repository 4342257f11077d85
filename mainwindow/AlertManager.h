#pragma once

#include "core/WindowPorts.h"
#include "mainwindow/AlertSlots.h"
#include "mainwindow/frmAlert.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

namespace tw {

class AlertHost;
struct AppIdentity;

// modAlert: raises popup alerts and keeps their shared slot table. The main
// window's Clear_Popups comes here.
class AlertManager : public QObject, public AlertSink {
  Q_OBJECT

 public:
  AlertManager(const AppIdentity& identity, AlertHost* host, QObject* parent = nullptr);
  ~AlertManager() override;

  // seconds 0 keeps the alert until it is closed; an empty title becomes
  // the program title and version. With all slots taken, the oldest alert
  // gives up its place, so no more than 100 alerts are ever open.
  void ShowAlert(const QString& message, const QString& title, int seconds, bool restore) override;
  // Closes every open alert at once.
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

 private:
  void restoreFromAlert();

  const AppIdentity& identity_;
  AlertHost* host_;
  AlertSlots slots_;
  QList<QPointer<frmAlert>> alerts_;
  QIcon icon_;
  std::function<QRect()> screenArea_;
  AlertSlide slide_;
};

}  // namespace tw
