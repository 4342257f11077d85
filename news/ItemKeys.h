#pragma once

#include <QString>
#include <QStringView>

namespace tw {

class Settings;

// Image-list keys of item nodes.
inline const QString ImageNew = QStringLiteral("new");
inline const QString ImageItemUnread = QStringLiteral("item_unread");
inline const QString ImageItemRead = QStringLiteral("item_read");

// An item's tree key: the site's key followed by the item number (1..N in
// feed order of the last rebuild).
QString ItemKey(const QString& siteKey, qsizetype number);

// The key up to and including its first ":ID:"; empty when it has none.
QString SitePartOfKey(const QString& key);

// The decimal number that follows the first ":ID:" of an item key, read as far
// as there are digits; 0 when there are none.
qsizetype ItemNumberOfKey(const QString& key);

// The tag of a freshly parsed item: "<VERY_NEW><NEW><UNREAD>".
QString FreshItemTag();

// The item's key in the store: the site key + "\" + the number.
QString ItemRegPath(const QString& siteKeyPath, qsizetype number);

// The site's stored "TotalItems", kept within 0..kMaxFeedItems: no list is
// ever stored longer, and a damaged count must not send a loop over billions
// of keys.
qsizetype StoredItemCount(const Settings& settings, const QString& regName);

// A value name of the store as text.
inline QString ValueName(const char* name) { return QString::fromLatin1(name); }

}  // namespace tw
