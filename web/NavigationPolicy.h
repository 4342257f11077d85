#pragma once

#include <QUrl>

namespace tw {

// Who or what asks the web view to go somewhere.
enum class NavigationKind { Program, LinkClick, BackForward, Reload, FormSubmit, Redirect, Other };
enum class NavigationAction { Allow, Drop, OpenInDesktop };

struct NavigationRequest {
  QUrl url;
  NavigationKind kind = NavigationKind::Other;
  bool mainFrame = true;
  // The panel shows one of the program's own pages (feed markup, or a
  // built-in page) rather than a web site.
  bool fromOwnPage = false;
};

// The rules of the web panel:
//  - the program's own pages load only when the program asks;
//  - web addresses (http, https) load when the program asks or the user
//    clicks, and a web site may redirect, reload and submit within itself;
//    nothing in one of the program's own pages may move the panel by itself
//    (meta refresh, script, form);
//  - a mail link the user clicks goes to the desktop's mail program;
//  - every other scheme (javascript:, file:, data:, ...) is dropped.
NavigationAction DecideNavigation(const NavigationRequest& request);

}  // namespace tw
