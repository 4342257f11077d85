#include "SiteTitles.h"

#include "core/AppCore.h"
#include "core/StatusTags.h"
#include "core/WindowPorts.h"
#include "news/ItemKeys.h"

namespace tw {

namespace {
constexpr Rgb kNewBack = RGB(220, 255, 220);
constexpr Rgb kUnreadBack = RGB(255, 255, 220);
constexpr Rgb kPlainBack = RGB(255, 255, 255);
}  // namespace

SiteTitles::SiteTitles(AppCore& core, AlertSink& alerts, TrayControl& tray, const WindowPresence& window)
    : core_(core), alerts_(alerts), tray_(tray), window_(window) {}

void SiteTitles::RefreshSiteTitle(int site, bool announce) {
  if (!core_.sites.IsSiteIndex(site)) return;
  const SiteRecord& rec = core_.sites[site];
  if (rec.Disabled) return;
  SiteTree& tv = core_.tv;
  const SiteTreeNode* siteNode = tv.find(rec.Key);
  if (!siteNode) return;
  // Caption, colour, weight and the items' markers reach the window as one change.
  const SiteTree::Batch batch(tv);
  const Settings& settings = core_.settings;

  qint32 newCount = 0;
  qint32 unread = 0;
  qint32 read = 0;
  qint32 veryNew = 0;
  const qsizetype total = StoredItemCount(settings, rec.RegName);
  for (qsizetype m = 1; m <= total; ++m) {
    const QString key = ItemKey(rec.Key, m);
    const SiteTreeNode* item = tv.find(key);
    if (!item) continue;
    QString tag = item->tag;
    if (tag.contains(TagUnread)) ++unread;
    if (tag.contains(TagRead)) ++read;
    if (tag.contains(TagVeryNew)) {
      tag.remove(TagVeryNew);
      tv.setTag(key, tag);
      ++veryNew;
    }
    if (tag.contains(TagNew)) {
      ++newCount;
      tv.setBold(rec.Key, true);
    }
  }

  if (settings.flag(setting::ShortNewMessage)) {
    tv.setText(rec.Key, newCount < 1 ? rec.Title : rec.Title + QStringLiteral(" (%1)").arg(newCount));
  } else {
    tv.setText(rec.Key,
               siteNode->tag + QStringLiteral(" (%1 New, %2 Unread, %3 Total)").arg(newCount).arg(unread).arg(total));
  }

  Rgb back = kPlainBack;
  if (settings.flag(setting::ColouredTitles)) {
    if (newCount >= 1) {
      back = kNewBack;
    } else if (unread >= 1) {
      back = kUnreadBack;
    }
  }
  tv.setBackColor(rec.Key, back);

  if (veryNew > 0) {
    // "Show Alert" on: only while the window is out of sight.
    const bool alertAllowed = !settings.flag(setting::ShowAlert) || window_.isMinimized() || !window_.isVisible();
    if (tray_.isInTray()) tray_.startBlinking();
    if (announce && alertAllowed) {
      const AppIdentity& id = core_.identity;
      alerts_.ShowAlert(rec.Title + QStringLiteral("\r\nhas %1 new ").arg(newCount) +
                            (newCount < 2 ? QStringLiteral("item.") : QStringLiteral("items.")),
                        id.ProgTitle + u' ' + id.VersionText, id.AlertDisplayTime, true);
    }
  } else if (newCount < 1) {
    tv.setBold(rec.Key, false);
  }
}

}  // namespace tw
