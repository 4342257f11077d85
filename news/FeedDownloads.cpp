#include "news/FeedDownloads.h"

#include "core/AppCore.h"

namespace tw {

FeedDownloads::FeedDownloads(AppCore& core, InternalErrorNotice* notice, TransferLimits limits)
    : DL(new NetworkReader(limits), notice),
      dlSys(new NetworkReader(limits), notice),
      dlCache(new NetworkReader(limits), notice),
      update(core, dlSys),
      fetch(core, DL, dlSys, update) {
  core.checkTimer.setFeedChecker(&fetch);
}

void FeedDownloads::connectWindow(WindowPresence* window, TrayControl* tray, AlertSink* alerts, StatusPanels* panels,
                                  DownloadProgressBar* pBarDL) {
  fetch.setPorts(window, tray, alerts, panels, pBarDL);
  update.setAlertSink(alerts);
}

}  // namespace tw
