#pragma once

#include <QString>

#include <memory>

namespace tw {

class EnginePageView;

// The web engine's page view lives in a module (libtidewire-engine-view.so)
// that is loaded the first time that view is wanted: linked into the program,
// the web engine's libraries alone would cost some 22 MiB from the start
// (their relocations above all), even in a program that shows the light
// view. The module is looked for beside the program in its build folder,
// and where the package installs it otherwise.
class EngineModule {
 public:
  // A new view, its engine to be built later (CreateEngine); null, with the
  // reason in *problem, when the module cannot be loaded.
  static std::unique_ptr<EnginePageView> MakeView(const QString& programFolder, QString* problem);
  // Where the module is looked for.
  static QString Path();
};

// The module's entry point, by this name: registers the page scheme (once)
// and makes a view.
using MakeEngineViewFunction = EnginePageView* (*)(const QString& programFolder);
inline constexpr const char* kMakeEngineViewSymbol = "tidewire_make_engine_view";

}  // namespace tw
