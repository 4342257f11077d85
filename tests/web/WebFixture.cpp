#include "WebFixture.h"

#include "PagePanels.h"

#include <QWebEngineScript>

namespace tw::test {

WebFixture::WebFixture() {
  web = std::make_unique<WebEngineWebView>(folder());
  web->setDesktopOpener([this](const QUrl& url) {
    openedInDesktop << url.toString();
    return true;
  });
  QObject::connect(web->page(), &GuardedWebPage::navigationDropped,
                   [this](const QUrl& url) { dropped << url.toString(); });
  web->view()->resize(800, 600);
  web->view()->show();
  renderer = std::make_unique<PageRenderer>(*core, *web, strip);
}

WebFixture::~WebFixture() {
  renderer.reset();
  web.reset();
}

QVariant WebFixture::inspect(const QString& script) {
  return Evaluate(web->page(), script, QWebEngineScript::ApplicationWorld);
}

QVariant WebFixture::inPage(const QString& script) {
  return Evaluate(web->page(), script, QWebEngineScript::MainWorld);
}

}  // namespace tw::test
