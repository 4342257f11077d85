#include "PageFixture.h"

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
  core = MakePageCore(home.paths(), clock);
  web.programFolder = folder();
  refresher = std::make_unique<RecordingRefresher>(core->tv);
  renderer = std::make_unique<PageRenderer>(*core, web, strip);
  renderer->setTitleRefresher(refresher.get());
}

QString PageFixture::addItem(int site, int number, const Item& item) { return StoreItem(*core, site, number, item); }

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
