#include "PagePanels.h"
#include "PanelFixture.h"

#include "core/BuildFlags.h"
#include "core/Windows1252.h"
#include "news/WebView.h"
#include "web/DesktopOpener.h"
#if TIDEWIRE_WEB_ENGINE
#include "WebFixture.h"
#endif

#include "DemoFeedServer.h"

#include <QAccessible>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace tw::test {
namespace {

constexpr int kScene = 3;
constexpr int kSkins = 7;

QByteArray Resource(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page tests both page views pass.
template <class Panel>
using WebPanel = PanelFixture<Panel>;
TYPED_TEST_SUITE(WebPanel, PagePanels, PagePanelNames);

TYPED_TEST(WebPanel, ShowsAnItemPageThroughItsOwnSchemeAndDeletesItsFilesOnceLoaded) {
  StoredItem item;
  item.description = QStringLiteral("<p id=\"news\">Caf\u00e9 &amp; \u20ac5 news</p>");
  this->renderer->ShowItem(kScene, StoreItem(*this->core, kScene, 1, item));
  EXPECT_EQ(this->web().ReadyState(), WebView::kReadyStateLoading);
  ASSERT_TRUE(this->waitForLoad());

  EXPECT_TRUE(IsPageUrl(this->panel.shownUrl())) << this->panel.shownUrl().toString().toStdString();
  EXPECT_EQ(this->panel.elementText(QStringLiteral("news")), QStringLiteral("Caf\u00e9 & \u20ac5 news"));
  // The background picture came through the scheme before the files went.
  EXPECT_TRUE(this->panel.showsBodyBackground());
  if (!DebugBuild) {
    EXPECT_TRUE(this->pageFiles().isEmpty()) << this->pageFiles().join(u',').toStdString();
  }
  if constexpr (!TypeParam::kWebEngine) {
    // Screen readers read the light view's page paragraph by paragraph, and
    // only the page shown.
    const auto paragraphs = [&] {
      QAccessibleInterface* page = QAccessible::queryAccessibleInterface(this->panel.widget());
      EXPECT_EQ(page->role(), QAccessible::Document);
      QMap<QString, QString> read;
      for (int i = 0; i < page->childCount(); ++i) {
        QAccessibleInterface* paragraph = page->child(i);
        EXPECT_EQ(page->indexOfChild(paragraph), i);
        read.insert(paragraph->text(QAccessible::Name).trimmed(),
                    paragraph->role() == QAccessible::Paragraph ? paragraph->textInterface()->text(0, -1).trimmed() : QString());
      }
      return read;
    };
    EXPECT_EQ(paragraphs().value(QStringLiteral("Caf\u00e9 & \u20ac5 news")), QStringLiteral("Caf\u00e9 & \u20ac5 news"));
    this->renderer->WriteAboutPage();
    ASSERT_TRUE(this->waitForLoad());
    EXPECT_FALSE(paragraphs().contains(QStringLiteral("Caf\u00e9 & \u20ac5 news")));
    EXPECT_GT(paragraphs().size(), 3);
  }
}

TYPED_TEST(WebPanel, BuiltInPagesShowTheirPicturesAndRunTheirOwnScript) {
  this->renderer->WriteAboutPage();
  ASSERT_TRUE(this->waitForLoad());
  EXPECT_GT(this->panel.pictureSize(QStringLiteral("newspaper.gif")).width(), 0);
  EXPECT_GT(this->panel.pictureSize(QStringLiteral("console_logo.jpg")).width(), 0);
  if constexpr (TypeParam::kWebEngine) {
    EXPECT_EQ(this->panel.inPage(QStringLiteral("typeof document.oncontextmenu")).toString(),
              QStringLiteral("function"));
  }
  EXPECT_FALSE(this->panel.offersContextMenu());
  if (!DebugBuild) {
    EXPECT_TRUE(this->pageFiles().isEmpty()) << this->pageFiles().join(u',').toStdString();
  }

  this->renderer->WriteDonationsPage();
  ASSERT_TRUE(this->waitForLoad());
  EXPECT_EQ(this->panel.pictureSize(QStringLiteral("paypal.gif")).width(), 62);
  EXPECT_EQ(this->panel.pictureSize(QStringLiteral("nochex.gif")).height(), 33);
}

TYPED_TEST(WebPanel, ASecondPageWhileTheFirstStillLoadsIsTheOneThatEndsTheWait) {
  StoredItem first;
  first.description = QStringLiteral("<p id=\"which\">first</p>");
  StoredItem second;
  second.description = QStringLiteral("<p id=\"which\">second</p>");
  QSignalSpy finished(&this->web(), &WebView::loadFinished);
  this->renderer->ShowItem(kScene, StoreItem(*this->core, kScene, 1, first));
  this->renderer->ShowItem(kSkins, StoreItem(*this->core, kSkins, 1, second));
  ASSERT_TRUE(this->waitForLoad());
  this->settle(300);
  EXPECT_EQ(finished.size(), 1);
  EXPECT_EQ(this->panel.elementText(QStringLiteral("which")), QStringLiteral("second"));
  if (!DebugBuild) {
    EXPECT_TRUE(this->pageFiles().isEmpty()) << this->pageFiles().join(u',').toStdString();
  }
}

TYPED_TEST(WebPanel, AWindowNameSendsTheAddressToTheDesktopAndIsCompleteAtOnce) {
  this->web().Navigate(QStringLiteral("https://news.example/item"), QStringLiteral("Xbox-Scene"));
  EXPECT_EQ(this->web().ReadyState(), WebView::kReadyStateComplete);
  EXPECT_EQ(this->openedInDesktop, QStringList({"https://news.example/item"}));

  this->web().Navigate(QStringLiteral("mailto:someone@example.com"));
  EXPECT_EQ(this->web().ReadyState(), WebView::kReadyStateComplete);
  EXPECT_EQ(this->openedInDesktop.size(), 2);

  if constexpr (!TypeParam::kWebEngine) {
    // The light panel shows no web site: every web address is the desktop's.
    this->web().Navigate(QStringLiteral("http://news.example/other"));
    EXPECT_EQ(this->web().ReadyState(), WebView::kReadyStateComplete);
    EXPECT_EQ(this->openedInDesktop.size(), 3);
  }
}

TYPED_TEST(WebPanel, AddressesOfOtherSchemesAreRefused) {
  for (const char* address : {"javascript:document.title='x'", "file:///etc/hostname", "data:text/html,<p>x"}) {
    this->web().Navigate(QString::fromLatin1(address));
    EXPECT_EQ(this->web().ReadyState(), WebView::kReadyStateComplete) << address;
    this->web().Navigate(QString::fromLatin1(address), QStringLiteral("Xbox-Scene"));
  }
  this->settle(300);
  EXPECT_TRUE(this->openedInDesktop.isEmpty());
  EXPECT_FALSE(this->panel.shownUrl().scheme().startsWith(QLatin1String("file")));
}

TYPED_TEST(WebPanel, WebPicturesInADescriptionShowWhenTheyArriveWithinTheDownloadLimits) {
  demo::DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  QImage(48, 24, QImage::Format_RGB32).save(&buffer, "PNG");
  server.setDocument(QStringLiteral("shown.png"), png);
  for (const char* name : {"moved/redirected.png", "redirected.png", "stalled.png", "huge.png"}) {
    server.setDocument(QString::fromLatin1(name), png);
  }
  server.setBehaviour(QStringLiteral("stalled.png"), demo::Behaviour::Stall());
  server.setBehaviour(QStringLiteral("redirected.png"), demo::Behaviour::Redirect());
  server.setBehaviour(QStringLiteral("huge.png"), demo::Behaviour::Oversize(40 * 1024 * 1024, false));
  const QStringList names = {QStringLiteral("shown.png"), QStringLiteral("redirected.png"),
                             QStringLiteral("huge.png"), QStringLiteral("stalled.png")};
  StoredItem item;
  for (const QString& name : names) item.description += QStringLiteral("<img src=\"%1\">").arg(server.urlOf(name));
  item.description += QStringLiteral("<p id=\"after\">text after the pictures</p>");
  this->renderer->ShowItem(kScene, StoreItem(*this->core, kScene, 1, item));
  if constexpr (!TypeParam::kWebEngine) {
    // A picture that never comes does not hold the page up.
    ASSERT_TRUE(this->waitForLoad(5000));
    EXPECT_EQ(this->panel.elementText(QStringLiteral("after")), QStringLiteral("text after the pictures"));
  }
  const auto size = [&](int i) { return this->panel.pictureSize(server.urlOf(names[i])); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return size(0) == QSize(48, 24) && size(1) == QSize(48, 24); }, 20000));
  EXPECT_TRUE(size(2).isEmpty());
  EXPECT_TRUE(size(3).isEmpty());
}

