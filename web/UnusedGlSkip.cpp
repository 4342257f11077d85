#include "web/UnusedGlSkip.h"

#include <QtGlobal>

namespace tw {
namespace {
constexpr const char* kGlIntegration = "QT_XCB_GL_INTEGRATION";
}

bool UnusedGlSkip::SoftwareDrawing() {
  QByteArray backend = qgetenv("QT_QUICK_BACKEND");
  if (backend.isEmpty()) backend = qgetenv("QMLSCENE_DEVICE");
  return backend == "software" || backend == "softwarecontext";
}

UnusedGlSkip::UnusedGlSkip() {
  if (!SoftwareDrawing() || qEnvironmentVariableIsSet(kGlIntegration)) return;
  skipping_ = qputenv(kGlIntegration, "none");
}

UnusedGlSkip::~UnusedGlSkip() {
  if (skipping_) qunsetenv(kGlIntegration);
}

}  // namespace tw
