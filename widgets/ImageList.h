#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace tw {

// imgList: the icons of the tree, the activity list and the status bar,
// keyed as the program keys them ("new", "item_unread", "info", a site's
// icon key, the program title, ...). Pictures come from ":/icons/<key>.png";
// a key without a picture gets a plain generated one, so nothing shows blank.
class ImageList {
 public:
  QIcon icon(const QString& key) const;
  bool hasPicture(const QString& key) const;

  // The stand-in for a key without a picture: a round badge for the
  // activity levels, a lettered tile for anything else.
  static QIcon GeneratedIcon(const QString& key);

 private:
  mutable QHash<QString, QIcon> cache_;
};

}  // namespace tw