#if TIDEWIRE_WEB_ENGINE
// The light panel sends web addresses to the desktop: only the engine's loads them.
using EngineWebPanel = WebFixture;

TEST_F(EngineWebPanel, AWebAddressThatFailsStillEndsTheWait) {
  // A port on this machine with nothing behind it.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const quint16 port = probe.serverPort();
  probe.close();
  QSignalSpy progress(web.get(), &WebView::progressChanged);
  QSignalSpy failed(web.get(), &WebView::pageFailed);
  QSignalSpy finished(web.get(), &WebView::loadFinished);
  const QString address = QStringLiteral("http://127.0.0.1:%1/item").arg(port);
  web->Navigate(address);
  EXPECT_EQ(web->ReadyState(), WebView::kReadyStateLoading);
  ASSERT_TRUE(failed.wait(30000));
  EXPECT_EQ(finished.size(), 1) << "the wait ends before the failure is told";
  ASSERT_FALSE(progress.isEmpty());
  EXPECT_EQ(progress.back().at(0).toInt(), -1);

  // The panel and the activity list say what failed, not a blank page.
  ASSERT_EQ(failed.size(), 1);
  EXPECT_EQ(failed[0][0].toString(), address);
  ASSERT_TRUE(waitForLoad());
  EXPECT_TRUE(IsPageUrl(web->page()->url()));
  const QString shown = inspect(QStringLiteral("document.body.innerText")).toString();
  EXPECT_TRUE(shown.contains(QStringLiteral("could not be loaded")) && shown.contains(address) &&
              shown.contains(QStringLiteral("still stored")))
      << shown.toStdString();
  ASSERT_FALSE(core->activity.lines().empty());
  const ActivityLine& line = core->activity.lines().back();
  EXPECT_EQ(line.level, LogLevel::Error);
  EXPECT_TRUE(line.text.contains(address) && line.text.contains(QStringLiteral("still stored")))
      << line.text.toStdString();
  EXPECT_TRUE(pageFiles().isEmpty());
}

