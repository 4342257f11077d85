#include "AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace tw {
namespace {
constexpr const char* kMachineFolder = "/var/lib/tidewire";
constexpr const char* kSystemAutostartFolder = "/etc/xdg/autostart";

QString UserAutostartFolder() {
  QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  return config + QStringLiteral("/autostart");
}
}  // namespace

AppPaths AppPaths::UnderHome(const QString& home) {
  const QDir dir(home);
  AppPaths paths;
  paths.home = dir.absolutePath();
  paths.machineStore = dir.filePath(QStringLiteral("machine.sqlite"));
  paths.userStore = dir.filePath(QStringLiteral("user.sqlite"));
  paths.programFolder = dir.filePath(QStringLiteral("program"));
  paths.runtimeFolder = dir.filePath(QStringLiteral("run"));
  paths.userAutostartFolder = dir.filePath(QStringLiteral("config/autostart"));
  paths.systemAutostartFolder = dir.filePath(QStringLiteral("autostart"));
  return paths;
}

AppPaths AppPaths::FromEnvironment() {
  const QString home = qEnvironmentVariable(kHomeVariable);
  if (!home.isEmpty()) {
    AppPaths paths = UnderHome(QDir(home).absolutePath());
    paths.userAutostartFolder = UserAutostartFolder();
    return paths;
  }

  QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
  const QDir userDir(data + QStringLiteral("/tidewire"));
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = userDir.filePath(QStringLiteral("run"));

  AppPaths paths;
  paths.machineStore = QDir(QString::fromLatin1(kMachineFolder)).filePath(QStringLiteral("machine.sqlite"));
  paths.userStore = userDir.filePath(QStringLiteral("user.sqlite"));
  paths.programFolder = userDir.filePath(QStringLiteral("program"));
  paths.runtimeFolder = runtime;
  paths.userAutostartFolder = UserAutostartFolder();
  paths.systemAutostartFolder = QString::fromLatin1(kSystemAutostartFolder);
  return paths;
}

}  // namespace tw
