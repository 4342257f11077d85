#include "Catalogue.h"

#include "Crc32.h"
#include "EngineHooks.h"
#include "Settings.h"
#include "SiteTree.h"

namespace tw {
namespace {

struct Colours {
  Rgb titleBack, titleText, linkCaption, linkText, linkHover;
};

constexpr Colours kSkinColours{RGB(255, 255, 255), 0, 0, RGB(104, 160, 0), RGB(149, 209, 0)};

SiteRecord Row(QString title, QString caption, QString code, QString iconKey, QString bgnd, QString logo,
               ItemTemplateId itemTemplate, const Colours* colours) {
  SiteRecord r;
  r.Title = std::move(title);
  r.Caption = std::move(caption);
  r.Key = std::move(code);  // replaced by the CRC key before anything reads it
  r.IconKey = std::move(iconKey);
  r.BgndRes = std::move(bgnd);
  r.LogoRes = std::move(logo);
  r.ItemTemplate = itemTemplate;
  r.OwnColours = colours != nullptr;
  if (colours) {
    r.TitleBack = colours->titleBack;
    r.TitleText = colours->titleText;
    r.LinkCaption = colours->linkCaption;
    r.LinkText = colours->linkText;
    r.LinkHover = colours->linkHover;
  }
  return r;
}

QString S(const char* text) { return QString::fromLatin1(text); }

}  // namespace

void BuildCatalogue(SiteTable& table, const QString& progTitle, const FeedEndpoints& endpoints) {
  static constexpr Colours kXbins{0, RGB(153, 255, 255), RGB(255, 255, 204), RGB(204, 204, 204), RGB(204, 51, 0)};
  static constexpr Colours kXboxScene{RGB(223, 230, 216), 0, 0, RGB(114, 133, 84), RGB(153, 172, 125)};
  static constexpr Colours kMaxConsole{RGB(28, 43, 62), RGB(101, 151, 214), RGB(255, 255, 255), RGB(85, 120, 164),
                                       RGB(130, 156, 189)};
  static constexpr Colours kMediaXbox{RGB(255, 255, 255), 0, 0, 0, RGB(255, 0, 0)};
  static constexpr Colours kGueux{RGB(234, 245, 213), RGB(0, 51, 51), RGB(0, 51, 51), RGB(0, 51, 153),
                                  RGB(214, 128, 0)};
  using T = ItemTemplateId;

  table.Clear();
  const auto home = [&](int site) { return endpoints.HomeAddress(site); };
  table.Append(Row(progTitle, home(1), S("tdwr"), progTitle, {}, {}, T::Generic, nullptr));
  table.Append(Row(S("Xbins"), home(2), S("xbin"), {}, {}, S("XBINS"), T::FileRelease, &kXbins));
  table.Append(Row(S("Xbox-Scene"), home(3), S("xbsc"), S("xboxscene"), S("XBOXSCENE"), S("XBOXSCENE"),
                   T::NewsBackground, &kXboxScene));
  table.Append(Row(S("Max Console"), home(4), S("maxc"), {}, {}, S("MAXCONSOLE"), T::NewsDark, &kMaxConsole));
  table.Append(Row(S("Media Xbox"), home(5), S("medi"), S("mediaxbox"), {}, S("MEDIAXBOX"), T::NewsBlue, &kMediaXbox));
  table.Append(
      Row(S("Gueux.be"), home(6), S("gueu"), S("gueux"), {}, S("GUEUX"), T::NewsLightGreen, &kGueux));

  struct Skin {
    const char* title;
    const char* caption;
    const char* code;
  };
  static constexpr Skin kSkins[] = {
      {"AllXboxSkins - Xbox Media Player", "Recent Xbox Media Player Skins", ""},
      {"AllXboxSkins - EvoX", "Recent EvoX Skins", ""},
      {"AllXboxSkins - Media-X-Menu", "Recent Media-X-Menu Skins", ""},
      {"AllXboxSkins - Avalaunch", "Recent Avalaunch Skins", ""},
      {"AllXboxSkins - Mega X-Key", "Recent Mega-X Key Skins", ""},
      {"AllXboxSkins - CPX-MenuX", "Recent CPX-MenuX Skins", ""},
      {"AllXboxSkins - XPort", "Recent XPort Skins", ""},
      {"AllXboxSkins - XLink/Bo-XLink", "Recent XLink/Bo-XLink Skins", "abbo"},
      {"AllXboxSkins - MS Dash", "Recent MS Dash Skins", "abms"},
      {"AllXboxSkins - Xbox Media Center", "Recent Xbox Media Center Skins", ""},
  };
  for (const Skin& skin : kSkins) {
    table.Append(Row(S(skin.title), S(skin.caption), S(skin.code), S("allxboxskins"), S("ALLXBOXSKINS"),
                     S("ALLXBOXSKINS"), T::Skin, &kSkinColours));
  }
  table.Append(Row(S("Daily Game"), home(17), {}, {}, {}, S("DAILYGAME"), T::Generic, nullptr));

  // Rows 5 and 6 carry their logo name in RegName until ApplySiteSettings
  // names every row after its title.
  table[5].RegName = table[5].LogoRes;
  table[6].RegName = table[6].LogoRes;
  for (int i = 1; i <= table.LastIndex(); ++i) table[i].FeedUrl = endpoints.FeedUrl(i);
}

Catalogue::Catalogue(SiteTable& table, Settings& settings, SiteTree& tree)
    : table_(table), settings_(settings), tv_(tree) {}

void Catalogue::ApplySiteSettings() {
  Registry& registry = settings_.registry();
  for (int i = 1; i <= table_.LastIndex(); ++i) {
    SiteRecord& site = table_[i];
    site.RegName = site.Title;
    site.Key = SiteKeyFor(site.Title);

    registry.CreateRegKey(settings_.hive(), settings_.siteKeyPath(site.RegName));
    site.Disabled = settings_.siteFlag(site.RegName, setting::SiteDisabled);
    site.ErrorCount = settings_.siteNumber(site.RegName, setting::SiteErrorCount);
    site.AutoItem = settings_.siteFlag(site.RegName, setting::SiteAutoItem);
    site.External = settings_.siteFlag(site.RegName, setting::SiteExternal);

    if (!site.OwnColours) {
      site.TitleBack = kDefaultTitleBack;
      site.TitleText = kDefaultTitleText;
      site.LinkCaption = kDefaultLinkCaption;
      site.LinkText = kDefaultLinkText;
      site.LinkHover = kDefaultLinkHover;
    }

    if (!site.Disabled && !site.InTree) {
      site.InTree = true;
      if (site.IconKey.isEmpty()) site.IconKey = QStringLiteral("site");
      tv_.addNode({}, site.Key, site.Title, site.IconKey);
      tv_.setTag(site.Key, site.Title);
      if (loader_) loader_->LoadSiteItems(i);
    } else if (site.Disabled && site.InTree) {
      site.InTree = false;
      tv_.removeNode(site.Key);
    }
  }
  tv_.setSorted(settings_.flag(setting::SortSites));
}

}  // namespace tw
