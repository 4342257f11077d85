#include "TreeClickHandler.h"

#include "core/SiteTable.h"
#include "core/SiteTree.h"
#include "core/StatusTags.h"

namespace tw {

TreeClickHandler::TreeClickHandler(SiteTree& tree, const SiteTable& sites, TreeClickActions& actions)
    : tv_(tree), sites_(sites), actions_(actions) {}

bool TreeClickHandler::IsSiteNode(const QString& tag) {
  return !tag.contains(TagRead) && !tag.contains(TagUnread);
}

void TreeClickHandler::NodeClick(const QString& key) {
  if (KeyNavigating) return;
  NodeClickHandled = true;
  if (tv_.nodeCount() == 0) return;
  const SiteTreeNode* node = tv_.find(key);
  if (node) {
    if (LastMouseButton == kLeftButton) {
      NodeClickHandled = false;
      if (IsSiteNode(node->tag)) {
        openSite(key);
      } else {
        openItem(key);
      }
    } else if (LastMouseButton == kRightButton) {
      offerMarkMenu(key);
    }
  }
  actions_.clearPopups();
}

void TreeClickHandler::openSite(const QString& key) {
  const SiteTreeNode* node = tv_.find(key);
  if (node->expanded) {
    tv_.setExpanded(key, false);
  } else {
    for (int i = 1; i <= sites_.LastIndex(); ++i) {
      if (sites_[i].InTree) tv_.setExpanded(sites_[i].Key, false);
    }
    tv_.setExpanded(key, true);
  }
  showSitePage(key);
}

void TreeClickHandler::showSitePage(const QString& key) {
  const int site = sites_.IndexOfTitle(tv_.find(key)->tag);
  if (site > 0) actions_.showSite(site);
}

void TreeClickHandler::openItem(const QString& key) {
  const qsizetype cut = key.indexOf(SiteKeyPrefix);
  if (cut < 0) return;
  const int site = sites_.IndexOfKey(key.left(cut + SiteKeyPrefix.size()));
  if (site > 0) actions_.showItem(site, key);
}

void TreeClickHandler::offerMarkMenu(const QString& key, bool atSelectedNode) {
  const SiteTreeNode* node = tv_.find(key);
  TreeMenuState menu;
  menu.atSelectedNode = atSelectedNode;
  menu.markEntriesVisible = true;
  if (IsSiteNode(node->tag)) {
    menu.markReadCaption = QStringLiteral("Mark all items in ") + node->tag + QStringLiteral(" as Read");
    menu.markUnreadCaption = QStringLiteral("Mark all items in ") + node->tag + QStringLiteral(" as Unread");
    menu.markReadEnabled = true;
    menu.markUnreadEnabled = true;
  } else {
    menu.markReadCaption = QStringLiteral("Mark as Read");
    menu.markUnreadCaption = QStringLiteral("Mark as Unread");
    const SiteTreeNode* selected = tv_.find(tv_.selectedKey());
    const bool unread = selected && selected->tag.contains(TagUnread);
    menu.markReadEnabled = unread;
    menu.markUnreadEnabled = !unread;
  }
  actions_.popupTreeMenu(menu);
}

void TreeClickHandler::Click() {
  if (!NodeClickHandled && LastMouseButton == kRightButton) actions_.popupTreeMenu(TreeMenuState{});
  NodeClickHandled = false;
}

void TreeClickHandler::keyUp(bool openedOrClosed) {
  LastMouseButton = kLeftButton;
  KeyNavigating = false;
  const QString selected = tv_.selectedKey();
  if (selected.isEmpty()) return;
  const SiteTreeNode* node = tv_.find(selected);
  if (node && IsSiteNode(node->tag) && (openedOrClosed || node->expanded)) {
    // Shown as it stands: a click would close it again.
    showSitePage(selected);
    actions_.clearPopups();
    return;
  }
  NodeClick(selected);
}

void TreeClickHandler::menuKey() {
  const QString selected = tv_.selectedKey();
  if (tv_.find(selected)) {
    offerMarkMenu(selected, true);
  } else {
    TreeMenuState menu;
    menu.atSelectedNode = true;
    actions_.popupTreeMenu(menu);
  }
  actions_.clearPopups();
}

}  // namespace tw
