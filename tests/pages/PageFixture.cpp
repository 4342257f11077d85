#include "PageFixture.h"

#include "core/Catalogue.h"
#include "core/Windows1252.h"

namespace tw::test {

void RecordingRefresher::RefreshSiteTitle(int site, bool announce) {
  Call call{site, announce, {}};
  for (const QString& root : tree_.rootKeys()) {
    for (const QString& key : tree_.childKeys(root)) call.tags << tree_.find(key)->tag;
  }
  calls << call;
}

PageFixture::PageFixture() {
  core = std::make_unique<AppCore>(home.paths(), clock, FeedEndpoints());
  AppIdentity& id = core->identity;
  id.ProgTitle = QStringLiteral("Tidewire");
  id.ConsoleName = QStringLiteral("Xbox");
  id.VersionText = BuildVersionText(id.VersionMajor, id.VersionMinor, id.VersionRevision);
  id.SettingsRoot = QStringLiteral("Software\\Tidewire");
  id.SettingsHive = Hive::LocalMachine;
  core->registry.CreateRegKey(id.SettingsHive, id.SettingsRoot);
  BuildCatalogue(core->sites, id.ProgTitle, core->endpoints);
  core->catalogue.ApplySiteSettings();

  web.programFolder = folder();
  refresher = std::make_unique<RecordingRefresher>(core->tv);
  renderer = std::make_unique<PageRenderer>(*core, web, strip);
  renderer->setTitleRefresher(refresher.get());
}

QString PageFixture::addItem(int site, int number, const Item& item) {
  const SiteRecord& row = core->sites[site];
  const QString key = row.Key + QString::number(number);
  core->tv.addNode(row.Key, key, item.title, item.tag.contains(TagUnread) ? QStringLiteral("item_unread")
                                                                           : QStringLiteral("item_read"));
  core->tv.setTag(key, item.tag);
  core->tv.setBold(key, item.tag.contains(TagUnread));

  Registry& registry = core->registry;
  const Hive hive = core->settings.hive();
  const QString path = core->settings.siteKeyPath(row.RegName) + u'\\' + QString::number(number);
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
  core->settings.setSiteNumber(row.RegName, setting::SiteTotalItems,
                               std::max(number, core->settings.siteNumber(row.RegName, setting::SiteTotalItems)));
  return key;
}

void PageFixture::setSiteFlag(int site, const FlagSetting& setting, bool on) {
  core->settings.setSiteFlag(core->sites[site].RegName, setting, on);
  core->catalogue.ApplySiteSettings();
}

void PageFixture::setChannel(int site, const TextSetting& setting, const QString& value) {
  core->settings.setSiteText(core->sites[site].RegName, setting, value);
}

QString PageFixture::storedTag(int site, int number) {
  return core->registry
      .QueryRegValue(core->settings.hive(),
                     core->settings.siteKeyPath(core->sites[site].RegName) + u'\\' + QString::number(number),
                     QString::fromLatin1(setting::ItemTag.name))
      .toText();
}

QStringList PageFixture::programFiles() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }

QString PageFixture::lastShownPage() const {
  if (web.shown.isEmpty()) return {};
  return DecodeWindows1252(web.shown.back().content);
}

}  // namespace tw::test
