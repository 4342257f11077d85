#pragma once

#include <QString>

namespace tw {

// Markers of an item's status, always tested by case-sensitive substring search.
inline const QString TagVeryNew = QStringLiteral("<VERY_NEW>");
inline const QString TagNew = QStringLiteral("<NEW>");
inline const QString TagUnread = QStringLiteral("<UNREAD>");
inline const QString TagRead = QStringLiteral("<READ>");

// Ends every site node key, and separates the site key from the item number.
inline const QString SiteKeyPrefix = QStringLiteral(":ID:");

}  // namespace tw
