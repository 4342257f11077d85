#pragma once

#include "Hive.h"

#include <QString>

namespace tw {

// Values set once during start-up and read everywhere. SettingsHive is chosen
// again when the options are saved.
struct AppIdentity {
  QString ProgTitle;
  QString ConsoleName;
  int VersionMajor = 1;
  int VersionMinor = 0;
  int VersionRevision = 311;
  QString VersionText;
  QString SettingsRoot;
  Hive SettingsHive = Hive::LocalMachine;
  // Seconds a new-item alert stays up.
  int AlertDisplayTime = 20;
  QString VersionFileUrl;
};

inline constexpr const char* kProductTitle = "Tidewire";
inline constexpr const char* kConsoleName = "Xbox";

// "v" + major + "." + minor + " build " + the revision in four digits.
QString BuildVersionText(int major, int minor, int revision);

}  // namespace tw
