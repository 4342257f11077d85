#include "ItemPage.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <array>
#include <utility>

namespace tw {

QString FillItemTemplate(const QString& itemTemplate, const ItemPageRecord& record) {
  const QChar q = u'"';
  const QString thumb = record.thumb.isEmpty() ? QString() : QStringLiteral("<img src=") + q + record.thumb + q + u'>';
  const QString author = record.author.isEmpty() ? QString() : QStringLiteral("Author: ") + record.author;

  const std::array<std::pair<const char*, const QString*>, 15> passes = {{
      {"[TITLE]", &record.title},
      {"[LINK]", &record.link},
      {"[LINK TARGET]", &record.linkTarget},
      {"%5BLINK%5D", &record.link},
      {"[HOMEPAGE]", &record.homepage},
      {"%5BHOMEPAGE%5D", &record.homepage},
      {"[HOMEPAGE TARGET]", &record.linkTarget},
      {"[DATE]", &record.date},
      {"[RELEASE DATE]", &record.releaseDate},
      {"[VERSION]", &record.version},
      {"%5BVERSION%5D", &record.version},
      {"[DESCRIPTION]", &record.description},
      {"[PUBDATE]", &record.pubDate},
      {"[THUMB]", &thumb},
      {"[AUTHOR]", &author},
  }};
  QString page = itemTemplate;
  for (const auto& [placeholder, value] : passes) {
    page.replace(QLatin1String(placeholder), *value, Qt::CaseSensitive);
  }
  return page;
}

namespace {

QDateTime ReadDate(const QString& text) {
  const QLocale english = QLocale::c();
  QDateTime when = QDateTime::fromString(text, Qt::ISODate);
  if (when.isValid()) return when;
  when = QDateTime::fromString(text, Qt::RFC2822Date);
  if (when.isValid()) return when;
  // RFC 822 dates with a named zone ("GMT", "EST") that Qt does not read.
  static const QStringList kZones = {QStringLiteral(" GMT"), QStringLiteral(" UT"), QStringLiteral(" UTC"),
                                     QStringLiteral(" Z")};
  for (const QString& zone : kZones) {
    if (text.endsWith(zone)) {
      when = QDateTime::fromString(text.chopped(zone.size()) + QStringLiteral(" +0000"), Qt::RFC2822Date);
      if (when.isValid()) return when;
    }
  }
  static const char* const kFormats[] = {"yyyy-MM-dd", "yyyy/MM/dd", "d MMMM yyyy", "d MMM yyyy",
                                         "MMMM d, yyyy", "MMM d, yyyy", "dddd d MMMM yyyy"};
  for (const char* format : kFormats) {
    const QDate date = english.toDate(text, QString::fromLatin1(format));
    if (date.isValid()) return QDateTime(date, QTime(0, 0));
  }
  return {};
}

}  // namespace

QString FormatItemDate(const QString& stored) {
  const QString text = stored.trimmed();
  if (text.isEmpty()) return stored;
  const QDateTime when = ReadDate(text);
  if (!when.isValid()) return stored;
  return QLocale::c().toString(when.date(), QStringLiteral("dddd d MMMM yyyy"));
}

QString SiteSummaryBody(const SiteSummary& s) {
  const QChar q = u'"';
  QString body;
  if (!s.description.isEmpty()) body += QStringLiteral("<strong>") + s.description + QStringLiteral("</strong><br><br>");
  if (!s.imageUrl.isEmpty()) {
    if (!s.imageTitle.isEmpty()) body += s.imageTitle + QStringLiteral("<br>");
    if (!s.imageLink.isEmpty()) {
      body += QStringLiteral("<a href=") + q + s.imageLink + q + u'>' + QStringLiteral("<img src=") + q + s.imageUrl +
              q + QStringLiteral(" border=") + q + u'0' + q + QStringLiteral("></a><br>");
    } else {
      body += QStringLiteral("<img src=") + q + s.imageUrl + q + QStringLiteral("><br>");
    }
    if (!s.imageDescription.isEmpty()) body += s.imageDescription + QStringLiteral("<br>");
    body += QStringLiteral("<br>");
  }
  if (!s.lastBuildDate.isEmpty()) body += QStringLiteral("News Last Updated: ") + s.lastBuildDate + QStringLiteral("<br><br>");
  body += QStringLiteral("Total successive errors: ") + QString::number(s.errorCount) + QStringLiteral("<br><br>") +
          QStringLiteral("Total news items listed: ") + QString::number(s.totalItems);
  return QStringLiteral("<center>") + body + QStringLiteral("</center>");
}

bool IsFileReleaseFrontPage(const QString& link, const QString& frontPage) {
  // The address without its scheme and one trailing "/"; empty when it is
  // not a web address.
  const auto bare = [](const QString& address) {
    QString text = address.trimmed().toLower();
    if (text.startsWith(QLatin1String("https://"))) {
      text.remove(0, 8);
    } else if (text.startsWith(QLatin1String("http://"))) {
      text.remove(0, 7);
    } else {
      return QString();
    }
    if (text.endsWith(u'/')) text.chop(1);
    return text;
  };
  const QString site = bare(frontPage);
  return !site.isEmpty() && bare(link) == site;
}

}  // namespace tw
