#pragma once

namespace tw {

// The main window's feed progress bar (pBarDL), as the fetch cycle drives it.
class DownloadProgressBar {
 public:
  virtual ~DownloadProgressBar() = default;
  virtual void setProgressMax(int max) = 0;
  virtual void setProgressValue(int value) = 0;
};

}  // namespace tw
