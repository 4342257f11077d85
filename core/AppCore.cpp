#include "AppCore.h"

#include "BuildFlags.h"

namespace tw {

AppCore::AppCore(const AppPaths& paths, const Clock& clockSource, FeedEndpoints feedEndpoints)
    : clock(clockSource),
      activity(clockSource),
      registry(paths.machineStore, paths.userStore,
               [this](const QString& message, LogLevel level) { activity.LogActivity(message, level, true); }),
      settings(registry, identity),
      endpoints(std::move(feedEndpoints)),
      programFolder(paths.programFolder),
      debugLog(paths.programFolder, QString::fromLatin1(kProductTitle), clockSource, DebugBuild),
      catalogue(sites, settings, tv),
      checkTimer(settings, debugLog) {}

}  // namespace tw
