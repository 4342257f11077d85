#include "ItemKeys.h"

#include "core/Settings.h"
#include "core/StatusTags.h"
#include "news/FeedDocument.h"

#include <algorithm>

namespace tw {

QString ItemKey(const QString& siteKey, qsizetype number) { return siteKey + QString::number(number); }

QString SitePartOfKey(const QString& key) {
  const qsizetype at = key.indexOf(SiteKeyPrefix);
  return at < 0 ? QString() : key.left(at + SiteKeyPrefix.size());
}

qsizetype ItemNumberOfKey(const QString& key) {
  const qsizetype at = key.indexOf(SiteKeyPrefix);
  if (at < 0) return 0;
  qsizetype number = 0;
  for (qsizetype i = at + SiteKeyPrefix.size(); i < key.size() && key[i].isDigit() && key[i].unicode() < 0x80; ++i) {
    if (number > 100000000) break;  // far beyond any item number
    number = number * 10 + (key[i].unicode() - u'0');
  }
  return number;
}

QString FreshItemTag() { return TagVeryNew + TagNew + TagUnread; }

QString ItemRegPath(const QString& siteKeyPath, qsizetype number) {
  return siteKeyPath + u'\\' + QString::number(number);
}

qsizetype StoredItemCount(const Settings& settings, const QString& regName) {
  const qint32 total = settings.siteNumber(regName, setting::SiteTotalItems);
  return std::clamp<qsizetype>(total, 0, kMaxFeedItems);
}

}  // namespace tw
