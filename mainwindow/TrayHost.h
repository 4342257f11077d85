#pragma once

namespace tw {

// What the tray needs of the main window besides the window itself.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // Closes every popup alert.
  virtual void Clear_Popups() = 0;
  // The next resize must not send the window straight back to the tray.
  virtual void setSkipTrayOnMinimise() = 0;
};

}  // namespace tw
