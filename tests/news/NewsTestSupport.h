#pragma once

#include "QtPrinters.h"
#include "core/AppCore.h"
#include "core/DebugLog.h"
#include "core/Startup.h"
#include "news/FeedParser.h"
#include "news/ItemStore.h"
#include "news/SiteTitles.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace tw::test {

// One feed item as the tests write it.
struct FeedItem {
  QString title;
  QString link;
  QString description = QStringLiteral("About it");
};

// An RSS 2.0 document with a channel header and these items.
QByteArray Rss(const QList<FeedItem>& items, const QString& channelTitle = QStringLiteral("Channel"));
// n items titled "Item 1".."Item n" with links "http://x/1".., first..first+n-1.
QList<FeedItem> NumberedItems(int first, int n);

// The news engine over a real core and store in a temporary home, started as
// the program starts: settings, catalogue, sites with their stored items.
// Debug-log lines are written (as a debug build would) so tests can read them.
class NewsTest : public ::testing::Test {
 protected:
  NewsTest();

  // Start-up: InitSettings, catalogue, ApplySiteSettings (which loads items).
  void start();
  // A new process over the same stores (a restart), started.
  void restart();

  // Writes the document as the site's downloaded file and parses it.
  void parse(int site, const QByteArray& document);
  QString writeDownload(int site, const QByteArray& document);

  const SiteRecord& site(int index) const { return core->sites[index]; }
  // The site's item nodes: "text|image|tag|bold" in tree order.
  QStringList itemNodes(int index) const;
  QStringList itemTitles(int index) const;
  const SiteTreeNode* siteNode(int index) const { return core->tv.find(core->sites[index].Key); }
  QString itemKey(int index, int number) const;
  // Stored values.
  RegValue stored(int index, const char* valueName) const;
  RegValue storedItem(int index, int number, const char* valueName) const;
  bool storedItemExists(int index, int number) const;
  int totalItems(int index) const { return stored(index, "TotalItems").toInt(); }
  // "Title|Link|Tag" of every stored item 1..TotalItems.
  QStringList storedItems(int index) const;
  // Writes a stored list directly, as an earlier run would have left it.
  void presetItems(int index, const QStringList& titles, const QStringList& tags);
  void setFlag(const FlagSetting& s, int value);
  QStringList debugLines(int index) const;
  QStringList activityTexts() const;

  TempHome home;
  FakeClock clock;
  FakeWindow window;
  std::unique_ptr<AppCore> core;
  std::unique_ptr<Startup> startup;
  std::unique_ptr<DebugLog> debugLog;
  std::unique_ptr<SiteTitles> titles;
  std::unique_ptr<ItemStore> store;
  std::unique_ptr<FeedParser> parser;

 private:
  void build();
};

}  // namespace tw::test
