#include "widgets/ProgressValue.h"

#include <QProgressBar>

namespace tw {

void SetProgressValue(QProgressBar& bar, int value) {
  if (bar.value() == value) return;
  // Only a bar that paints now is held back: one whose updates are off
  // (its window is being built or hidden) stays as it was.
  if (!bar.updatesEnabled()) {
    bar.setValue(value);
    return;
  }
  bar.setUpdatesEnabled(false);
  bar.setValue(value);
  // Turning updates on again asks for the repaint, queued like any update().
  bar.setUpdatesEnabled(true);
}

}  // namespace tw
