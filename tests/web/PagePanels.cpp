#include "PagePanels.h"

#include "web/LightPageBrowser.h"

#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#if TIDEWIRE_WEB_ENGINE
#include <QElapsedTimer>
#include <QWebEngineScript>

#include "web/GuardedWebPage.h"
#endif

namespace tw::test {

QString LightPanel::elementText(const QString& id) {
  const QTextDocument* document = view.widget()->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      // The paragraph as read: pictures in it are no text.
      if (it.fragment().charFormat().anchorNames().contains(id)) {
        return block.text().remove(QChar::ObjectReplacementCharacter).trimmed();
      }
    }
  }
  return {};
}

QSize LightPanel::pictureSize(const QString& src) {
  const QVariant picture = view.widget()->document()->resource(QTextDocument::ImageResource, QUrl(src));
  return picture.value<QImage>().size();
}

bool LightPanel::showsBodyBackground() {
  return !view.widget()->document()->rootFrame()->frameFormat().background().textureImage().isNull();
}

#if TIDEWIRE_WEB_ENGINE
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

EnginePanel::EnginePanel(const QString& folder) : view(folder) {
  QObject::connect(view.page(), &GuardedWebPage::navigationDropped,
                   [this](const QUrl& url) { dropped << url.toString(); });
}

QVariant EnginePanel::inspect(const QString& script) {
  return Evaluate(view.page(), script, QWebEngineScript::ApplicationWorld);
}

QVariant EnginePanel::inPage(const QString& script) {
  return Evaluate(view.page(), script, QWebEngineScript::MainWorld);
}

QUrl EnginePanel::shownUrl() { return view.page()->url(); }

QString EnginePanel::elementText(const QString& id) {
  return inspect(QStringLiteral("(e => e ? e.textContent : '')(document.getElementById('%1'))").arg(id)).toString();
}

QSize EnginePanel::pictureSize(const QString& src) {
  const QVariantList size = inspect(QStringLiteral("(e => e ? [e.naturalWidth, e.naturalHeight] : [0, 0])"
                                                   "(document.querySelector('img[src=\"%1\"]'))")
                                        .arg(src))
                                .toList();
  return size.size() == 2 && size[0].toInt() > 0 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
}

bool EnginePanel::showsBodyBackground() {
  return inspect(QStringLiteral("document.body.getAttribute('background')")).toString() == QLatin1String("bgnd.gif");
}

bool EnginePanel::offersContextMenu() {
  // The built-in pages' own script turns it down.
  return Evaluate(view.page(), QStringLiteral("document.oncontextmenu ? document.oncontextmenu() : true"),
                  QWebEngineScript::MainWorld)
      .toBool();
}
#endif

}  // namespace tw::test
