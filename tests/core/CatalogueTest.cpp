#include "core/AppCore.h"
#include "core/Crc32.h"
#include "core/EngineHooks.h"
#include "core/Startup.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QSet>

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(SiteKey, IsTheCrcInUpperCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(cCRC::Compute(QByteArray("123456789")), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(SiteKeyFor(QStringLiteral("Xbins")), QStringLiteral("2A1ADA9F:ID:"));
  EXPECT_EQ(SiteKeyFor(QStringLiteral("Site 149")), QStringLiteral("70CEF6:ID:"));
  // Taken over the single-byte characters of the title.
  EXPECT_EQ(SiteKeyFor(QStringLiteral("Caf\u00e9")), QString::number(cCRC::Compute("Caf\xe9"), 16).toUpper() + ":ID:");
}

TEST(Catalogue, HasTheSeventeenRowsInOrder) {
  SiteTable table;
  BuildCatalogue(table, QStringLiteral("Tidewire"), FeedEndpoints());
  ASSERT_EQ(table.LastIndex(), 17);
  const QStringList titles = {
      "Tidewire", "Xbins", "Xbox-Scene", "Max Console", "Media Xbox", "Gueux.be",
      "AllXboxSkins - Xbox Media Player", "AllXboxSkins - EvoX", "AllXboxSkins - Media-X-Menu",
      "AllXboxSkins - Avalaunch", "AllXboxSkins - Mega X-Key", "AllXboxSkins - CPX-MenuX", "AllXboxSkins - XPort",
      "AllXboxSkins - XLink/Bo-XLink", "AllXboxSkins - MS Dash", "AllXboxSkins - Xbox Media Center", "Daily Game"};
  for (int i = 1; i <= 17; ++i) EXPECT_EQ(table[i].Title, titles[i - 1]) << i;

  EXPECT_EQ(table[1].IconKey, QStringLiteral("Tidewire"));
  EXPECT_FALSE(table[1].OwnColours);
  EXPECT_EQ(table[1].ItemTemplate, ItemTemplateId::Generic);
  EXPECT_EQ(table[2].Key, QStringLiteral("xbin"));
  EXPECT_EQ(table[2].ItemTemplate, ItemTemplateId::FileRelease);
  EXPECT_EQ(table[2].TitleBack, RGB(0, 0, 0));
  EXPECT_EQ(table[2].LinkHover, RGB(204, 51, 0));
  EXPECT_EQ(table[3].BgndRes, QStringLiteral("XBOXSCENE"));
  EXPECT_EQ(table[3].ItemTemplate, ItemTemplateId::NewsBackground);
  EXPECT_EQ(table[4].TitleText, RGB(101, 151, 214));
  EXPECT_EQ(table[4].ItemTemplate, ItemTemplateId::NewsDark);
  EXPECT_EQ(table[5].RegName, QStringLiteral("MEDIAXBOX"));
  EXPECT_EQ(table[6].RegName, QStringLiteral("GUEUX"));
  EXPECT_EQ(table[6].ItemTemplate, ItemTemplateId::NewsLightGreen);
  for (int i = 7; i <= 16; ++i) {
    EXPECT_EQ(table[i].ItemTemplate, ItemTemplateId::Skin);
    EXPECT_EQ(table[i].IconKey, QStringLiteral("allxboxskins"));
    EXPECT_EQ(table[i].TitleBack, RGB(255, 255, 255));
    EXPECT_EQ(table[i].TitleText, 0u);
    EXPECT_EQ(table[i].LinkText, RGB(104, 160, 0));
    EXPECT_EQ(table[i].LinkHover, RGB(149, 209, 0));
  }
  EXPECT_EQ(table[14].Key, QStringLiteral("abbo"));
  EXPECT_EQ(table[11].Caption, QStringLiteral("Recent Mega-X Key Skins"));
  EXPECT_EQ(table[17].LogoRes, QStringLiteral("DAILYGAME"));
  EXPECT_TRUE(table[17].IconKey.isEmpty());

  // Building again starts from scratch.
  BuildCatalogue(table, QStringLiteral("Tidewire"), FeedEndpoints());
  EXPECT_EQ(table.LastIndex(), 17);
}

TEST(FeedEndpoints, ABaseUrlReplacesEveryPrefixButKeepsEachFileName) {
  const FeedEndpoints real;
  const FeedEndpoints local(QStringLiteral("http://127.0.0.1:8080/demo/"));
  QSet<QString> files;
  for (int i = 1; i <= 17; ++i) {
    EXPECT_TRUE(real.FeedUrl(i).startsWith(QStringLiteral("https://"))) << i;
    const QString file = real.FeedUrl(i).section(u'/', -1);
    EXPECT_EQ(local.FeedUrl(i), QStringLiteral("http://127.0.0.1:8080/demo/") + file);
    files.insert(file);
  }
  EXPECT_EQ(files.size(), 17);
  EXPECT_EQ(local.VersionFileUrl(), QStringLiteral("http://127.0.0.1:8080/demo/version.txt"));
  EXPECT_TRUE(real.FeedUrl(0).isEmpty());
  EXPECT_TRUE(real.FeedUrl(18).isEmpty());

  qputenv(FeedEndpoints::kBaseVariable, "file:///etc");
  QString problem;
  EXPECT_EQ(FeedEndpoints::FromEnvironment(&problem).base(), QString());
  EXPECT_TRUE(problem.contains(QStringLiteral("TIDEWIRE_FEED_BASE")));
  qputenv(FeedEndpoints::kBaseVariable, "http://127.0.0.1:9");
  EXPECT_EQ(FeedEndpoints::FromEnvironment(&problem).base(), QStringLiteral("http://127.0.0.1:9"));
  qunsetenv(FeedEndpoints::kBaseVariable);
}

class RecordingLoader : public SiteItemLoader {
 public:
  void LoadSiteItems(int site) override { loaded << site; }
  QList<int> loaded;
};

class ApplySiteSettingsTest : public ::testing::Test {
 protected:
  ApplySiteSettingsTest() : core(home.paths(), clock, FeedEndpoints()), startup(core, window, window, window) {
    startup.InitSettings();
    BuildCatalogue(core.sites, core.identity.ProgTitle, core.endpoints);
    core.catalogue.setItemLoader(&loader);
  }
  void setSiteFlag(const QString& title, const FlagSetting& s, bool on) {
    core.registry.CreateRegKey(core.settings.hive(), core.settings.siteKeyPath(title));
    core.settings.setSiteFlag(title, s, on);
  }
  test::TempHome home;
  test::FakeClock clock;
  test::FakeWindow window;
  AppCore core;
  Startup startup;
  RecordingLoader loader;
};

TEST_F(ApplySiteSettingsTest, GivesEveryEnabledSiteANodeWithItsItems) {
  setSiteFlag(QStringLiteral("Max Console"), setting::SiteDisabled, true);
  setSiteFlag(QStringLiteral("Xbins"), setting::SiteAutoItem, true);
  core.registry.SetRegValue(core.settings.hive(), core.settings.siteKeyPath(QStringLiteral("Xbins")),
                            QStringLiteral("Error Count"), 7, RegType::Dword);
  core.catalogue.ApplySiteSettings();

  EXPECT_EQ(core.tv.rootKeys().size(), 16);
  EXPECT_FALSE(core.tv.contains(SiteKeyFor(QStringLiteral("Max Console"))));
  const SiteRecord& xbins = core.sites[2];
  EXPECT_EQ(xbins.Key, QStringLiteral("2A1ADA9F:ID:"));
  EXPECT_EQ(xbins.RegName, QStringLiteral("Xbins"));
  EXPECT_TRUE(xbins.AutoItem);
  EXPECT_FALSE(xbins.External);
  EXPECT_EQ(xbins.ErrorCount, 7);
  EXPECT_EQ(core.sites[5].RegName, QStringLiteral("Media Xbox"));
  EXPECT_EQ(core.sites[17].IconKey, QStringLiteral("site"));
  EXPECT_EQ(core.sites[1].TitleBack, kDefaultTitleBack);
  EXPECT_EQ(core.sites[1].LinkText, kDefaultLinkText);
  EXPECT_EQ(core.sites[17].LinkHover, kDefaultLinkHover);

  const SiteTreeNode* node = core.tv.find(xbins.Key);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->text, QStringLiteral("Xbins"));
  EXPECT_EQ(node->tag, QStringLiteral("Xbins"));
  EXPECT_EQ(node->image, QStringLiteral("site"));
  EXPECT_EQ(loader.loaded, (QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}));
  // Every site has its settings key, whether enabled or not.
  EXPECT_TRUE(core.registry.KeyExists(Hive::LocalMachine, QStringLiteral("Software\\Tidewire\\Max Console")));
  EXPECT_TRUE(core.registry.KeyExists(Hive::LocalMachine,
                                      QStringLiteral("Software\\Tidewire\\AllXboxSkins - XLink/Bo-XLink")));
}

