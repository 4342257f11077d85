// Parses a big feed into the Xbins site of the store under TIDEWIRE_HOME, so
// that a test can kill it in the middle of the rebuild.
// news_rebuild_writer <feed file>
#include "core/AppCore.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/DebugLog.h"
#include "core/Startup.h"
#include "core/WindowPorts.h"
#include "news/FeedParser.h"
#include "news/ItemStore.h"
#include "news/SiteTitles.h"
#include "support/FakeWindow.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {


}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (app.arguments().size() != 2) return 2;
  tw::Clock clock;
  tw::AppCore core(tw::AppPaths::FromEnvironment(), clock, tw::FeedEndpoints());
  tw::test::FakeWindow quiet;
  // Only the settings root and the catalogue are needed; no window.
  core.identity.ProgTitle = QString::fromLatin1(tw::kProductTitle);
  core.identity.SettingsRoot = QStringLiteral("Software\\") + core.identity.ProgTitle;
  tw::BuildCatalogue(core.sites, core.identity.ProgTitle, core.endpoints);
  tw::SiteTitles titles(core, quiet, quiet, quiet);
  tw::ItemStore store(core, titles, core.debugLog);
  tw::FeedParser parser(core, store, core.debugLog, false);
  core.catalogue.setItemLoader(&store);
  core.catalogue.ApplySiteSettings();

  const QString copy = app.arguments()[1] + QStringLiteral(".copy");
  QFile::remove(copy);
  QFile::copy(app.arguments()[1], copy);
  core.sites[2].CacheFile = copy;
  std::fputs("parsing\n", stdout);
  std::fflush(stdout);
  parser.ParseFeed(2);
  return 0;
}
