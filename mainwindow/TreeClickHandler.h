#pragma once

#include <QString>

namespace tw {

class SiteTable;
class SiteTree;

// What the tree's right-button menu shows for the node clicked.
struct TreeMenuState {
  bool markEntriesVisible = false;
  QString markReadCaption;
  QString markUnreadCaption;
  bool markReadEnabled = false;
  bool markUnreadEnabled = false;
  // Asked for from the keyboard: shown at the selected node, not the pointer.
  bool atSelectedNode = false;
};

// What a click in the site tree leads to.
class TreeClickActions {
 public:
  virtual ~TreeClickActions() = default;
  virtual void showSite(int site) = 0;
  virtual void showItem(int site, const QString& itemKey) = 0;
  virtual void popupTreeMenu(const TreeMenuState& menu) = 0;
  virtual void clearPopups() = 0;
};

// The tree's mouse and key rules: a left click opens a site (one site open at
// a time) or an item; a right click offers marking read or unread; moving with
// the keys opens the node finally selected, once, when the key is released.
// A release never closes a site: it shows an open site as it is, and after
// Left or Right, which open and close sites as they are pressed, any site.
// The Menu key offers what a right click on the selected node would.
class TreeClickHandler {
 public:
  static constexpr int kLeftButton = 1;
  static constexpr int kRightButton = 2;

  TreeClickHandler(SiteTree& tree, const SiteTable& sites, TreeClickActions& actions);

  void mouseDown(int button) { LastMouseButton = button; }
  void mouseUp(int button) { LastMouseButton = button; }
  // A click on a node; Click() follows it, and comes alone on empty space.
  void NodeClick(const QString& key);
  void Click();
  void keyDown() { KeyNavigating = true; }
  // Opens the selected node as a left click would, within the rule above;
  // openedOrClosed: the key was Left or Right.
  void keyUp(bool openedOrClosed = false);
  void menuKey();
  // The key went with the focus: clicks count again, nothing opens.
  void keyAbandoned() { KeyNavigating = false; }

  // A node whose tag has neither read marker is a site node.
  static bool IsSiteNode(const QString& tag);

  int LastMouseButton = kLeftButton;
  bool NodeClickHandled = false;
  bool KeyNavigating = false;

 private:
  void openSite(const QString& key);
  void showSitePage(const QString& key);
  void openItem(const QString& key);
  void offerMarkMenu(const QString& key, bool atSelectedNode = false);

  SiteTree& tv_;
  const SiteTable& sites_;
  TreeClickActions& actions_;
};

}  // namespace tw
