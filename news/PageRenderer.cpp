#include "PageRenderer.h"

#include "core/AppCore.h"
#include "core/BuildFlags.h"
#include "core/StatusTags.h"
#include "news/DisplayText.h"
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
  connect(&web_, &WebView::pageFailed, this, &PageRenderer::ShowLoadFailure);
}

void PageRenderer::ShowLoadFailure(const QString& address, const QString& reason) {
  core_.activity.LogActivity(QStringLiteral("Could not load ") + address + QStringLiteral(" (") + reason +
                                 QStringLiteral("); the item is still stored."),
                             LogLevel::Error, true);
  // A blank panel would leave the user guessing: it says what happened.
  display_.Begin();
  if (!WriteTextFile(PageFilePath(folder(), page_file::ItemPage), LoadFailurePage(address, reason))) return;
  ShowRenderedPage();
  display_.AfterLoad([this] { CleanPageFiles(); });
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
    const QString why = bounds.cut ? QStringLiteral("it is longer than %1 characters or %2 tags")
                                         .arg(kMaxMarkupChars)
                                         .arg(kMaxMarkupTags)
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
  core_.registry.SetRegValue(core_.settings.hive(), ItemPath(site, itemKey), Name(setting::ItemTag), stored,
                             RegType::String);
}

QString PageRenderer::ItemPath(const SiteRecord& site, const QString& itemKey) const {
  return core_.settings.siteKeyPath(site.RegName) + u'\\' + itemKey.mid(itemKey.indexOf(SiteKeyPrefix) + SiteKeyPrefix.size());
}

QString PageRenderer::ItemText(const SiteRecord& site, const QString& itemKey, const TextSetting& setting) const {
  return core_.registry.QueryRegValue(core_.settings.hive(), ItemPath(site, itemKey), Name(setting)).toText();
}

void PageRenderer::MarkShownItemRead(int siteIndex, const QString& itemKey, const QString& identity) {
  const SiteRecord& site = core_.sites[siteIndex];
  // A check may have rebuilt the list while the page loaded: the key then
  // names another item, which nobody has seen.
  if (ItemText(site, itemKey, setting::ItemTitle) + u'\n' + ItemText(site, itemKey, setting::ItemLink) != identity) return;
  MarkItemRead(site, itemKey);
  if (refresher_) refresher_->RefreshSiteTitle(siteIndex, false);
}

void PageRenderer::ShowItem(int siteIndex, const QString& itemKey) {
  if (!core_.sites.IsSiteIndex(siteIndex)) return;
  const SiteRecord& site = core_.sites[siteIndex];
  if (site.Disabled || !core_.tv.contains(itemKey) || !itemKey.contains(SiteKeyPrefix)) return;

  display_.Begin();
  web_.Stop();

  const QString logo = !site.LogoRes.isEmpty() ? site.LogoRes
                       : site.OwnColours        ? site.RegName
                                                : QString::fromLatin1(kDefaultLogo);
  WriteSitePictures(site, logo);

  const auto value = [&](const TextSetting& setting) { return ItemText(site, itemKey, setting); };
  const QString storedTitle = value(setting::ItemTitle);
  const QString storedLink = value(setting::ItemLink);
  // Titles are text, descriptions are HTML: a title goes into the page
  // escaped, so whatever it decodes to stays text.
  const QString title = DisplayText(storedTitle);
  ItemPageRecord record;
  record.date = FormatItemDate(value(setting::ItemDate));
  record.description = DisplayMarkup(DecodeEntities(value(setting::ItemDescription)));
  record.homepage = value(setting::ItemHomepage);
  record.link = storedLink;
  record.releaseDate = FormatItemDate(value(setting::ItemReleaseDate));
  record.title = title.toHtmlEscaped();
  record.pubDate = value(setting::ItemPubDate);
  record.thumb = value(setting::ItemThumb);
  record.author = value(setting::ItemAuthor);
  record.version = core_.identity.VersionText;
  if (IsFileReleaseFrontPage(record.link, FeedEndpoints::FileReleaseFrontPage())) record.link.clear();

  strip_.setBuiltInPageShown(false);
  TitleStripContent strip = SiteStrip(site, PageFilePath(folder(), page_file::Logo));
  strip.title.text = title;
  strip.linkTitle.text = QStringLiteral("Link: ");
  strip.link.text = record.link;
  strip.linkTag = core_.settings.siteFlag(site.RegName, setting::SiteExternal) ? site.RegName : QString();
  strip_.setTitleStrip(strip);

  if (!WritePage(FillItemTemplate(TemplateOf(site), record))) {
    CleanPageFiles();
    return;
  }

  // The item is read once it is on screen: a page that another click
  // replaces before it has loaded leaves its item as it was.
  const auto markRead = [this, siteIndex, itemKey, identity = QString(storedTitle + u'\n' + storedLink)] {
    MarkShownItemRead(siteIndex, itemKey, identity);
  };
  if (!record.link.isEmpty() && site.AutoItem) {
    if (site.External) {
      web_.Navigate(record.link, site.RegName);
      display_.AfterLoad([this, markRead] {
        markRead();
        ShowRenderedPage();
        display_.AfterLoad([this] { CleanPageFiles(); });
      });
    } else {
      web_.Navigate(record.link);
      const QString message = QStringLiteral("Auto loading ") + site.Title + QStringLiteral(" news item ") + u'"' +
                              title + u'"';
      display_.AfterLoad([this, markRead, message] {
        markRead();
        core_.activity.LogActivity(message, LogLevel::Info, true);
        CleanPageFiles();
      });
    }
    return;
  }
  ShowRenderedPage();
  display_.AfterLoad([this, markRead] {
    markRead();
    CleanPageFiles();
  });
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
  summary.description = DisplayMarkup(channel(setting::ChannelDescription));
  summary.lastBuildDate = channel(setting::ChannelLastBuildDate);
  summary.imageTitle = DisplayMarkup(channel(setting::ChannelImageTitle));
  summary.imageUrl = channel(setting::ChannelImageUrl);
  summary.imageLink = channel(setting::ChannelImageLink);
  summary.imageDescription = DisplayMarkup(channel(setting::ChannelImageDescription));
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
