#pragma once

#include <QString>

namespace tw {

// Where the catalogue's feeds, home pages and the version file live: one
// table. A base URL (TIDEWIRE_FEED_BASE) replaces the scheme, host and path
// prefix of every feed and of the version file, so a local server can stand
// in for the whole catalogue; each feed keeps its own file name.
class FeedEndpoints {
 public:
  static constexpr const char* kBaseVariable = "TIDEWIRE_FEED_BASE";

  // An empty base keeps the real addresses.
  explicit FeedEndpoints(QString base = {});
  // Reads TIDEWIRE_FEED_BASE; a value that is not an http or https URL is
  // ignored and *problem says why.
  static FeedEndpoints FromEnvironment(QString* problem);

  // Site indexes 1..17; empty text for any other index.
  QString FeedUrl(int site) const;
  QString HomeAddress(int site) const;
  QString VersionFileUrl() const;
  const QString& base() const { return base_; }

  // The front page of the file-release site, to which all its items link.
  static QString FileReleaseFrontPage();
  static bool IsFetchableUrl(const QString& url);

 private:
  QString Resolve(const char* prefix, const char* file) const;
  QString base_;
};

}  // namespace tw
