#include "NavigationPolicy.h"

#include "web/PageScheme.h"

namespace tw {

NavigationAction DecideNavigation(const NavigationRequest& r) {
  const QString scheme = r.url.scheme().toLower();
  const bool byProgram = r.kind == NavigationKind::Program && r.mainFrame;

  if (IsPageUrl(r.url)) return byProgram ? NavigationAction::Allow : NavigationAction::Drop;

  if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
    if (byProgram) return NavigationAction::Allow;
    switch (r.kind) {
      case NavigationKind::LinkClick:
      case NavigationKind::BackForward:
        // The user's own doing; frames only inside web sites.
        return r.mainFrame || !r.fromOwnPage ? NavigationAction::Allow : NavigationAction::Drop;
      case NavigationKind::Program:
      case NavigationKind::Reload:
      case NavigationKind::FormSubmit:
      case NavigationKind::Redirect:
      case NavigationKind::Other:
        return r.fromOwnPage ? NavigationAction::Drop : NavigationAction::Allow;
    }
    return NavigationAction::Drop;
  }

  if (scheme == QLatin1String("mailto")) {
    return r.kind == NavigationKind::LinkClick && r.mainFrame ? NavigationAction::OpenInDesktop
                                                              : NavigationAction::Drop;
  }

  // The empty page the panel starts on, and the empty frames web sites build.
  if (scheme == QLatin1String("about") && (r.url.path() == QLatin1String("blank") ||
                                           r.url.path() == QLatin1String("srcdoc"))) {
    if (byProgram) return NavigationAction::Allow;
    return !r.mainFrame && !r.fromOwnPage ? NavigationAction::Allow : NavigationAction::Drop;
  }
  return NavigationAction::Drop;
}

}  // namespace tw