TEST_F(ApplySiteSettingsTest, DisablingRemovesTheNodeAndEnablingBringsItBackWithoutFetching) {
  core.catalogue.ApplySiteSettings();
  const QString key = SiteKeyFor(QStringLiteral("Daily Game"));
  core.tv.addNode(key, key + QStringLiteral("1"), QStringLiteral("an item"), QStringLiteral("item_read"));

  setSiteFlag(QStringLiteral("Daily Game"), setting::SiteDisabled, true);
  loader.loaded.clear();
  core.catalogue.ApplySiteSettings();
  EXPECT_FALSE(core.tv.contains(key));
  EXPECT_FALSE(core.tv.contains(key + QStringLiteral("1")));
  EXPECT_FALSE(core.sites[17].InTree);
  EXPECT_TRUE(loader.loaded.isEmpty());

  setSiteFlag(QStringLiteral("Daily Game"), setting::SiteDisabled, false);
  core.catalogue.ApplySiteSettings();
  EXPECT_EQ(core.tv.rootKeys().last(), key);
  EXPECT_EQ(loader.loaded, QList<int>{17});
}

TEST_F(ApplySiteSettingsTest, EverySiteDisabledLeavesTheTreeEmpty) {
  for (int i = 1; i <= 17; ++i) setSiteFlag(core.sites[i].Title, setting::SiteDisabled, true);
  core.catalogue.ApplySiteSettings();
  EXPECT_EQ(core.tv.nodeCount(), 0);
}

TEST_F(ApplySiteSettingsTest, SortSitesOrdersTheTopLevelByText) {
  core.settings.setFlag(setting::SortSites, true);
  core.catalogue.ApplySiteSettings();
  EXPECT_TRUE(core.tv.sorted());
  const QStringList order = core.tv.rootKeysInDisplayOrder();
  EXPECT_EQ(core.tv.find(order.first())->text, QStringLiteral("AllXboxSkins - Avalaunch"));
  EXPECT_EQ(core.tv.find(order.last())->text, QStringLiteral("Xbox-Scene"));
  // Insertion order is kept underneath.
  EXPECT_EQ(core.tv.find(core.tv.rootKeys().first())->text, QStringLiteral("Tidewire"));
}

}  // namespace
}  // namespace tw