#endif

TEST(DesktopOpenerTest, EveryWayTheLauncherFailsIsTold) {
  // A desktop with xdg-open and no handler for web addresses: no browser
  // settings, no mime defaults, no known browser on PATH.
  QTemporaryDir empty;
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  ASSERT_FALSE(xdgOpen.isEmpty()) << "xdg-utils is installed by scripts/install-deps";
  const QString bin = empty.filePath(QStringLiteral("bin"));
  QDir().mkpath(bin);
  for (const char* tool : {"sh", "sed", "grep", "egrep", "awk", "which", "cat", "xdg-mime", "tr", "cut", "head",
                           "readlink", "env", "basename", "dirname"}) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (!found.isEmpty()) QFile::link(found, bin + u'/' + QString::fromLatin1(tool));
  }
  const QList<QPair<QByteArray, QByteArray>> desktop = {
      {"PATH", bin.toUtf8()},           {"XDG_DATA_HOME", empty.path().toUtf8()},
      {"XDG_DATA_DIRS", bin.toUtf8()},  {"XDG_CONFIG_HOME", empty.path().toUtf8()},
      {"XDG_CONFIG_DIRS", bin.toUtf8()}, {"XDG_CURRENT_DESKTOP", {}},
      {"BROWSER", {}},                  {"DE", {}}};
  QList<QPair<QByteArray, QByteArray>> saved;
  for (const auto& [name, value] : desktop) {
    saved.append({name, qgetenv(name.constData())});
    qputenv(name.constData(), value);
  }
  const QUrl url(QStringLiteral("https://news.example/item"));
  struct Case {
    const char* what;
    QString launcher;
  };
  const Case cases[] = {{"xdg-open without a handler", xdgOpen},
                        {"a launcher that exits with an error", QStringLiteral("/bin/false")},
                        {"a launcher that cannot start", empty.filePath(QStringLiteral("missing-opener"))}};
  for (const Case& c : cases) {
    DesktopOpener opener(c.launcher);
    QSignalSpy failed(&opener, &DesktopOpener::failed);
    opener.open(url);
    EXPECT_TRUE(failed.wait(10000)) << c.what;
    ASSERT_EQ(failed.size(), 1) << c.what;
    EXPECT_EQ(failed[0][0].toUrl(), url);
  }
  DesktopOpener works(QStringLiteral("/bin/true"));
  QSignalSpy failed(&works, &DesktopOpener::failed);
  works.open(url);
  EXPECT_FALSE(failed.wait(1000));
  for (const auto& [name, value] : saved) qputenv(name.constData(), value);
}

