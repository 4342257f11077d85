#include "NewsTestSupport.h"

#include "core/Windows1252.h"
#include "news/ItemKeys.h"

#include <QFile>

namespace tw::test {

QByteArray Rss(const QList<FeedItem>& items, const QString& channelTitle) {
  QString doc = QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<rss version=\"2.0\">\n<channel>\n"
                    "<title>%1</title>\n<link>http://example.org/</link>\n"
                    "<description>News of the scene</description>\n")
                    .arg(channelTitle);
  for (const FeedItem& item : items) {
    doc += QStringLiteral("<item>\n<title>%1</title>\n<link>%2</link>\n<description>%3</description>\n</item>\n")
               .arg(item.title, item.link, item.description);
  }
  doc += QStringLiteral("</channel>\n</rss>\n");
  return EncodeWindows1252(doc);
}

QList<FeedItem> NumberedItems(int first, int n) {
  QList<FeedItem> items;
  for (int i = first; i < first + n; ++i) {
    items.append({QStringLiteral("Item %1").arg(i), QStringLiteral("http://x/%1").arg(i)});
  }
  return items;
}

NewsTest::NewsTest() { build(); }

void NewsTest::build() {
  parser.reset();
  store.reset();
  titles.reset();
  startup.reset();
  core = std::make_unique<AppCore>(home.paths(), clock, FeedEndpoints());
  startup = std::make_unique<Startup>(*core, window, window, window);
  debugLog = std::make_unique<DebugLog>(home.paths().programFolder, QStringLiteral("Tidewire"), clock, true);
  titles = std::make_unique<SiteTitles>(*core, window, window, window);
  store = std::make_unique<ItemStore>(*core, *titles, *debugLog);
  parser = std::make_unique<FeedParser>(*core, *store, *debugLog, false);
  core->catalogue.setItemLoader(store.get());
  startup->setTitleRefresher(titles.get());
}

void NewsTest::start() {
  startup->InitSettings();
  BuildCatalogue(core->sites, core->identity.ProgTitle, core->endpoints);
  core->catalogue.ApplySiteSettings();
}

void NewsTest::restart() {
  build();
  start();
}

QString NewsTest::writeDownload(int index, const QByteArray& document) {
  const QString path = core->programFolder.AppFolder() + QStringLiteral("/feed%1.xml").arg(index);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(document);
  file.close();
  core->sites[index].CacheFile = path;
  return path;
}

void NewsTest::parse(int index, const QByteArray& document) {
  writeDownload(index, document);
  parser->ParseFeed(index);
}

QStringList NewsTest::itemNodes(int index) const {
  QStringList out;
  for (const QString& key : core->tv.childKeys(site(index).Key)) {
    const SiteTreeNode* n = core->tv.find(key);
    out << n->text + u'|' + n->image + u'|' + n->tag + u'|' + (n->bold ? u'B' : u'-');
  }
  return out;
}

QString NewsTest::itemKey(int index, int number) const { return ItemKey(site(index).Key, number); }

QStringList NewsTest::itemTitles(int index) const {
  QStringList out;
  for (const QString& key : core->tv.childKeys(site(index).Key)) out << core->tv.find(key)->text;
  return out;
}

RegValue NewsTest::stored(int index, const char* valueName) const {
  return core->registry.QueryRegValue(core->settings.hive(), core->settings.siteKeyPath(site(index).RegName),
                                      QString::fromLatin1(valueName));
}

RegValue NewsTest::storedItem(int index, int number, const char* valueName) const {
  return core->registry.QueryRegValue(core->settings.hive(),
                                      ItemRegPath(core->settings.siteKeyPath(site(index).RegName), number),
                                      QString::fromLatin1(valueName));
}

bool NewsTest::storedItemExists(int index, int number) const {
  return core->registry.KeyExists(core->settings.hive(),
                                  ItemRegPath(core->settings.siteKeyPath(site(index).RegName), number));
}

QStringList NewsTest::storedItems(int index) const {
  QStringList out;
  for (int i = 1; i <= totalItems(index); ++i) {
    out << storedItem(index, i, "Title").toText() + u'|' + storedItem(index, i, "Link").toText() + u'|' +
               storedItem(index, i, "Tag").toText();
  }
  return out;
}

void NewsTest::presetItems(int index, const QStringList& titles, const QStringList& tags) {
  Registry& reg = core->registry;
  const Hive hive = core->settings.hive();
  const QString path = core->settings.siteKeyPath(site(index).RegName);
  reg.CreateRegKey(hive, path);
  reg.SetRegValue(hive, path, QStringLiteral("TotalItems"), titles.size(), RegType::Dword);
  for (int i = 1; i <= titles.size(); ++i) {
    const QString sub = ItemRegPath(path, i);
    reg.CreateRegKey(hive, sub);
    reg.SetRegValue(hive, sub, QStringLiteral("Title"), titles[i - 1], RegType::String);
    reg.SetRegValue(hive, sub, QStringLiteral("Link"), QStringLiteral("http://x/%1").arg(titles[i - 1]),
                    RegType::String);
    if (i <= tags.size()) reg.SetRegValue(hive, sub, QStringLiteral("Tag"), tags[i - 1], RegType::String);
  }
}

void NewsTest::setFlag(const FlagSetting& s, int value) {
  core->registry.CreateRegKey(core->settings.hive(), core->settings.root());
  core->registry.SetRegValue(core->settings.hive(), core->settings.root(), QString::fromLatin1(s.name), value,
                             RegType::Dword);
}

QStringList NewsTest::debugLines(int index) const {
  QFile file(debugLog->logFilePath(site(index).RegName));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList lines;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QString text = DecodeWindows1252(line).trimmed();
    // "MM/dd/yy - hh:mm:ss - message"
    if (!text.isEmpty()) lines << text.section(QStringLiteral(" - "), 2);
  }
  return lines;
}

QStringList NewsTest::activityTexts() const {
  QStringList out;
  for (const ActivityLine& line : core->activity.lines()) out << line.text.section(QStringLiteral(" - "), 2);
  return out;
}

}  // namespace tw::test
