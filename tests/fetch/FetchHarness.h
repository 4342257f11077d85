#pragma once

#include "core/AppCore.h"
#include "core/EngineHooks.h"
#include "core/Startup.h"
#include "download/bkDLControl.h"
#include "news/DownloadProgressBar.h"
#include "news/FeedParser.h"
#include "news/FetchCycle.h"
#include "news/ItemStore.h"
#include "news/SiteTitles.h"
#include "news/UpdateCheck.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QStringList>
#include <QVector>

#include <memory>

#include "QtPrinters.h"

namespace tw::test {

// Notes which site's file the fetch cycle handed over and what it held, then
// passes it on to the real parser or, without one, deletes it as the parser
// does.
class RecordingParser : public FeedParsing {
 public:
  explicit RecordingParser(SiteTable& sites) : sites_(sites) {}
  void setNext(FeedParsing* next) { next_ = next; }
  struct Parse {
    int site;
    QString file;
    QByteArray content;
  };
  void ParseFeed(int site) override;
  QVector<Parse> parses;

 private:
  SiteTable& sites_;
  FeedParsing* next_ = nullptr;
};

class RecordingBar : public DownloadProgressBar {
 public:
  void setProgressMax(int max) override { calls << QStringLiteral("max %1").arg(max); }
  void setProgressValue(int value) override { calls << QStringLiteral("value %1").arg(value); }
  QStringList calls;
};

// The whole fetch cycle as the program wires it: core after start-up, the
// two download controls on the given readers, the update check, the fetch
// cycle and a window that records what it is asked; with newsCore, the real
// parser, item store and site titles take the downloaded feeds.
class FetchHarness {
 public:
  FetchHarness(const FeedEndpoints& endpoints, UrlReader* feedReader, UrlReader* systemReader,
               bool newsCore = false);

  // Start-up, as the program runs it.
  void start();
  // Only these sites stay enabled (applied as the options dialog does).
  void enableOnly(const QList<int>& sites);
  void setErrorCount(int site, qint32 count);
  qint32 storedErrorCount(int site) const;

  // Checks every feed and waits until the queue has run dry and both
  // controls are idle.
  bool runRound(int timeoutMs = 20000);
  // Waits until the queue has run dry this many times in all.
  bool waitForDrained(int rounds, int timeoutMs = 20000);
  // Activity lines without their time stamps.
  QStringList activity() const;
  QStringList alertTitles() const;

  TempHome home;
  FakeClock clock;
  FakeWindow window;
  std::unique_ptr<AppCore> core;
  std::unique_ptr<Startup> startup;
  bkDLControl DL;
  bkDLControl dlSys;
  RecordingParser parser;
  RecordingBar bar;
  std::unique_ptr<UpdateCheck> update;
  std::unique_ptr<FetchCycle> fetch;
  std::unique_ptr<SiteTitles> titles;
  std::unique_ptr<ItemStore> items;
  std::unique_ptr<FeedParser> feedParser;
  int drained = 0;
};

}  // namespace tw::test