TYPED_TEST(WebPanel, GivesTheBodyMarkupOfAPageWithoutScript) {
  StoredItem item;
  item.description = QStringLiteral("<b>Body</b>");
  this->renderer->ShowItem(kScene, StoreItem(*this->core, kScene, 1, item));
  ASSERT_TRUE(this->waitForLoad());
  QString markup;
  bool done = false;
  this->web().RequestBodyMarkup([&](const QString& text) {
    markup = text;
    done = true;
  });
  for (int i = 0; i < 500 && !done; ++i) this->settle(10);
  EXPECT_TRUE(markup.startsWith(QLatin1String("<body"))) << markup.toStdString();
  if constexpr (TypeParam::kWebEngine) {
    EXPECT_TRUE(markup.startsWith(QLatin1String("<body background=\"bgnd.gif\">"))) << markup.toStdString();
    EXPECT_TRUE(markup.contains(QLatin1String("<b>Body</b>")));
  } else {
    // Qt writes the page back in its own words.
    EXPECT_TRUE(markup.contains(QLatin1String("font-weight:700;\">Body</span>"))) << markup.toStdString();
  }
}

TYPED_TEST(WebPanel, ThePageSchemeServesOnlyPageFiles) {
  this->writeFile(this->folder() + QStringLiteral("/probe.htm"),
                  EncodeWindows1252(QStringLiteral("<html><body><img id=\"feed\" src=\"feed.xml\">"
                                                   "<img id=\"up\" src=\"../machine.sqlite\"><img id=\"logo\" src=\"x.jpg\">"
                                                   "</body></html>")));
  this->writeFile(this->folder() + QStringLiteral("/feed.xml"), "<rss/>");
  QFile logo(QStringLiteral(":/LOGO/XBINS"));
  ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
  this->writeFile(this->folder() + QStringLiteral("/x.jpg"), logo.readAll());
  this->web().ShowPageFile(QStringLiteral("probe.htm"), PageScripts::Off);
  ASSERT_TRUE(this->waitForLoad());
  EXPECT_EQ(this->panel.pictureSize(QStringLiteral("x.jpg")).width(), 220);
  EXPECT_TRUE(this->panel.pictureSize(QStringLiteral("feed.xml")).isEmpty());
  EXPECT_TRUE(this->panel.pictureSize(QStringLiteral("../machine.sqlite")).isEmpty());
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

TYPED_TEST(WebPanel, EachShowingLoadsTheCurrentPicturesNotCachedOnesOfTheSameName) {
  // Every site writes its background as bgnd.gif: the second site's page
  // must show the second site's picture.
  const QByteArray page = "<html><body><img id=\"bg\" src=\"bgnd.gif\"></body></html>";
  this->writeFile(this->folder() + QStringLiteral("/one.htm"), page);
  this->writeFile(this->folder() + QStringLiteral("/bgnd.gif"), Resource(QStringLiteral(":/BGND/XBOXSCENE")));
  this->web().ShowPageFile(QStringLiteral("one.htm"), PageScripts::Off);
  ASSERT_TRUE(this->waitForLoad());
  EXPECT_EQ(this->panel.pictureSize(QStringLiteral("bgnd.gif")).width(), 96);

  this->writeFile(this->folder() + QStringLiteral("/two.htm"), page);
  this->writeFile(this->folder() + QStringLiteral("/bgnd.gif"), Resource(QStringLiteral(":/BGND/ALLXBOXSKINS")));
  this->web().ShowPageFile(QStringLiteral("two.htm"), PageScripts::Off);
  ASSERT_TRUE(this->waitForLoad());
  EXPECT_EQ(this->panel.pictureSize(QStringLiteral("bgnd.gif")).width(), 64);
}

}  // namespace
}  // namespace tw::test

#if TIDEWIRE_WEB_ENGINE
namespace tw::test {
namespace {

TEST(WebPanelLifetime, TheWindowMayKeepTheViewLongerThanThePanel) {
  TempHome home;
  QWidget window;
  auto web = std::make_unique<WebEngineWebView>(home.paths().programFolder);
  web->view()->setParent(&window);
  window.show();
  web->Navigate(QStringLiteral("about:blank"));
  QSignalSpy spy(web.get(), &WebView::loadFinished);
  EXPECT_TRUE(web->ReadyState() == WebView::kReadyStateComplete || spy.wait(20000));
  QPointer<QWebEngineView> view = web->view();
  web.reset();
  ASSERT_FALSE(view.isNull());
  QTest::qWait(50);
}

}  // namespace
}  // namespace tw::test
#endif
