#pragma once

#include <QString>

namespace tw {

// The values that fill an item template. An item page takes them from the
// stored item; a site page has only the description (its summary body).
struct ItemPageRecord {
  QString title;
  QString link;
  QString linkTarget;  // always empty: links open in the page's own window
  QString homepage;
  QString date;
  QString releaseDate;
  QString description;
  QString pubDate;
  QString thumb;
  QString author;
  QString version;  // `VersionText`
};

// Replaces the placeholders of the template, each everywhere and
// case-sensitively, in a fixed order; a value that contains a later
// placeholder is replaced again by the later pass. A thumb becomes an image
// tag, an author "Author: " + author.
QString FillItemTemplate(const QString& itemTemplate, const ItemPageRecord& record);

// A stored date as "dddd d mmmm yyyy" (Thursday 11 March 2004), in English.
// Text that does not read as a date comes back unchanged.
QString FormatItemDate(const QString& stored);

// The channel values a site page shows.
struct SiteSummary {
  QString description;
  QString imageTitle;
  QString imageUrl;
  QString imageLink;
  QString imageDescription;
  QString lastBuildDate;
  qint32 errorCount = 0;
  qint32 totalItems = 0;
};

// The centred body of a site page.
QString SiteSummaryBody(const SiteSummary& summary);

// True when the link is the file-release site's front page (any letter
// case, with or without a trailing "/", over http or https): the site links
// every item there, so the link tells nothing.
bool IsFileReleaseFrontPage(const QString& link, const QString& frontPage);

}  // namespace tw
