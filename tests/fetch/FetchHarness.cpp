#include "FetchHarness.h"

#include "core/FileHelpers.h"

#include <QFile>
#include <QTest>

namespace tw::test {

void RecordingParser::ParseFeed(int site) {
  const QString file = sites_[site].CacheFile;
  QFile in(file);
  parses.append({site, file, in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray()});
  in.close();
  if (next_) {
    next_->ParseFeed(site);
  } else {
    DeleteFileIfPresent(file);
  }
}

FetchHarness::FetchHarness(const FeedEndpoints& endpoints, UrlReader* feedReader, UrlReader* systemReader,
                           bool newsCore)
    : core(std::make_unique<AppCore>(home.paths(), clock, endpoints)),
      startup(std::make_unique<Startup>(*core, window, window, window)),
      DL(feedReader),
      dlSys(systemReader),
      parser(core->sites),
      update(std::make_unique<UpdateCheck>(*core, dlSys)),
      fetch(std::make_unique<FetchCycle>(*core, DL, dlSys, *update)) {
  startup->setLoginNameSource([] { return QStringLiteral("ann"); });
  startup->setFeedChecker(fetch.get());
  core->checkTimer.setFeedChecker(fetch.get());
  core->activity.setListVisibility(&window);
  fetch->setPorts(&window, &window, &window, &window, &bar);
  fetch->setFeedParsing(&parser);
  update->setAlertSink(&window);
  QObject::connect(fetch.get(), &FetchCycle::queueDrained, [this] { ++drained; });
  if (newsCore) {
    titles = std::make_unique<SiteTitles>(*core, window, window, window);
    items = std::make_unique<ItemStore>(*core, *titles, core->debugLog);
    feedParser = std::make_unique<FeedParser>(*core, *items, core->debugLog, false);
    parser.setNext(feedParser.get());
    core->catalogue.setItemLoader(items.get());
    startup->setTitleRefresher(titles.get());
  }
}

void FetchHarness::start() { startup->Run(); }

void FetchHarness::enableOnly(const QList<int>& sites) {
  for (int i = 1; i <= core->sites.LastIndex(); ++i) {
    core->settings.setSiteFlag(core->sites[i].RegName, setting::SiteDisabled, !sites.contains(i));
  }
  core->catalogue.ApplySiteSettings();
}

void FetchHarness::setErrorCount(int site, qint32 count) {
  core->settings.setSiteNumber(core->sites[site].RegName, setting::SiteErrorCount, count);
  core->catalogue.ApplySiteSettings();
}

qint32 FetchHarness::storedErrorCount(int site) const {
  return core->settings.siteNumber(core->sites[site].RegName, setting::SiteErrorCount);
}

bool FetchHarness::runRound(int timeoutMs) {
  const int target = drained + 1;
  fetch->QueueAllFeeds();
  return waitForDrained(target, timeoutMs);
}

bool FetchHarness::waitForDrained(int rounds, int timeoutMs) {
  return QTest::qWaitFor([&] { return drained >= rounds && !DL.DownloadActive() && !dlSys.DownloadActive(); },
                         timeoutMs);
}

QStringList FetchHarness::activity() const {
  QStringList out;
  for (const ActivityLine& line : core->activity.lines()) out << line.text.section(QStringLiteral(" - "), 2);
  return out;
}

QStringList FetchHarness::alertTitles() const {
  QStringList out;
  for (const FakeWindow::Alert& alert : window.alerts) out << alert.title;
  return out;
}

}  // namespace tw::test
