// The web panel's engine over the program's life, with the real windows and
// the real web engine against the demo server: it comes after the window is
// on screen, goes while the window is in the tray (checks and alerts going
// on without it), and comes back with the page the user last saw.
#include "DemoProgram.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/TrayIcon.h"
#include "web/GuardedWebPage.h"
#include "web/WebEngineWebView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace tw {
namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 60000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QTest::qWait(20);
  return done();
}

QString BodyText(QWebEnginePage* page) {
  QString text;
  bool answered = false;
  page->runJavaScript(QStringLiteral("document.body ? document.body.innerText : ''"), QWebEngineScript::ApplicationWorld,
                      [&](const QVariant& v) {
                        text = v.toString();
                        answered = true;
                      });
  WaitUntil([&] { return answered; }, 15000);
  return text;
}

bool ProcessGone(qint64 pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0; }

TEST(WebEngineLifetime, GoesWhileTheWindowIsInTheTrayAndBringsBackTheSamePage) {
  test::TempHome home;
  test::FakeClock clock;
  demo::DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  const std::unique_ptr<Program> owned = test::DemoProgram(home, clock, server);
  Program& program = *owned;
  program.window().tray().setAvailabilitySource([] { return true; });
  AppCore& core = program.core();

  // The window shows before the engine exists; the About page follows.
  program.Start();
  ASSERT_NE(program.engineWeb(), nullptr);
  program.webLifetime()->setReleaseDelayMs(200);
  auto& web = static_cast<WebEngineWebView&>(*program.engineWeb());
  EXPECT_TRUE(program.window().isVisible());
  EXPECT_FALSE(web.hasEngine());
  ASSERT_TRUE(WaitUntil([&] { return web.hasEngine() && web.ReadyState() == WebView::kReadyStateComplete; }));
  EXPECT_EQ(program.window().findChild<QWidget*>(QStringLiteral("Web")), web.view());

  QSignalSpy drained(&program.downloads().fetch, &FetchCycle::queueDrained);
  program.updateNewsLists();
  ASSERT_TRUE(drained.wait(120000));

  // The user reads an item.
  const QString item = core.tv.childKeys(core.sites[2].Key).first();
  test::LeftClick(program, item);
  ASSERT_TRUE(WaitUntil([&] { return web.ReadyState() == WebView::kReadyStateComplete; }));
  const QUrl shownUrl = web.page()->url();
  const QString shownText = BodyText(web.page());
  ASSERT_TRUE(shownText.contains(core.tv.find(item)->text)) << shownText.toStdString();
  const qint64 pagePid = web.page()->renderProcessPid();
  ASSERT_GT(pagePid, 0);

  // To the tray: the page, its view and its process go.
  program.window().Clear_Popups();
  ASSERT_TRUE(WaitUntil([&] { return program.window().alerts().openAlerts().isEmpty(); }, 10000));
  program.window().tray().SendToTray(false);
  ASSERT_TRUE(WaitUntil([&] { return !web.hasEngine(); }, 10000));
  EXPECT_TRUE(program.webLifetime()->released());
  EXPECT_TRUE(WaitUntil([&] { return ProcessGone(pagePid); }, 20000)) << "page process " << pagePid;
  QWidget* blank = program.window().findChild<QWidget*>(QStringLiteral("Web"));
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(qobject_cast<QWebEngineView*>(blank), nullptr);

  // Meanwhile a check finds news, stores it and raises its alert.
  const int items = core.tv.childCount(core.sites[3].Key);
  server.addItems(3, 2);
  drained.clear();
  program.updateNewsLists();
  ASSERT_TRUE(drained.wait(120000));
  EXPECT_FALSE(web.hasEngine());
  EXPECT_EQ(core.tv.childCount(core.sites[3].Key), items + 2);
  EXPECT_EQ(program.window().alerts().openAlerts().size(), 1);
  EXPECT_TRUE(program.window().tray().tmrAniIcon().isActive());

  // Back from the tray: the same page, though its files are long gone.
  program.window().GetFromTray();
  ASSERT_TRUE(web.hasEngine());
  EXPECT_FALSE(program.webLifetime()->released());
  EXPECT_EQ(program.window().findChild<QWidget*>(QStringLiteral("Web")), web.view());
  ASSERT_TRUE(WaitUntil([&] { return web.page()->url() == shownUrl && !BodyText(web.page()).isEmpty(); }));
  EXPECT_EQ(BodyText(web.page()), shownText);
  EXPECT_EQ(web.ReadyState(), WebView::kReadyStateComplete);

  // And the panel goes on as before.
  program.showAboutPage();
  ASSERT_TRUE(WaitUntil([&] { return web.ReadyState() == WebView::kReadyStateComplete; }));
  EXPECT_NE(web.page()->url(), shownUrl);
  program.window().exitProgram();
}

}  // namespace
}  // namespace tw
