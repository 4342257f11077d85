#pragma once

#include "core/EngineHooks.h"

namespace tw {

struct AppCore;
class AlertSink;
class TrayControl;
class WindowPresence;

// Counts a site's items from their status tags and shows the result on its
// tree node: the caption carries the counts, the node is bold while new items
// exist and its background tells new, unread and read apart. It is the one
// place that consumes "<VERY_NEW>": the first refresh after a merge counts
// those items, removes the marker, starts the tray blink and, when asked to
// announce, raises the new-item alert, so each arrival is announced once.
class SiteTitles : public SiteTitleRefresher {
 public:
  SiteTitles(AppCore& core, AlertSink& alerts, TrayControl& tray, const WindowPresence& window);

  void RefreshSiteTitle(int site, bool announce) override;

 private:
  AppCore& core_;
  AlertSink& alerts_;
  TrayControl& tray_;
  const WindowPresence& window_;
};

}  // namespace tw
