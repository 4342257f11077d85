#include "WebFixture.h"

#include "core/BuildFlags.h"
#include "core/Windows1252.h"
#include "news/WebView.h"
#include "web/DesktopOpener.h"

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

using WebPanel = WebFixture;

TEST_F(WebPanel, ShowsAnItemPageThroughItsOwnSchemeAndDeletesItsFilesOnceLoaded) {
  StoredItem item;
  item.description = QStringLiteral("<p id=\"news\">Caf\u00e9 &amp; \u20ac5 news</p>");
  renderer->ShowItem(kScene, StoreItem(*core, kScene, 1, item));
  EXPECT_EQ(web->ReadyState(), WebView::kReadyStateLoading);
  ASSERT_TRUE(waitForLoad());

  EXPECT_TRUE(IsPageUrl(web->page()->url())) << web->page()->url().toString().toStdString();
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('news').textContent")).toString(),
            QStringLiteral("Caf\u00e9 & \u20ac5 news"));
  // The background picture came through the scheme before the files went.
  EXPECT_EQ(inspect(QStringLiteral("document.body.getAttribute('background')")).toString(), QStringLiteral("bgnd.gif"));
  if (!DebugBuild) {
    EXPECT_TRUE(pageFiles().isEmpty()) << pageFiles().join(u',').toStdString();
  }
}

TEST_F(WebPanel, BuiltInPagesShowTheirPicturesAndRunTheirOwnScript) {
  renderer->WriteAboutPage();
  ASSERT_TRUE(waitForLoad());
  EXPECT_GT(inspect(QStringLiteral("document.querySelector('img[src=\"newspaper.gif\"]').naturalWidth")).toInt(), 0);
  EXPECT_GT(inspect(QStringLiteral("document.querySelector('img[src=\"console_logo.jpg\"]').naturalWidth")).toInt(),
            0);
  EXPECT_EQ(inPage(QStringLiteral("typeof document.oncontextmenu")).toString(), QStringLiteral("function"));
  EXPECT_EQ(inPage(QStringLiteral("document.oncontextmenu()")).toBool(), false);
  if (!DebugBuild) {
    EXPECT_TRUE(pageFiles().isEmpty()) << pageFiles().join(u',').toStdString();
  }

  renderer->WriteDonationsPage();
  ASSERT_TRUE(waitForLoad());
  EXPECT_EQ(inspect(QStringLiteral("document.querySelector('img[src=\"paypal.gif\"]').naturalWidth")).toInt(), 62);
  EXPECT_EQ(inspect(QStringLiteral("document.querySelector('img[src=\"nochex.gif\"]').naturalHeight")).toInt(), 33);
}

TEST_F(WebPanel, ASecondPageWhileTheFirstStillLoadsIsTheOneThatEndsTheWait) {
  StoredItem first;
  first.description = QStringLiteral("<p id=\"which\">first</p>");
  StoredItem second;
  second.description = QStringLiteral("<p id=\"which\">second</p>");
  QSignalSpy finished(web.get(), &WebView::loadFinished);
  renderer->ShowItem(kScene, StoreItem(*core, kScene, 1, first));
  renderer->ShowItem(kSkins, StoreItem(*core, kSkins, 1, second));
  ASSERT_TRUE(waitForLoad());
  settle(300);
  EXPECT_EQ(finished.size(), 1);
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('which').textContent")).toString(),
            QStringLiteral("second"));
  if (!DebugBuild) {
    EXPECT_TRUE(pageFiles().isEmpty()) << pageFiles().join(u',').toStdString();
  }
}

TEST_F(WebPanel, AWindowNameSendsTheAddressToTheDesktopAndIsCompleteAtOnce) {
  web->Navigate(QStringLiteral("https://news.example/item"), QStringLiteral("Xbox-Scene"));
  EXPECT_EQ(web->ReadyState(), WebView::kReadyStateComplete);
  EXPECT_EQ(openedInDesktop, QStringList({"https://news.example/item"}));

  web->Navigate(QStringLiteral("mailto:someone@example.com"));
  EXPECT_EQ(web->ReadyState(), WebView::kReadyStateComplete);
  EXPECT_EQ(openedInDesktop.size(), 2);
}

