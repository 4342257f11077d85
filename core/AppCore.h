#pragma once

#include "ActivityLog.h"
#include "AppIdentity.h"
#include "AppPaths.h"
#include "Catalogue.h"
#include "CheckTimer.h"
#include "DebugLog.h"
#include "FeedEndpoints.h"
#include "FileHelpers.h"
#include "Registry.h"
#include "Settings.h"
#include "SiteTable.h"
#include "SiteTree.h"

namespace tw {

class Clock;

// The application core's parts, owned together for the life of the process:
// identity, settings store, catalogue, the site tree and its staging twin,
// the activity list and the check timer. Constructing it touches no file;
// the stores open on first use.
struct AppCore {
  AppCore(const AppPaths& paths, const Clock& clock, FeedEndpoints endpoints);
  AppCore(const AppCore&) = delete;
  AppCore& operator=(const AppCore&) = delete;

  const Clock& clock;
  AppIdentity identity;
  ActivityLog activity;
  Registry registry;
  Settings settings;
  FeedEndpoints endpoints;
  ProgramFolder programFolder;
  DebugLog debugLog;
  SiteTable sites;
  SiteTree tv;
  SiteTree tvTemp;
  Catalogue catalogue;
  CheckTimer checkTimer;
};

}  // namespace tw
