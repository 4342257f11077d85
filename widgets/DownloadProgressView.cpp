#include "widgets/DownloadProgressView.h"

#include "widgets/ProgressValue.h"

#include <QProgressBar>

#include <algorithm>

namespace tw {

void DownloadProgressView::setProgressMax(int max) {
  if (!bar_) return;
  bar_->setMinimum(0);
  bar_->setMaximum(std::max(max, 1));
}

void DownloadProgressView::setProgressValue(int value) {
  if (bar_) SetProgressValue(*bar_, std::clamp(value, bar_->minimum(), bar_->maximum()));
}

}  // namespace tw
