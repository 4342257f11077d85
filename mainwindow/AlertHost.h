#pragma once

namespace tw {

// What a popup alert needs of the main window when its message is clicked.
class AlertHost {
 public:
  virtual ~AlertHost() = default;
  virtual bool isMainWindowVisible() const = 0;
  // A visible (perhaps minimised) main window goes back to the normal state.
  virtual void showMainWindowNormal() = 0;
  // Brings the window back from the tray.
  virtual void GetFromTray() = 0;
};

}  // namespace tw
