#include "FeedParser.h"

#include "core/AppCore.h"
#include "core/Clock.h"
#include "core/TextFormat.h"
#include "news/FeedDocument.h"
#include "news/ItemStore.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace tw {

FeedParser::FeedParser(AppCore& core, ItemStore& items, const DebugLog& debugLog, bool keepFeeds)
    : core_(core), items_(items), debugLog_(debugLog), keepFeeds_(keepFeeds) {}

void FeedParser::ParseFeed(int site) {
  if (!core_.sites.IsSiteIndex(site)) return;
  const SiteRecord& rec = core_.sites[site];
  if (rec.Disabled) return;
  if (!FileExists(rec.CacheFile)) {
    debugLog_.WriteDebugLog(rec.CacheFile + QStringLiteral(" file not found."), rec.RegName);
    return;
  }
  core_.registry.CreateRegKey(core_.settings.hive(), core_.settings.siteKeyPath(rec.RegName));

  const qint64 size = QFileInfo(rec.CacheFile).size();
  QByteArray bytes;
  bool readOk = false;
  if (size <= kMaxFeedFileBytes) {
    QFile file(rec.CacheFile);
    if (file.open(QIODevice::ReadOnly)) {
      bytes = file.readAll();
      readOk = file.error() == QFile::NoError;
    }
  }
  DisposeOfFile(site);
  if (size > kMaxFeedFileBytes) {
    core_.activity.LogActivity(
        QStringLiteral("%1: the downloaded feed is too large to read (%2).")
            .arg(rec.Title,
                 FormatSize(static_cast<qint32>(std::min<qint64>(size, std::numeric_limits<qint32>::max())))),
        LogLevel::Error, false);
    return;
  }
  if (!readOk) {
    core_.activity.LogActivity(QStringLiteral("%1: the downloaded feed could not be read.").arg(rec.Title),
                               LogLevel::Error, false);
    return;
  }

  ParsedFeed feed = SplitFeed(bytes);
  bytes.clear();
  if (!feed.hasItemTags) {
    debugLog_.WriteDebugLog(QStringLiteral("No <item> or </item> tags found"), rec.RegName);
    core_.activity.LogActivity(QStringLiteral("%1: no news items found in the feed.").arg(rec.Title), LogLevel::Warning,
                               false);
  } else {
    StoreChannel(site, feed.channel);
    if (feed.unterminatedItem) {
      debugLog_.WriteDebugLog(QStringLiteral("Item without </item> left out"), rec.RegName);
      core_.activity.LogActivity(
          QStringLiteral("%1: the feed's last item has no </item> and was left out.").arg(rec.Title), LogLevel::Warning,
          false);
    }
    if (feed.tooManyItems) {
      const QString message = QStringLiteral("%1: the feed holds more than %2 items; only the first %2 were kept.")
                                  .arg(rec.Title)
                                  .arg(kMaxFeedItems);
      debugLog_.WriteDebugLog(message, rec.RegName);
      core_.activity.LogActivity(message, LogLevel::Warning, false);
    }
  }
  // The window follows the merge once it is whole, not item by item.
  const SiteTree::Batch batch(core_.tv);
  items_.MergeItems(site, feed.items);
}

// Release builds delete the file once it is read; debug builds keep a copy of
// every feed under "RSS\<site>\", named by the time it was read.
void FeedParser::DisposeOfFile(int site) {
  const SiteRecord& rec = core_.sites[site];
  if (!keepFeeds_) {
    DeleteFileIfPresent(rec.CacheFile);
    return;
  }
  const QString rss = core_.programFolder.AppFolder() + QStringLiteral("/RSS/");
  EnsureFolder(rss);
  EnsureFolder(rss + rec.RegName);
  const QDateTime now = core_.clock.now();
  const QLocale c = QLocale::c();
  const QString target = rss + rec.RegName + u'/' + c.toString(now, QStringLiteral("dd.MM.yy - ")) +
                         c.toString(now, QStringLiteral("hh.mm.ss")) + QStringLiteral(".xml");
  DeleteFileIfPresent(target);
  if (QFile::rename(rec.CacheFile, target)) {
    debugLog_.WriteDebugLog(QStringLiteral("XML saved as ") + target, rec.RegName);
  } else {
    debugLog_.WriteDebugLog(QStringLiteral("Could not save XML as ") + target, rec.RegName);
  }
}

// The channel values land together; the image values only when the header
// has an image block, so an earlier image stays otherwise.
void FeedParser::StoreChannel(int site, const ChannelValues& channel) {
  const SiteRecord& rec = core_.sites[site];
  Settings& settings = core_.settings;
  RegistryTransaction transaction(core_.registry, settings.hive());
  if (channel.hasImage) {
    settings.setSiteText(rec.RegName, setting::ChannelImageTitle, channel.imageTitle);
    settings.setSiteText(rec.RegName, setting::ChannelImageUrl, channel.imageUrl);
    settings.setSiteText(rec.RegName, setting::ChannelImageLink, channel.imageLink);
    settings.setSiteText(rec.RegName, setting::ChannelImageDescription, channel.imageDescription);
    settings.setSiteText(rec.RegName, setting::ChannelImageWidth, channel.imageWidth);
    settings.setSiteText(rec.RegName, setting::ChannelImageHeight, channel.imageHeight);
  }
  settings.setSiteText(rec.RegName, setting::ChannelTitle, channel.title);
  settings.setSiteText(rec.RegName, setting::ChannelLink, channel.link);
  settings.setSiteText(rec.RegName, setting::ChannelDescription, channel.description);
  settings.setSiteText(rec.RegName, setting::ChannelLastBuildDate, channel.lastBuildDate);
  transaction.commit();
}

}  // namespace tw
