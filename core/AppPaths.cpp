#include "AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace tw {
namespace {
constexpr const char* kMachineFolder = "/var/lib/tidewire";
}

AppPaths AppPaths::UnderHome(const QString& home) {
  const QDir dir(home);
  AppPaths paths;
  paths.machineStore = dir.filePath(QStringLiteral("machine.sqlite"));
  paths.userStore = dir.filePath(QStringLiteral("user.sqlite"));
  paths.programFolder = dir.filePath(QStringLiteral("program"));
  paths.runtimeFolder = dir.filePath(QStringLiteral("run"));
  return paths;
}

AppPaths AppPaths::FromEnvironment() {
  const QString home = qEnvironmentVariable(kHomeVariable);
  if (!home.isEmpty()) return UnderHome(QDir(home).absolutePath());

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
  return paths;
}

}  // namespace tw
