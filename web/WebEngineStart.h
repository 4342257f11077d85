#pragma once

#include "web/UnusedGlSkip.h"
#include "web/WebEngineSwitches.h"

#include <optional>

namespace tw {

// What a program that may show the web engine's view sets up before its
// application object exists: the engine's switches, the shared GL contexts
// the engine wants, and no GL stack where nothing would draw with it. Made
// first thing in main(); applicationMade() once the QApplication exists.
// argc and argv may then point at a copy this object keeps, which must
// outlive the application object.
class WebEngineStart {
 public:
  WebEngineStart(int& argc, char**& argv);
  void applicationMade() { noUnusedGl_.reset(); }

 private:
  const WebEngineSwitches switches_;
  std::optional<UnusedGlSkip> noUnusedGl_;
};

}  // namespace tw
