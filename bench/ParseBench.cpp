// ParseFeed + MergeItems for a 1 MB feed of 1,000 items and a 10 MB feed of
// 10,000 items: into a fresh site (a full rebuild written to the store), and
// the same feed again (everything known and read: no rebuild). SplitFeed
// alone shows the parsing share. The 10 MB cases should take about ten times
// the 1 MB ones.
//
// Before and after: the fresh-site cases carry, as before_ms, the time they
// took before a rebuild wrote each item's subkey in one store call (this
// benchmark at 4a808b6 on the 2-core development machine, quiet, run
// interleaved with the new code: the mean of two medians of three). The rebuild's writes alone are also measured
// live both ways, in one transaction into a fresh site: one store call per
// value as before (OneCallPerValue), one per item as now (OneCallPerItem).
#include "core/AppCore.h"
#include "core/Clock.h"
#include "core/DebugLog.h"
#include "core/WindowPorts.h"
#include "news/FeedDocument.h"
#include "news/FeedParser.h"
#include "news/ItemStore.h"
#include "news/SiteTitles.h"
#include "news/TagText.h"
#include "support/FakeWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSite = 2;
// BM_ParseFeedIntoFreshSite before item subkeys were written in one call.
constexpr double kBeforeMs1000 = 49.4;
constexpr double kBeforeMs10000 = 551;

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
  state.counters["before_ms"] = state.range(0) == 1000 ? kBeforeMs1000 : kBeforeMs10000;
}
BENCHMARK(BM_ParseFeedIntoFreshSite)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// One item's subkey and the texts the rebuild stores in it.
struct StoredItem {
  QString path;
  QList<tw::Registry::RegText> texts;
};

std::vector<StoredItem> StoredItems(int count) {
  static const QStringList tags{QStringLiteral("title"),       QStringLiteral("link"),
                                QStringLiteral("homepage"),    QStringLiteral("releasedate"),
                                QStringLiteral("description"), QStringLiteral("pubdate"),
                                QStringLiteral("thumb"),       QStringLiteral("author")};
  static const QStringList names{QStringLiteral("Title"),       QStringLiteral("Link"),
                                 QStringLiteral("Homepage"),    QStringLiteral("Releasedate"),
                                 QStringLiteral("Description"), QStringLiteral("PubDate"),
                                 QStringLiteral("Thumb"),       QStringLiteral("Author")};
  const tw::TagSetSearch search(tags);
  const tw::ParsedFeed feed = tw::SplitFeed(FeedOf(count));
  std::vector<StoredItem> items;
  for (qsizetype i = 0; i < feed.items.size(); ++i) {
    StoredItem item{QStringLiteral("Software\\Tidewire\\Xbins\\%1").arg(i + 1), {}};
    const QStringList texts = search.textsIn(feed.items.at(i));
    for (qsizetype t = 0; t < texts.size(); ++t) item.texts.append({names[t], texts[t]});
    item.texts.append({QStringLiteral("Tag"), QStringLiteral("<NEW><UNREAD>")});
    items.push_back(std::move(item));
  }
  return items;
}

void RebuildWrites(benchmark::State& state, bool oneCallPerItem) {
  const std::vector<StoredItem> items = StoredItems(static_cast<int>(state.range(0)));
  const tw::Hive hive = tw::Hive::LocalMachine;
  for (auto _ : state) {
    state.PauseTiming();
    auto dir = std::make_unique<QTemporaryDir>();
    auto registry = std::make_unique<tw::Registry>(dir->filePath(QStringLiteral("machine.sqlite")),
                                                   dir->filePath(QStringLiteral("user.sqlite")),
                                                   tw::RegistryStore::Reporter());
    registry->CreateRegKey(hive, QStringLiteral("Software\\Tidewire\\Xbins"));
    state.ResumeTiming();
    tw::RegistryTransaction transaction(*registry, hive);
    for (const StoredItem& item : items) {
      if (oneCallPerItem) {
        registry->CreateRegKeyWithTexts(hive, item.path, item.texts);
        continue;
      }
      registry->CreateRegKey(hive, item.path);
      for (const tw::Registry::RegText& text : item.texts) {
        registry->SetRegValue(hive, item.path, text.name, text.text, tw::RegType::String);
      }
    }
    if (!transaction.commit()) state.SkipWithError("commit failed");
    state.PauseTiming();
    registry.reset();
    dir.reset();
    state.ResumeTiming();
  }
}

void BM_RebuildWritesOneCallPerValue(benchmark::State& state) { RebuildWrites(state, false); }
BENCHMARK(BM_RebuildWritesOneCallPerValue)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_RebuildWritesOneCallPerItem(benchmark::State& state) { RebuildWrites(state, true); }
BENCHMARK(BM_RebuildWritesOneCallPerItem)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
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
