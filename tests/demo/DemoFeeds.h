#pragma once

#include <QByteArray>
#include <QString>

namespace tw::demo {

// The demo catalogue: one realistic feed document per catalogue site, made
// from fixed text so a test can count what it will find. Items are numbered
// from 1 (the oldest); a feed with n items lists n, n-1, ... 1, newest first.
struct DemoSite {
  const char* file;  // the feed's file name, as in the catalogue's addresses
  const char* title;
  const char* link;
  const char* description;
  enum class Format { Rss2, Rss091, Rss1 } format;
  bool windows1252;  // declared ISO-8859-1 and written in single bytes
  bool skin;  // items carry <thumb> and <author>
  bool release;  // items carry <homepage> and <releasedate>
  int initialItems;
};

inline constexpr int kDemoSiteCount = 17;
// Site index 1..17, as in the catalogue.
const DemoSite& DemoSiteAt(int site);
// 0 when no site has that file name.
int DemoSiteIndexOf(const QString& file);

// The feed document of the site with this many items, listing those from
// number oldestItem up. Its pictures (channel logo, skin previews) are named
// under pictureBase, where the demo server serves them, so that pages show
// them offline.
QByteArray BuildFeed(int site, int itemCount, const QString& pictureBase = {}, int oldestItem = 1);
// A picture named under the picture base ("logo-3.bmp", "thumb-7.bmp");
// null for any other name.
QByteArray DemoPicture(const QString& name);
// The title of item number n of the site, as the document writes it before
// any entity is decoded.
QString ItemTitle(int site, int n);

// The version file: "major.minor.revision," and a note.
QByteArray BuildVersionFile(const QString& version);

}  // namespace tw::demo
