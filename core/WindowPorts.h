#pragma once

#include <QString>

namespace tw {

class Settings;
class WindowGeometry;
struct AppIdentity;

// The main window as the engine sees it: its caption and whether the user
// can see it.
class WindowPresence {
 public:
  virtual ~WindowPresence() = default;
  virtual QString caption() const = 0;
  virtual void setCaption(const QString& caption) = 0;
  virtual bool isVisible() const = 0;
  virtual bool isMinimized() const = 0;
};

// The notification-area icon, as the engine drives it.
class TrayControl {
 public:
  virtual ~TrayControl() = default;
  // Whether the desktop has a notification area at all.
  virtual bool isTrayAvailable() const = 0;
  // True while the window lives in the tray (the tray watch is running).
  virtual bool isInTray() const = 0;
  // Starts the blink that tells of unseen news.
  virtual void startBlinking() = 0;
  // The icon's tooltip, shown whole.
  virtual void ChangeTrayTip(const QString& tip) = 0;
  virtual void SendToTray(bool animate) = 0;
  virtual void RemoveTrayIcon() = 0;
};

// Popup alerts: the one way to raise one. seconds 0 keeps it until closed;
// restore: a click on the message brings the main window back.
class AlertSink {
 public:
  virtual ~AlertSink() = default;
  virtual void ShowAlert(const QString& message, const QString& title, int seconds, bool restore) = 0;
};

// The window-side steps of start-up and shutdown.
class MainWindowPort : public WindowPresence {
 public:
  virtual void installMinimumSizeHook() = 0;
  virtual void removeMinimumSizeHook() = 0;
  // The product icon becomes the window's and the tray's; the tray menu's
  // first entry reads "Open " + the title.
  virtual void applyProductIdentity(const QString& progTitle) = 0;
  // Sizes, menus, image lists, the visible strips and the "ver" panel.
  virtual void applyDisplaySettings(const Settings& settings, const AppIdentity& identity) = 0;
  // Shows or hides the browser and download strips and the activity list as
  // the settings say, and lays the window out again.
  virtual void showStrips(const Settings& settings) = 0;
  // Sets the minimised state; the window shows minimised.
  virtual void showMinimized() = 0;
  // Shows the window, already placed, in the state it has been given;
  // false leaves it hidden (it lives in the tray).
  virtual void showPlaced(bool show) = 0;
  virtual WindowGeometry& placement() = 0;
  // The splitter's bar position, applied to the window's own size even
  // while the window has not been shown yet.
  virtual void setSplitterPosition(int twips) = 0;
  virtual int splitterPosition() const = 0;
  virtual void focusTree() = 0;
  virtual void unloadWindows() = 0;
};

}  // namespace tw
