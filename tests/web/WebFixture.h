#pragma once

#include "PanelFixture.h"
#include "web/GuardedWebPage.h"
#include "web/WebEngineWebView.h"

#include <QStringList>
#include <QVariant>

#include <memory>

namespace tw::test {

// The real web engine's panel over a core with the catalogue, in a
// temporary home: for what only the engine does (scripts, frames, web
// sites in the panel).
class WebFixture : public PageFolderFixture {
 protected:
  WebFixture();
  ~WebFixture() override;

  bool waitForLoad(int ms = 30000) { return PageFolderFixture::waitForLoad(*web, ms); }
  // Evaluates in a world of its own, apart from the page's scripts (and
  // working when those are off).
  QVariant inspect(const QString& script);
  // Evaluates in the page's own world: only where the page may run script.
  QVariant inPage(const QString& script);

  std::unique_ptr<WebEngineWebView> web;
  std::unique_ptr<PageRenderer> renderer;
  QStringList dropped;
};

}  // namespace tw::test
