#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace tw {

// A keyed list of pictures. imgList, the icons of the tree, the activity list
// and the status bar, is keyed as the program keys them ("new",
// "item_unread", "info", a site's icon key, the program title, ...): its
// pictures come from ":/icons/<key>.png", and a key without a picture gets a
// plain generated one, so nothing shows blank. Pictures can also be added
// under keys of their own at run time, in order (the option tree's list
// holds only those).
class ImageList {
 public:
  // Where a key without an added picture looks.
  enum class Fallback { ResourcesAndGenerated, None };
  explicit ImageList(Fallback fallback = Fallback::ResourcesAndGenerated) : fallback_(fallback) {}

  // A null icon for an unknown key when there is no fallback.
  QIcon icon(const QString& key) const;
  bool hasPicture(const QString& key) const;

  // Refused (false) for a null picture or a key the list already holds.
  bool Add(const QString& key, const QIcon& picture);
  // Refused (false) for a null picture or a key that was not added.
  bool Replace(const QString& key, const QIcon& picture);
  void Remove(const QString& key);
  // The added keys in the order added, then the keys of the built-in
  // pictures by name (when the list falls back on them).
  QStringList Keys() const;

  // The stand-in for a key without a picture: a round badge for the
  // activity levels, a lettered tile for anything else.
  static QIcon GeneratedIcon(const QString& key);

 private:
  Fallback fallback_;
  QStringList addedOrder_;
  QHash<QString, QIcon> added_;
  mutable QHash<QString, QIcon> cache_;
};

}  // namespace tw
