// The entry point of the engine view module, which EngineModule loads.
#include "web/EngineModule.h"
#include "web/PageSchemeRegistration.h"
#include "web/WebEngineWebView.h"

extern "C" Q_DECL_EXPORT tw::EnginePageView* tidewire_make_engine_view(const QString& programFolder) {
  // Before the engine's first profile; a program that links the module has
  // done it before its application object.
  tw::RegisterPageScheme();
  return new tw::WebEngineWebView(programFolder, tw::WebEngineWebView::EngineStart::Later);
}
