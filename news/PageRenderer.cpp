#include "PageRenderer.h"

#include "core/AppCore.h"
#include "core/BuildFlags.h"
#include "core/StatusTags.h"
#include "news/Entities.h"
#include "news/ItemPage.h"
#include "news/MarkupBounds.h"
#include "news/PageFiles.h"
#include "news/PageTemplates.h"
#include "news/TitleStrip.h"
#include "news/WebView.h"

namespace tw {
namespace {

QString Name(const TextSetting& setting) { return QString::fromLatin1(setting.name); }

QString TemplateOf(const SiteRecord& site) {
  return site.ItemTemplate == ItemTemplateId::Generic ? DefaultItemTemplate() : ItemTemplate(site.ItemTemplate);
}

// The strip's colours and logo, shared by item and site pages.
TitleStripContent SiteStrip(const SiteRecord& site, const QString& logoFile) {
  TitleStripContent strip;
  strip.back = site.TitleBack;
  strip.logoFile = logoFile;
  strip.logoTag = site.RegName;
  strip.title.colour = site.TitleText;
  strip.linkTitle.colour = site.LinkCaption;
  strip.link.colour = site.LinkText;
  strip.linkColour = site.LinkText;
  strip.linkHoverColour = site.LinkHover;
  return strip;
}

}  // namespace

PageRenderer::PageRenderer(AppCore& core, WebView& web, TitleStrip& strip, QObject* parent)
    : QObject(parent),
      core_(core),
      web_(web),
      strip_(strip),
      display_(web),
      builtIn_(core, web, strip, display_, [this] { CleanPageFiles(); }) {
  connect(&web_, &WebView::loadAbandoned, this, [this] {
    core_.activity.LogActivity(QStringLiteral("A page did not finish loading within %1 s and was stopped.")
                                   .arg(WebView::kOwnPageLimitMs / 1000),
                               LogLevel::Warning, true);
  });
}

QString PageRenderer::folder() const { return core_.programFolder.AppFolder(); }

void PageRenderer::CleanPageFiles() { tw::CleanPageFiles(folder(), DebugBuild); }

void PageRenderer::WriteSitePictures(const SiteRecord& site, const QString& logoName) {
  if (!site.BgndRes.isEmpty()) {
    SaveResourceFile(PageFilePath(folder(), page_file::Background), site.BgndRes,
                     QString::fromLatin1(kBackgroundResourceType), true);
  }
  SaveResourceFile(PageFilePath(folder(), page_file::Logo), logoName, QString::fromLatin1(kLogoResourceType), true);
}

bool PageRenderer::WritePage(const QString& page) {
  const QString path = PageFilePath(folder(), page_file::ItemPage);
  // What a feed's markup may cost the web view is bounded before it gets there.
  MarkupBounds bounds;
  const QString bounded = BoundMarkup(page, &bounds);
  if (bounds.tagsTooDeep > 0 || bounds.cut) {
    const QString why = bounds.cut ? QStringLiteral("it is longer than %1 characters").arg(kMaxMarkupChars)
                                   : QStringLiteral("%1 tags are nested more than %2 deep")
                                         .arg(bounds.tagsTooDeep)
                                         .arg(kMaxMarkupDepth);
    core_.activity.LogActivity(QStringLiteral("Part of the page was left out: ") + why, LogLevel::Info, false);
  }
  if (WriteTextFile(path, bounded)) return true;
  core_.activity.LogActivity(QStringLiteral("Could not write the page ") + path, LogLevel::Error, true);
  return false;
}

void PageRenderer::ShowRenderedPage() {
  web_.ShowPageFile(QString::fromLatin1(page_file::ItemPage), PageScripts::Off);
}

void PageRenderer::MarkItemRead(const SiteRecord& site, const QString& itemKey) {
  const SiteTreeNode* node = core_.tv.find(itemKey);
  if (!node) return;
  QString tag = node->tag;
  tag.remove(TagNew);
  if (tag.contains(TagUnread)) {
    core_.tv.setBold(itemKey, false);
    core_.tv.setImage(itemKey, QStringLiteral("item_read"));
    tag.replace(TagUnread, TagRead);
  }
  if (tag == node->tag) return;
  core_.tv.setTag(itemKey, tag);
  // The store never holds the very-new marker: it lives for one title refresh.
  QString stored = tag;
  stored.remove(TagVeryNew);
  const QString number = itemKey.mid(itemKey.indexOf(SiteKeyPrefix) + SiteKeyPrefix.size());
  core_.registry.SetRegValue(core_.settings.hive(), core_.settings.siteKeyPath(site.RegName) + u'\\' + number,
                             Name(setting::ItemTag), stored, RegType::String);
}

void PageRenderer::ShowItem(int siteIndex, const QString& itemKey) {
  if (!core_.sites.IsSiteIndex(siteIndex)) return;
  const SiteRecord& site = core_.sites[siteIndex];
  if (site.Disabled || !core_.tv.contains(itemKey) || !itemKey.contains(SiteKeyPrefix)) return;

  display_.Begin();
  web_.Stop();
  MarkItemRead(site, itemKey);
  if (refresher_) refresher_->RefreshSiteTitle(siteIndex, false);

  const QString logo = !site.LogoRes.isEmpty() ? site.LogoRes
                       : site.OwnColours        ? site.RegName
                                                : QString::fromLatin1(kDefaultLogo);
  WriteSitePictures(site, logo);

  Registry& registry = core_.registry;
  const Hive hive = core_.settings.hive();
  const QString number = itemKey.mid(itemKey.indexOf(SiteKeyPrefix) + SiteKeyPrefix.size());
  const QString itemPath = core_.settings.siteKeyPath(site.RegName) + u'\\' + number;
  const auto value = [&](const TextSetting& setting) {
    return registry.QueryRegValue(hive, itemPath, Name(setting)).toText();
  };
  ItemPageRecord record;
  record.date = FormatItemDate(value(setting::ItemDate));
  record.description = DecodeEntities(value(setting::ItemDescription));
  record.homepage = value(setting::ItemHomepage);
  record.link = value(setting::ItemLink);
  record.releaseDate = FormatItemDate(value(setting::ItemReleaseDate));
  record.title = value(setting::ItemTitle);
  record.pubDate = value(setting::ItemPubDate);
  record.thumb = value(setting::ItemThumb);
  record.author = value(setting::ItemAuthor);
  record.version = core_.identity.VersionText;
  if (IsFileReleaseFrontPage(record.link, FeedEndpoints::FileReleaseFrontPage())) record.link.clear();

  strip_.setBuiltInPageShown(false);
  TitleStripContent strip = SiteStrip(site, PageFilePath(folder(), page_file::Logo));
  strip.title.text = record.title;
  strip.linkTitle.text = QStringLiteral("Link: ");
  strip.link.text = record.link;
  strip.linkTag = core_.settings.siteFlag(site.RegName, setting::SiteExternal) ? site.RegName : QString();
  strip_.setTitleStrip(strip);

  if (!WritePage(FillItemTemplate(TemplateOf(site), record))) {
    CleanPageFiles();
    return;
  }

  if (!record.link.isEmpty() && site.AutoItem) {
    if (site.External) {
      web_.Navigate(record.link, site.RegName);
      display_.AfterLoad([this] {
        ShowRenderedPage();
        display_.AfterLoad([this] { CleanPageFiles(); });
      });
    } else {
      web_.Navigate(record.link);
      const QString message = QStringLiteral("Auto loading ") + site.Title + QStringLiteral(" news item ") + u'"' +
                              record.title + u'"';
      display_.AfterLoad([this, message] {
        core_.activity.LogActivity(message, LogLevel::Info, true);
        CleanPageFiles();
      });
    }
    return;
  }
  ShowRenderedPage();
  display_.AfterLoad([this] { CleanPageFiles(); });
}

void PageRenderer::ShowSite(int siteIndex) {
  if (!core_.sites.IsSiteIndex(siteIndex)) return;
  const SiteRecord& site = core_.sites[siteIndex];
  if (site.Disabled) return;

  display_.Begin();
  const Settings& settings = core_.settings;
  const auto channel = [&](const TextSetting& setting) { return settings.siteText(site.RegName, setting); };
  const QString link = channel(setting::ChannelLink);
  SiteSummary summary;
  summary.description = channel(setting::ChannelDescription);
  summary.lastBuildDate = channel(setting::ChannelLastBuildDate);
  summary.imageTitle = channel(setting::ChannelImageTitle);
  summary.imageUrl = channel(setting::ChannelImageUrl);
  summary.imageLink = channel(setting::ChannelImageLink);
  summary.imageDescription = channel(setting::ChannelImageDescription);
  summary.errorCount = site.ErrorCount;
  summary.totalItems = settings.siteNumber(site.RegName, setting::SiteTotalItems);

  WriteSitePictures(site, site.LogoRes.isEmpty() ? QString::fromLatin1(kDefaultLogo) : site.LogoRes);

  strip_.setBuiltInPageShown(false);
  TitleStripContent strip = SiteStrip(site, PageFilePath(folder(), page_file::Logo));
  strip.title.text = site.Title;
  if (!link.isEmpty()) {
    strip.link.text = link;
    strip.linkTitle.text = QStringLiteral("Left click above to open site in ") + core_.identity.ProgTitle +
                           QStringLiteral(", right click for external browser");
  } else {
    strip.link.visible = false;
    strip.linkTitle.visible = false;
  }
  // A left click opens the site in the panel, as the caption says.
  strip.linkTag.clear();
  strip_.setTitleStrip(strip);

  ItemPageRecord record;
  record.description = SiteSummaryBody(summary);
  record.version = core_.identity.VersionText;
  if (!WritePage(FillItemTemplate(TemplateOf(site), record))) {
    CleanPageFiles();
    return;
  }
  ShowRenderedPage();
  display_.AfterLoad([this] { CleanPageFiles(); });
}

}  // namespace tw
