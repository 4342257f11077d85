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
//  - runtime folder: the single-instance lock and socket.
// TIDEWIRE_HOME puts all of them under one directory.
struct AppPaths {
  static constexpr const char* kHomeVariable = "TIDEWIRE_HOME";

  QString machineStore;
  QString userStore;
  QString programFolder;
  QString runtimeFolder;

  static AppPaths FromEnvironment();
  static AppPaths UnderHome(const QString& home);
};

}  // namespace tw
