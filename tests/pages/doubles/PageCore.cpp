#include "PageCore.h"

#include "core/Catalogue.h"

#include <algorithm>

namespace tw::test {

std::unique_ptr<AppCore> MakePageCore(const AppPaths& paths, const Clock& clock) {
  auto core = std::make_unique<AppCore>(paths, clock, FeedEndpoints());
  AppIdentity& id = core->identity;
  id.ProgTitle = QString::fromLatin1(kProductTitle);
  id.ConsoleName = QString::fromLatin1(kConsoleName);
  id.VersionText = BuildVersionText(id.VersionMajor, id.VersionMinor, id.VersionRevision);
  id.SettingsRoot = QStringLiteral("Software\\") + id.ProgTitle;
  id.SettingsHive = Hive::LocalMachine;
  core->registry.CreateRegKey(id.SettingsHive, id.SettingsRoot);
  BuildCatalogue(core->sites, id.ProgTitle, core->endpoints);
  core->catalogue.ApplySiteSettings();
  return core;
}

QString StoreItem(AppCore& core, int site, int number, const StoredItem& item) {
  const SiteRecord& row = core.sites[site];
  const QString key = row.Key + QString::number(number);
  core.tv.addNode(row.Key, key, item.title,
                  item.tag.contains(TagUnread) ? QStringLiteral("item_unread") : QStringLiteral("item_read"));
  core.tv.setTag(key, item.tag);
  core.tv.setBold(key, item.tag.contains(TagUnread));

  Registry& registry = core.registry;
  const Hive hive = core.settings.hive();
  const QString path = core.settings.siteKeyPath(row.RegName) + u'\\' + QString::number(number);
  registry.CreateRegKey(hive, path);
  const auto set = [&](const TextSetting& setting, const QString& value) {
    registry.SetRegValue(hive, path, QString::fromLatin1(setting.name), value, RegType::String);
  };
  set(setting::ItemTitle, item.title);
  set(setting::ItemLink, item.link);
  set(setting::ItemHomepage, item.homepage);
  set(setting::ItemReleaseDate, item.releaseDate);
  set(setting::ItemDescription, item.description);
  set(setting::ItemPubDate, item.pubDate);
  set(setting::ItemThumb, item.thumb);
  set(setting::ItemAuthor, item.author);
  QString stored = item.tag;
  stored.remove(TagVeryNew);
  set(setting::ItemTag, stored);
  core.settings.setSiteNumber(row.RegName, setting::SiteTotalItems,
                              std::max(number, core.settings.siteNumber(row.RegName, setting::SiteTotalItems)));
  return key;
}

}  // namespace tw::test
