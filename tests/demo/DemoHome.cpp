#include "DemoHome.h"

#include "core/AppIdentity.h"
#include "core/AppPaths.h"
#include "core/Registry.h"
#include "core/Settings.h"

#include <QDir>

namespace tw::demo {

bool SeedDemoHome(const QString& home, int intervalMinutes) {
  if (!QDir().mkpath(home)) return false;
  const AppPaths paths = AppPaths::UnderHome(home);
  bool failed = false;
  Registry registry(paths.machineStore, paths.userStore, [&failed](const QString&, LogLevel) { failed = true; });
  AppIdentity identity;
  identity.SettingsRoot = QStringLiteral("Software\\") + QString::fromLatin1(kProductTitle);
  identity.SettingsHive = Hive::LocalMachine;
  registry.CreateRegKey(identity.SettingsHive, identity.SettingsRoot);
  Settings settings(registry, identity);

  const auto missing = [&](const char* name) {
    return registry.QueryRegValue(identity.SettingsHive, identity.SettingsRoot, QString::fromLatin1(name)).isEmpty();
  };
  if (missing(setting::CheckAtStartup.name)) settings.setFlag(setting::CheckAtStartup, true);
  if (missing(setting::CheckIntervalMinutes.name)) settings.setNumber(setting::CheckIntervalMinutes, intervalMinutes);
  // A demo shows what there is to see: the activity list, both progress
  // strips, coloured site titles, and a window large enough for them.
  for (const FlagSetting* flag : {&setting::ShowActivityLog, &setting::ShowDownloadProgress, &setting::ShowWebProgress,
                                  &setting::ColouredTitles}) {
    if (missing(flag->name)) settings.setFlag(*flag, true);
  }
  if (missing(setting::SplitterPosition.name)) settings.setNumber(setting::SplitterPosition, 4500);
  const QString window = QStringLiteral("frmMain");
  if (settings.placement(window, setting::PlacementWidth).isEmpty()) {
    settings.setPlacement(window, setting::PlacementWidth, 1040 * 15);
    settings.setPlacement(window, setting::PlacementHeight, 720 * 15);
  }
  return !failed && !missing(setting::CheckAtStartup.name);
}

}  // namespace tw::demo
