#pragma once

#include "news/DownloadProgressBar.h"

#include <QPointer>
#include <QProgressBar>

namespace tw {

// The main window's pBarDL as the fetch cycle drives it.
class DownloadProgressView : public DownloadProgressBar {
 public:
  explicit DownloadProgressView(QProgressBar* bar = nullptr) : bar_(bar) {}
  void setBar(QProgressBar* bar) { bar_ = bar; }

  void setProgressMax(int max) override;
  void setProgressValue(int value) override;

 private:
  QPointer<QProgressBar> bar_;
};

}  // namespace tw
