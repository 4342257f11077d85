#pragma once

#include <QByteArray>

namespace tw {

// With Qt Quick's software backend (QT_QUICK_BACKEND=software, for machines
// without a usable GPU) the web engine draws without GL and so does
// everything else in the program; yet the engine's start-up creates a shared
// GL context all the same, which loads the whole GL stack (without a GPU a
// software one, some 50 MiB) for nothing. Held while the application object
// is built, this leaves X11 windows without a GL integration in that case,
// unless QT_XCB_GL_INTEGRATION already says which; once it goes, the
// environment is as it was for the programs this one starts.
class UnusedGlSkip {
 public:
  UnusedGlSkip();
  ~UnusedGlSkip();
  UnusedGlSkip(const UnusedGlSkip&) = delete;
  UnusedGlSkip& operator=(const UnusedGlSkip&) = delete;

  // Whether Qt Quick, and with it the web engine, draws in software.
  static bool SoftwareDrawing();
  bool skipping() const { return skipping_; }

 private:
  bool skipping_ = false;
};

}  // namespace tw
