// Checks the demo feeds over and over as the program does (the real download
// controls, parser, item store and site titles) into the store under
// TIDEWIRE_HOME, until it is killed. The demo server runs in this process and
// gains items all the time, so every check rebuilds lists; between checks a
// site's items are marked read or unread, as a reader would.
// check_driver: prints "checking" once the first check has begun.
#include "DemoFeedServer.h"
#include "DemoFeeds.h"
#include "core/AppCore.h"
#include "core/Clock.h"
#include "core/Startup.h"
#include "news/DownloadProgressBar.h"
#include "news/FeedDownloads.h"
#include "news/FeedParser.h"
#include "news/ItemStore.h"
#include "news/SiteTitles.h"
#include "support/FakeWindow.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTimer>

#include <cstdio>

namespace {

class NoBar : public tw::DownloadProgressBar {
 public:
  void setProgressMax(int) override {}
  void setProgressValue(int) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  tw::demo::DemoFeedServer server;
  if (!server.listen()) return 2;
  // Long lists, so that a good part of a check is spent writing them.
  for (int site = 1; site <= tw::demo::kDemoSiteCount; ++site) server.addItems(site, 300);
  server.addItemsEvery(20);

  const tw::Clock clock;
  tw::AppCore core(tw::AppPaths::FromEnvironment(), clock, tw::FeedEndpoints(server.baseUrl()));
  tw::test::FakeWindow window;
  tw::Startup startup(core, window, window, window);
  tw::SiteTitles titles(core, window, window, window);
  tw::ItemStore items(core, titles, core.debugLog);
  tw::FeedParser parser(core, items, core.debugLog, false);
  tw::FeedDownloads downloads(core);
  NoBar bar;
  downloads.connectWindow(&window, &window, &window, &window, &bar);
  downloads.fetch.setFeedParsing(&parser);
  core.catalogue.setItemLoader(&items);
  startup.setTitleRefresher(&titles);
  startup.Run();

  QObject::connect(&downloads.fetch, &tw::FetchCycle::queueDrained, &app, [&] {
    const int site = 1 + static_cast<int>(QRandomGenerator::global()->bounded(core.sites.LastIndex()));
    core.tv.select(core.sites[site].Key);
    items.SetReadStatus(QRandomGenerator::global()->bounded(2) == 0);
    QTimer::singleShot(0, &app, [&] { downloads.fetch.QueueAllFeeds(); });
  });
  downloads.fetch.QueueAllFeeds();
  std::puts("checking");
  std::fflush(stdout);
  return app.exec();
}
