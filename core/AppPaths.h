#pragma once

#include <QString>

namespace tw {

// Where Tidewire keeps its files.
//  - machine store: settings shared by every local user (single-user mode);
//    /var/lib/tidewire/machine.sqlite, a setgid group folder made by the
//    install step;
//  - user store: settings private to the user (multi-user mode), in the
//    user's XDG data folder;
//  - program folder: the program's own writable folder for downloaded feeds,
//    page files and, in debug builds, logs and saved feeds;
//  - runtime folder: the single-instance lock and socket;
//  - autostart folders, where the desktop finds the programs to start with
//    the session: the user's own ($XDG_CONFIG_HOME/autostart) for
//    multi-user settings, the system's (/etc/xdg/autostart, every user) for
//    single-user settings.
// TIDEWIRE_HOME puts all of them under one directory, the system autostart
// folder included (as autostart/, beside the machine store it belongs
// with); the user's autostart folder still follows XDG_CONFIG_HOME.
struct AppPaths {
  static constexpr const char* kHomeVariable = "TIDEWIRE_HOME";

  // The TIDEWIRE_HOME in force; empty when none is.
  QString home;
  QString machineStore;
  QString userStore;
  QString programFolder;
  QString runtimeFolder;
  QString userAutostartFolder;
  QString systemAutostartFolder;

  static AppPaths FromEnvironment();
  // Everything under home, the user's autostart folder too (config/autostart).
  static AppPaths UnderHome(const QString& home);
};

}  // namespace tw
