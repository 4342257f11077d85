#include "web/EngineModule.h"

#include "web/EnginePageView.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace tw {

QString EngineModule::Path() {
  const QString programDir = QCoreApplication::applicationDirPath();
  // A program (or test) run from its build folder uses the module built there.
  const QString buildDir = QStringLiteral(TIDEWIRE_BUILD_DIR);
  if (programDir == buildDir || programDir.startsWith(buildDir + u'/')) {
    return buildDir + QStringLiteral("/" TIDEWIRE_ENGINE_MODULE_FILE);
  }
  return QDir::cleanPath(programDir + QStringLiteral("/" TIDEWIRE_ENGINE_MODULE_FROM_BINDIR "/" TIDEWIRE_ENGINE_MODULE_FILE));
}

std::unique_ptr<EnginePageView> EngineModule::MakeView(const QString& programFolder, QString* problem) {
  // Loaded once and kept: the views it makes run its code.
  static QLibrary* module = nullptr;
  static MakeEngineViewFunction make = nullptr;
  if (!make) {
    if (!module) module = new QLibrary(Path());
    make = reinterpret_cast<MakeEngineViewFunction>(module->resolve(kMakeEngineViewSymbol));
    if (!make) {
      if (problem) *problem = module->errorString();
      return nullptr;
    }
  }
  return std::unique_ptr<EnginePageView>(make(programFolder));
}

}  // namespace tw
