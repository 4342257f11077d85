#pragma once

#include "Hive.h"

#include <QString>

namespace tw {

class ActivityLog;
class Registry;
struct AppIdentity;
struct AppPaths;

// Starting with the desktop session. The Run value (named after the program,
// holding the running executable's full path) in the settings hive records
// the choice; an XDG autostart entry makes it happen: in the user's autostart
// folder for multi-user settings, in the system's (every user of the
// machine) for single-user settings. The two always agree: the value is
// written only once the entry is, so the options show what really happens.
class Autostart {
 public:
  Autostart(Registry& registry, const AppIdentity& identity, const AppPaths& paths, QString executablePath,
            ActivityLog& log);

  // On when the Run value under hive holds exactly this executable's path and
  // that mode's entry exists.
  bool IsOn(Hive hive) const;
  // Removes the value and the entry from both modes' places; when on, writes
  // them again for hive only. A folder that cannot be written or cleaned is
  // an error line in the activity list naming it.
  void Apply(bool on, Hive hive);

  // The entry's file in hive's autostart folder. Its name is the installed
  // desktop entry's, so the desktop takes both for the same program.
  QString entryPath(Hive hive) const;
  const QString& executablePath() const { return executablePath_; }

  // The desktop entry that starts executablePath (under home, when given,
  // as TIDEWIRE_HOME).
  static QString DesktopEntry(const QString& progTitle, const QString& executablePath, const QString& home);

 private:
  bool writeEntry(Hive hive);
  void removeEntry(Hive hive);
  QString storedPath(Hive hive) const;

  Registry& registry_;
  const AppIdentity& identity_;
  QString userFolder_;
  QString systemFolder_;
  QString home_;
  QString executablePath_;
  ActivityLog& log_;
};

}  // namespace tw
