#pragma once

#include "core/EngineHooks.h"
#include "news/ItemTexts.h"

#include <QString>

namespace tw {

struct AppCore;
class DebugLog;

// The item store: each site's items as child nodes of its tree node and, to
// survive a restart, as numbered subkeys of its settings key. The two move in
// step: a list is rebuilt in the store first, as one transaction, and the
// tree follows only when that landed.
class ItemStore : public SiteItemLoader {
 public:
  ItemStore(AppCore& core, SiteTitleRefresher& titles, const DebugLog& debugLog);

  // Merges a site's freshly parsed item texts with its cached items. Items
  // keep their status by identity (title + link); when any item is new the
  // site's list is rebuilt in feed order and its title refreshed with an
  // announcement. Otherwise nothing changes at all, not even texts that
  // changed in the feed.
  void MergeItems(int site, const ItemTexts& items);

  // Start-up: the site's stored items become its child nodes; "<NEW>" is
  // dropped (and written back) unless "Preserve new status" is on.
  void LoadSiteItems(int site) override;

  // Marks the selected item, or every item of the selected site, read or
  // unread, and refreshes the site's title without announcing.
  void SetReadStatus(bool markRead);

 private:
  struct StagedItem;
  bool SaveRebuild(int site, const ItemTexts& items, const std::vector<StagedItem>& staged, qsizetype cached);
  void MarkItem(int site, const QString& itemKey, qsizetype number, bool markRead);

  AppCore& core_;
  SiteTitleRefresher& titles_;
  const DebugLog& debugLog_;
};

}  // namespace tw