TEST_F(WebPanel, AddressesOfOtherSchemesAreRefused) {
  for (const char* address : {"javascript:document.title='x'", "file:///etc/hostname", "data:text/html,<p>x"}) {
    web->Navigate(QString::fromLatin1(address));
    EXPECT_EQ(web->ReadyState(), WebView::kReadyStateComplete) << address;
    web->Navigate(QString::fromLatin1(address), QStringLiteral("Xbox-Scene"));
  }
  settle(300);
  EXPECT_TRUE(openedInDesktop.isEmpty());
  EXPECT_FALSE(web->page()->url().scheme().startsWith(QLatin1String("file")));
}

TEST_F(WebPanel, AWebAddressThatFailsStillEndsTheWait) {
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

TEST_F(WebPanel, GivesTheBodyMarkupOfAPageWithoutScript) {
  StoredItem item;
  item.description = QStringLiteral("<b>Body</b>");
  renderer->ShowItem(kScene, StoreItem(*core, kScene, 1, item));
  ASSERT_TRUE(waitForLoad());
  QString markup;
  bool done = false;
  web->RequestBodyMarkup([&](const QString& text) {
    markup = text;
    done = true;
  });
  for (int i = 0; i < 500 && !done; ++i) settle(10);
  EXPECT_TRUE(markup.startsWith(QLatin1String("<body background=\"bgnd.gif\">"))) << markup.toStdString();
  EXPECT_TRUE(markup.contains(QLatin1String("<b>Body</b>")));
}

TEST_F(WebPanel, ThePageSchemeServesOnlyPageFiles) {
  writeFile(folder() + QStringLiteral("/probe.htm"),
            EncodeWindows1252(QStringLiteral("<html><body><img id=\"feed\" src=\"feed.xml\">"
                                             "<img id=\"up\" src=\"../machine.sqlite\"><img id=\"logo\" src=\"x.jpg\">"
                                             "</body></html>")));
  writeFile(folder() + QStringLiteral("/feed.xml"), "<rss/>");
  QFile logo(QStringLiteral(":/LOGO/XBINS"));
  ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
  writeFile(folder() + QStringLiteral("/x.jpg"), logo.readAll());
  web->ShowPageFile(QStringLiteral("probe.htm"), PageScripts::Off);
  ASSERT_TRUE(waitForLoad());
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('logo').naturalWidth")).toInt(), 220);
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('feed').naturalWidth")).toInt(), 0);
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('up').naturalWidth")).toInt(), 0);
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

TEST_F(WebPanel, EachShowingLoadsTheCurrentPicturesNotCachedOnesOfTheSameName) {
  // Every site writes its background as bgnd.gif: the second site's page
  // must show the second site's picture.
  const QByteArray page = "<html><body><img id=\"bg\" src=\"bgnd.gif\"></body></html>";
  writeFile(folder() + QStringLiteral("/one.htm"), page);
  writeFile(folder() + QStringLiteral("/bgnd.gif"), Resource(QStringLiteral(":/BGND/XBOXSCENE")));
  web->ShowPageFile(QStringLiteral("one.htm"), PageScripts::Off);
  ASSERT_TRUE(waitForLoad());
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('bg').naturalWidth")).toInt(), 96);

  writeFile(folder() + QStringLiteral("/two.htm"), page);
  writeFile(folder() + QStringLiteral("/bgnd.gif"), Resource(QStringLiteral(":/BGND/ALLXBOXSKINS")));
  web->ShowPageFile(QStringLiteral("two.htm"), PageScripts::Off);
  ASSERT_TRUE(waitForLoad());
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('bg').naturalWidth")).toInt(), 64);
}

}  // namespace
}  // namespace tw::test

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
