#include "ItemStore.h"

#include "core/AppCore.h"
#include "core/StatusTags.h"
#include "news/ItemKeys.h"
#include "news/ItemMatching.h"
#include "news/TagText.h"

#include <vector>

namespace tw {
namespace {

QString Text(Registry& registry, Hive hive, const QString& path, const TextSetting& value) {
  return registry.QueryRegValue(hive, path, ValueName(value.name)).toText();
}

void SetText(Registry& registry, Hive hive, const QString& path, const TextSetting& value, const QString& text) {
  registry.SetRegValue(hive, path, ValueName(value.name), text, RegType::String);
}

}  // namespace

struct ItemStore::StagedItem {
  QString text;
  QString image;
  QString tag;
  bool bold = false;
};

ItemStore::ItemStore(AppCore& core, SiteTitleRefresher& titles, const DebugLog& debugLog)
    : core_(core), titles_(titles), debugLog_(debugLog) {}

void ItemStore::MergeItems(int site, const ItemTexts& items) {
  if (!core_.sites.IsSiteIndex(site)) return;
  const SiteRecord& rec = core_.sites[site];
  SiteTree& tv = core_.tv;
  const qsizetype cached = tv.childCount(rec.Key);
  const qsizetype count = items.size();
  debugLog_.WriteDebugLog(QString::number(count) + QStringLiteral(" item(s) downloaded, ") + QString::number(cached) +
                              QStringLiteral(" item(s) cached"),
                          rec.RegName);
  if (count == 0 || !tv.contains(rec.Key)) return;

  static const TagSetSearch titleAndLink({QStringLiteral("title"), QStringLiteral("link")});
  std::vector<StagedItem> staged(static_cast<size_t>(count));
  QStringList parsed;
  parsed.reserve(count);
  for (qsizetype j = 0; j < count; ++j) {
    const QStringList texts = titleAndLink.textsIn(items.at(j));
    StagedItem& s = staged[static_cast<size_t>(j)];
    s = {texts[0], ImageNew, FreshItemTag(), true};
    parsed << ParsedIdentity(s.text, texts[1]);
  }

  // Two reads per cached item; the comparisons go through a hash. Reading,
  // and rebuilding when it comes to that, is one transaction of the store.
  Registry& registry = core_.registry;
  const Hive hive = core_.settings.hive();
  const QString sitePath = core_.settings.siteKeyPath(rec.RegName);
  RegistryTransaction transaction(registry, hive);
  QStringList stored;
  stored.reserve(cached);
  for (qsizetype i = 1; i <= cached; ++i) {
    const QString path = ItemRegPath(sitePath, i);
    stored << Text(registry, hive, path, setting::ItemTitle) + Text(registry, hive, path, setting::ItemLink);
  }
  const std::vector<qsizetype> source = MatchCachedItems(parsed, stored);
  bool anyNew = false;
  for (qsizetype j = 0; j < count; ++j) {
    StagedItem& s = staged[static_cast<size_t>(j)];
    if (const qsizetype i = source[static_cast<size_t>(j)]; i >= 0) {
      if (const SiteTreeNode* node = tv.find(ItemKey(rec.Key, i + 1))) {
        s.bold = node->bold;
        s.tag = node->tag;
        s.image = node->image;
      }
    }
    anyNew = anyNew || s.tag.contains(TagNew);
  }
  // Nothing new: the tree and the store stay exactly as they are.
  if (!anyNew) return;

  if (!transaction.isActive() || !SaveRebuild(site, items, staged, cached) || !transaction.commit()) {
    core_.activity.LogActivity(
        QStringLiteral("Could not save the news items of %1; its previous list is kept.").arg(rec.Title),
        LogLevel::Error, true);
    return;
  }
  for (qsizetype i = 1; i <= cached; ++i) tv.removeNode(ItemKey(rec.Key, i));
  for (qsizetype i = 1; i <= count; ++i) {
    const StagedItem& s = staged[static_cast<size_t>(i - 1)];
    const QString key = ItemKey(rec.Key, i);
    tv.addNode(rec.Key, key, s.text, s.image);
    tv.setTag(key, s.tag);
    tv.setBold(key, s.bold);
  }
  if (core_.settings.flag(setting::AutoExpandNew)) tv.setExpanded(rec.Key, true);
  titles_.RefreshSiteTitle(site, true);
}

// The old subkeys go, the new ones and "TotalItems" come, inside the merge's
// transaction: all or nothing, so a crash or a full disk in the middle leaves
// the previous list whole. Each new subkey is made with its nine values in
// one call, so its path is prepared once rather than once a value.
bool ItemStore::SaveRebuild(int site, const ItemTexts& items, const std::vector<StagedItem>& staged, qsizetype cached) {
  // Besides "Title" and "Tag", an item stores the texts of these tags.
  static const QString kTitle = ValueName(setting::ItemTitle.name);
  static const QString kTag = ValueName(setting::ItemTag.name);
  static const QStringList kTagNames{QStringLiteral("link"),        QStringLiteral("homepage"),
                                     QStringLiteral("releasedate"), QStringLiteral("description"),
                                     QStringLiteral("pubdate"),     QStringLiteral("thumb"),
                                     QStringLiteral("author")};
  static const QStringList kTagValueNames{
      ValueName(setting::ItemLink.name),    ValueName(setting::ItemHomepage.name),
      ValueName(setting::ItemReleaseDate.name), ValueName(setting::ItemDescription.name),
      ValueName(setting::ItemPubDate.name), ValueName(setting::ItemThumb.name),
      ValueName(setting::ItemAuthor.name)};
  static const TagSetSearch kTags(kTagNames);
  Q_ASSERT(kTagNames.size() == kTagValueNames.size());

  const SiteRecord& rec = core_.sites[site];
  Registry& registry = core_.registry;
  const Hive hive = core_.settings.hive();
  const QString sitePath = core_.settings.siteKeyPath(rec.RegName);
  for (qsizetype i = 1; i <= cached; ++i) registry.DeleteRegKey(hive, ItemRegPath(sitePath, i));
  core_.settings.setSiteNumber(rec.RegName, setting::SiteTotalItems, static_cast<qint32>(items.size()));
  for (qsizetype i = 1; i <= items.size(); ++i) {
    const QStringView item = items.at(i - 1);
    const StagedItem& s = staged[static_cast<size_t>(i - 1)];
    QString tag = s.tag;
    tag.remove(TagVeryNew);
    QList<Registry::RegText> values{{kTitle, s.text}, {kTag, tag}};
    const QStringList texts = kTags.textsIn(item);
    for (qsizetype t = 0; t < texts.size(); ++t) values.append({kTagValueNames[t], texts[t]});
    registry.CreateRegKeyWithTexts(hive, ItemRegPath(sitePath, i), values);
  }
  return true;
}

void ItemStore::LoadSiteItems(int site) {
  if (!core_.sites.IsSiteIndex(site)) return;
  const SiteRecord& rec = core_.sites[site];
  if (rec.Disabled) return;
  const qsizetype total = StoredItemCount(core_.settings, rec.RegName);
  if (total <= 0) return;

  Registry& registry = core_.registry;
  const Hive hive = core_.settings.hive();
  const QString sitePath = core_.settings.siteKeyPath(rec.RegName);
  const bool preserveNew = core_.settings.flag(setting::PreserveNewStatus);
  SiteTree& tv = core_.tv;
  // The tags written back land together (and cost one flush, not one each).
  RegistryTransaction transaction(registry, hive);
  for (qsizetype i = 1; i <= total; ++i) {
    const QString path = ItemRegPath(sitePath, i);
    const QString title = Text(registry, hive, path, setting::ItemTitle);
    const QString stored = Text(registry, hive, path, setting::ItemTag);
    QString tag = stored;
    if (!preserveNew) tag.remove(TagNew);
    if (tag.isEmpty()) tag = TagRead;
    if (tag != stored) SetText(registry, hive, path, setting::ItemTag, tag);

    QString image = ImageItemRead;
    bool bold = false;
    if (tag.contains(TagNew)) {
      image = ImageNew;
      bold = true;
    } else if (tag.contains(TagUnread)) {
      image = ImageItemUnread;
      bold = true;
    }
    const QString key = ItemKey(rec.Key, i);
    tv.addNode(rec.Key, key, title, image);
    tv.setBold(key, bold);
    tv.setTag(key, tag);
  }
  transaction.commit();
  tv.setExpanded(rec.Key, false);
}

void ItemStore::SetReadStatus(bool markRead) {
  SiteTree& tv = core_.tv;
  const QString key = tv.selectedKey();
  const SiteTreeNode* node = tv.find(key);
  if (!node) return;
  const QString tag = node->tag;

  int site = 0;
  const QString sitePart = SitePartOfKey(key);
  for (int i = 1; i <= core_.sites.LastIndex() && site == 0; ++i) {
    const SiteRecord& rec = core_.sites[i];
    if ((!sitePart.isEmpty() && rec.Key == sitePart) || rec.RegName == key) site = i;
  }
  if (site == 0) return;

  RegistryTransaction transaction(core_.registry, core_.settings.hive());
  if (tag.contains(TagUnread) || tag.contains(TagRead)) {
    MarkItem(site, key, ItemNumberOfKey(key), markRead);
  } else {
    const SiteRecord& rec = core_.sites[site];
    const qsizetype total = StoredItemCount(core_.settings, rec.RegName);
    for (qsizetype i = 1; i <= total; ++i) MarkItem(site, ItemKey(rec.Key, i), i, markRead);
  }
  transaction.commit();
  titles_.RefreshSiteTitle(site, false);
}

// "<VERY_NEW>" is left alone: only a title refresh consumes it.
void ItemStore::MarkItem(int site, const QString& itemKey, qsizetype number, bool markRead) {
  SiteTree& tv = core_.tv;
  const SiteTreeNode* node = tv.find(itemKey);
  if (!node) return;
  QString tag = node->tag;
  if (markRead) {
    tag.replace(TagUnread, TagRead);
  } else {
    tag.replace(TagRead, TagUnread);
  }
  tag.remove(TagNew);
  tv.setBold(itemKey, !markRead);
  tv.setImage(itemKey, markRead ? ImageItemRead : ImageItemUnread);
  tv.setTag(itemKey, tag);
  const SiteRecord& rec = core_.sites[site];
  QString storedTag = tag;
  storedTag.remove(TagVeryNew);  // never stored
  SetText(core_.registry, core_.settings.hive(), ItemRegPath(core_.settings.siteKeyPath(rec.RegName), number),
          setting::ItemTag, storedTag);
}

}  // namespace tw
