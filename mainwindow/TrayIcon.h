#pragma once

#include "core/WindowPorts.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace tw {

class ActivityLog;
class StatusPanels;
class TrayBackend;
class TrayHost;

// The program's notification-area icon: hides the main window in the tray
// and brings it back, keeps the tip, blinks for unseen news, answers the
// icon's double click and right-button menu (mnuTrayPopup), and puts the
// icon back when the notification area returns.
//
// On a desktop without a notification area the window is never hidden:
// isTrayAvailable() is false, the activity list says why (once), and
// callers treat "Close To Tray" as off. The main window's resize handler
// must check it too before sending a minimised window to the tray.
class TrayIcon : public QObject, public TrayControl {
  Q_OBJECT

 public:
  static constexpr int kBlinkMs = 600;
  static constexpr int kWatchMs = 1000;
  // Watch ticks without a notification area after which a window hidden in
  // the tray is shown again, so it stays reachable.
  static constexpr int kTrayGoneTicks = 10;

  TrayIcon(QWidget& window, StatusPanels& panels, TrayHost& host, QObject* parent = nullptr);
  ~TrayIcon() override;

  // Seams: the platform icon and whether a notification area exists
  // (QSystemTrayIcon::isSystemTrayAvailable by default).
  void setBackend(std::unique_ptr<TrayBackend> backend);
  void setAvailabilitySource(std::function<bool()> source);
  void setActivityLog(ActivityLog* log) { log_ = log; }

  // TrayControl
  bool isTrayAvailable() const override;
  bool isInTray() const override { return tmrSysTrayCrash_.isActive(); }
  void startBlinking() override;
  void ChangeTrayTip(const QString& tip) override;
  // Hides the window and shows the icon. No animation is drawn (animate is
  // accepted for the callers' sake); the desktop's own effects apply.
  void SendToTray(bool animate) override;
  void RemoveTrayIcon() override;

  void Enable_TrayIcon();
  void GetFromTray();
  void ChangeTrayIcon(const QIcon& icon);

  // "Open " + the program title, as the menu's first entry reads.
  void setOpenCaption(const QString& progTitle);
  QMenu* mnuTrayPopup() const { return mnuTrayPopup_; }
  QAction* mnuOpen() const { return mnuOpen_; }

  // The tip as last given: the whole text, however long (the desktop's
  // tooltips have no length limit).
  QString tipField() const { return recordTip_; }
  QString TrayTipText() const { return trayTipText_; }
  QIcon picTrayIcon() const { return picture_; }
  // "X" while the blink has the icon blank.
  QString picTrayIconTag() const { return pictureTag_; }
  bool isIconShown() const { return iconShown_; }

  const QTimer& tmrAniIcon() const { return tmrAniIcon_; }
  const QTimer& tmrSysTrayCrash() const { return tmrSysTrayCrash_; }
  void tmrAniIcon_Timer();
  void tmrSysTrayCrash_Timer();
  // An action on the icon: a double click brings the window back.
  void trayActivated(QSystemTrayIcon::ActivationReason reason);

 Q_SIGNALS:
  void updateRequested();    // mnuUpdate1 "Update News Lists"
  void settingsRequested();  // mnuSettings2 "Settings"
  void exitRequested();      // mnuExit2 "Exit"

 private:
  void AddTrayIcon();
  void removeIcon();
  void LeaveTray();
  QIcon windowIcon() const;
  void sayOnce(bool& said, const QString& message) const;

  QWidget& window_;
  StatusPanels& panels_;
  TrayHost& host_;
  ActivityLog* log_ = nullptr;
  std::unique_ptr<TrayBackend> backend_;
  std::function<bool()> available_;

  QMenu* mnuTrayPopup_ = nullptr;
  QAction* mnuOpen_ = nullptr;

  QTimer tmrAniIcon_;
  QTimer tmrSysTrayCrash_;
  QIcon picture_;
  QString pictureTag_;
  QString recordTip_;
  QString trayTipText_;
  bool iconShown_ = false;
  bool lastAvailable_ = false;
  int goneTicks_ = 0;
  mutable bool saidNoTray_ = false;
  mutable bool saidTrayGone_ = false;
};

}  // namespace tw
