// ParseFeed + MergeItems for a 1 MB feed of 1,000 items and a 10 MB feed of
// 10,000 items: into a fresh site (a full rebuild written to the store), and
// the same feed again (everything known and read: no rebuild). SplitFeed
// alone shows the parsing share. The 10 MB cases should take about ten times
// the 1 MB ones.
#include "core/AppCore.h"
#include "core/Clock.h"
#include "core/DebugLog.h"
#include "core/WindowPorts.h"
#include "news/FeedDocument.h"
#include "news/FeedParser.h"
#include "news/ItemStore.h"
#include "news/SiteTitles.h"
#include "support/FakeWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSite = 2;

// About 1 KB an item, with the usual entities and markup.
QByteArray Feed(int items) {
  QByteArray doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>\n<title>Bench</title>\n"
      "<link>http://example.org/</link>\n<description>News</description>\n"
      "<image><title>Logo</title><url>http://example.org/logo.png</url><link>http://example.org/</link></image>\n";
  const QByteArray body =
      "A new release is out &amp; it&#039;s faster: &lt;b&gt;grab it&lt;/b&gt; from the usual place. "
      "Caf\xC3\xA9 owners &quot;love&quot; it \xE2\x80\x94 see the notes &amp;#039;n&amp;#039; all. ";
  for (int i = 0; i < items; ++i) {
    doc += "<item>\n<title>Release " + QByteArray::number(i) +
           " of the scene tool</title>\n<link>http://example.org/n/" + QByteArray::number(i) +
           "</link>\n<description>" + body + body + body + body +
           "</description>\n<pubDate>Thu, 11 Mar 2004 14:05:09 GMT</pubDate>\n<author>ed@example.org</author>\n"
           "</item>\n";
  }
  return doc + "</channel></rss>\n";
}

const QByteArray& FeedOf(int items) {
  static const QByteArray small = Feed(1000);
  static const QByteArray large = Feed(10000);
  return items == 1000 ? small : large;
}

struct Engine {
  QTemporaryDir dir;
  tw::Clock clock;
  tw::AppCore core{tw::AppPaths::UnderHome(dir.path()), clock, tw::FeedEndpoints()};
  tw::test::FakeWindow window;
  tw::DebugLog debugLog{dir.path(), QStringLiteral("bench"), clock, false};
  tw::SiteTitles titles{core, window, window, window};
  tw::ItemStore store{core, titles, debugLog};
  tw::FeedParser parser{core, store, debugLog, false};
  QString file = dir.filePath(QStringLiteral("feed.xml"));

  Engine() {
    core.identity.ProgTitle = QString::fromLatin1(tw::kProductTitle);
    core.identity.SettingsRoot = QStringLiteral("Software\\") + core.identity.ProgTitle;
    tw::BuildCatalogue(core.sites, core.identity.ProgTitle, core.endpoints);
    core.catalogue.setItemLoader(&store);
    core.catalogue.ApplySiteSettings();
  }
  void download(const QByteArray& bytes) {
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    out.close();
    core.sites[kSite].CacheFile = file;
  }
};

void BM_SplitFeed(benchmark::State& state) {
  const QByteArray& feed = FeedOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    tw::ParsedFeed parsed = tw::SplitFeed(feed);
    if (parsed.items.size() != state.range(0)) state.SkipWithError("wrong item count");
    benchmark::DoNotOptimize(parsed);
  }
  state.SetBytesProcessed(state.iterations() * feed.size());
}
BENCHMARK(BM_SplitFeed)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_ParseFeedIntoFreshSite(benchmark::State& state) {
  const QByteArray& feed = FeedOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto engine = std::make_unique<Engine>();
    engine->download(feed);
    state.ResumeTiming();
    engine->parser.ParseFeed(kSite);
    state.PauseTiming();
    if (engine->core.tv.childCount(engine->core.sites[kSite].Key) != state.range(0)) {
      state.SkipWithError("no rebuild");
    }
    engine.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * feed.size());
}
BENCHMARK(BM_ParseFeedIntoFreshSite)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_ParseFeedAgainNoRebuild(benchmark::State& state) {
  const QByteArray& feed = FeedOf(static_cast<int>(state.range(0)));
  Engine engine;
  engine.download(feed);
  engine.parser.ParseFeed(kSite);
  engine.core.tv.select(engine.core.sites[kSite].Key);
  engine.store.SetReadStatus(true);
  int added = 0;
  QObject::connect(&engine.core.tv, &tw::SiteTree::nodeAdded, [&added] { ++added; });
  for (auto _ : state) {
    state.PauseTiming();
    engine.download(feed);
    state.ResumeTiming();
    engine.parser.ParseFeed(kSite);
  }
  if (added != 0) state.SkipWithError("rebuilt");
  state.SetBytesProcessed(state.iterations() * feed.size());
}
BENCHMARK(BM_ParseFeedAgainNoRebuild)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
