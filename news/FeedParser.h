#pragma once

#include "core/BuildFlags.h"
#include "core/EngineHooks.h"

#include <QtGlobal>

namespace tw {

struct AppCore;
struct ChannelValues;
class DebugLog;
class ItemStore;

// A downloaded file larger than this is not read: no feed comes near it, and
// reading one takes several times its size in memory.
inline constexpr qint64 kMaxFeedFileBytes = 64 * 1024 * 1024;

// Turns a site's just-downloaded feed file into channel values (stored with
// the site's settings) and item texts, which go to the item store's merge.
class FeedParser : public FeedParsing {
 public:
  // keepFeeds: move each read file under the program folder's "RSS" folder
  // instead of deleting it (debug builds).
  FeedParser(AppCore& core, ItemStore& items, const DebugLog& debugLog, bool keepFeeds = DebugBuild);

  void ParseFeed(int site) override;

 private:
  void DisposeOfFile(int site);
  void StoreChannel(int site, const ChannelValues& channel);

  AppCore& core_;
  ItemStore& items_;
  const DebugLog& debugLog_;
  bool keepFeeds_;
};

}  // namespace tw
