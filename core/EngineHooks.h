#pragma once

// The engine's own steps that the application core calls but does not hold:
// loading a site's stored items, refreshing a site's tree title, checking
// every feed, parsing a downloaded feed and showing the About page. The news
// engine implements them.
namespace tw {

class SiteItemLoader {
 public:
  virtual ~SiteItemLoader() = default;
  virtual void LoadSiteItems(int site) = 0;
};

class SiteTitleRefresher {
 public:
  virtual ~SiteTitleRefresher() = default;
  virtual void RefreshSiteTitle(int site, bool announce) = 0;
};

class FeedChecker {
 public:
  virtual ~FeedChecker() = default;
  virtual void QueueAllFeeds() = 0;
};

class FeedParsing {
 public:
  virtual ~FeedParsing() = default;
  // Reads the site's just-downloaded feed (its CacheFile), stores the channel
  // values and merges the items.
  virtual void ParseFeed(int site) = 0;
};

class BuiltInPages {
 public:
  virtual ~BuiltInPages() = default;
  virtual void WriteAboutPage() = 0;
};

}  // namespace tw
