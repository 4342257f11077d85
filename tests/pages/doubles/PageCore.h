#pragma once

#include "core/AppCore.h"
#include "core/StatusTags.h"

#include <memory>

namespace tw::test {

// A core as start-up leaves it: identity, settings root and the built-in
// catalogue with every site in the tree.
std::unique_ptr<AppCore> MakePageCore(const AppPaths& paths, const Clock& clock);

// An item as the item store keeps it: registry subkey and tree node.
struct StoredItem {
  QString title = QStringLiteral("Title");
  QString link = QStringLiteral("https://news.example/item");
  QString description;
  QString homepage;
  QString releaseDate;
  QString pubDate;
  QString thumb;
  QString author;
  QString tag = TagNew + TagUnread;
};
// Stores the item as number `number` of the site; returns its node key.
QString StoreItem(AppCore& core, int site, int number, const StoredItem& item);

}  // namespace tw::test
