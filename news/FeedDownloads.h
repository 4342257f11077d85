#pragma once

#include "download/NetworkReader.h"
#include "download/bkDLControl.h"
#include "news/FetchCycle.h"
#include "news/UpdateCheck.h"

namespace tw {

class AlertSink;
class DownloadProgressBar;
class FeedParsing;
class InternalErrorNotice;
class StatusPanels;
class TrayControl;
class WindowPresence;
struct AppCore;

// The main window's three download controls (DL for the feeds, dlSys for the
// version file, dlCache, which nothing starts) with the update check and the
// fetch cycle that drive them. The core's check timer runs its checks through
// this fetch cycle from construction on; start-up and the "update lists"
// command are the owner's to connect.
struct FeedDownloads {
  explicit FeedDownloads(AppCore& core, InternalErrorNotice* notice = nullptr, TransferLimits limits = {});

  // The window's side: caption, tray tip, alerts, status panels, pBarDL.
  void connectWindow(WindowPresence* window, TrayControl* tray, AlertSink* alerts, StatusPanels* panels,
                     DownloadProgressBar* pBarDL);

  bkDLControl DL;
  bkDLControl dlSys;
  bkDLControl dlCache;
  UpdateCheck update;
  FetchCycle fetch;
};

}  // namespace tw
