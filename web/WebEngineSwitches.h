#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <vector>

namespace tw {

// Switches the program always gives the web engine, set up before the
// application object exists. Qt hands the engine the switches in
// QTWEBENGINE_CHROMIUM_FLAGS when that is set (and then ignores the
// command line's), otherwise those after "--webEngineArgs" on the command
// line; the program's own go where the user's would.
//
// --no-unsandboxed-zygote: the engine keeps a second, unsandboxed process
// ready to start helpers that would run without a sandbox (a GPU process,
// some services). Qt runs all of those inside the program, so the process
// waits for nothing, some 9 MiB for as long as the program runs; should a
// helper ever want it, the engine starts that helper directly instead.
//
// Pages are described to screen readers: Qt's web engine on Linux leaves
// them out unless QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY is set, and once it
// is set, describes them exactly while Qt's accessibility is active (a
// screen reader is running), at no cost otherwise. A value the user set is
// kept.
class WebEngineSwitches {
 public:
  static const QByteArrayList& Ours();
  static constexpr const char* kAccessibilityVariable = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";

  // Appends what is missing of Ours() to the environment's switches when
  // they are set, or else to the command line: argc and argv then point at
  // a copy this object keeps, which must outlive the application object.
  WebEngineSwitches(int& argc, char**& argv);
  WebEngineSwitches(const WebEngineSwitches&) = delete;
  WebEngineSwitches& operator=(const WebEngineSwitches&) = delete;

  // The switches given the environment's (QTWEBENGINE_CHROMIUM_FLAGS) value.
  static QByteArray WithOurs(const QByteArray& environmentSwitches);
  // The command line given its arguments, when the environment has none.
  static QByteArrayList WithOurs(const QByteArrayList& arguments);

 private:
  QByteArrayList kept_;
  std::vector<char*> argv_;
};

}  // namespace tw
