#include "WebFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineScript>

namespace tw::test {
namespace {

QVariant Evaluate(QWebEnginePage* page, const QString& script, quint32 world) {
  bool done = false;
  QVariant result;
  page->runJavaScript(script, world, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < 15000) QTest::qWait(10);
  EXPECT_TRUE(done) << script.toStdString();
  return result;
}

}  // namespace

WebFixture::WebFixture() {
  core = MakePageCore(home.paths(), clock);
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

QStringList WebFixture::pageFiles() const {
  return QDir(folder()).entryList({QStringLiteral("*.htm"), QStringLiteral("*.jpg"), QStringLiteral("*.gif")},
                                  QDir::Files);
}

void WebFixture::writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

bool WebFixture::waitForLoad(int ms) {
  if (web->ReadyState() == WebView::kReadyStateComplete) return true;
  QSignalSpy spy(web.get(), &WebView::loadFinished);
  return spy.wait(ms) && web->ReadyState() == WebView::kReadyStateComplete;
}

void WebFixture::settle(int ms) { QTest::qWait(ms); }

QVariant WebFixture::inspect(const QString& script) {
  return Evaluate(web->page(), script, QWebEngineScript::ApplicationWorld);
}

QVariant WebFixture::inPage(const QString& script) {
  return Evaluate(web->page(), script, QWebEngineScript::MainWorld);
}

}  // namespace tw::test
