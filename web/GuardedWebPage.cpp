#include "GuardedWebPage.h"

#include "web/PageScheme.h"

#include <QWebEngineProfile>

namespace tw {
namespace {

NavigationKind KindOf(QWebEnginePage::NavigationType type) {
  switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked: return NavigationKind::LinkClick;
    case QWebEnginePage::NavigationTypeBackForward: return NavigationKind::BackForward;
    case QWebEnginePage::NavigationTypeReload: return NavigationKind::Reload;
    case QWebEnginePage::NavigationTypeFormSubmitted: return NavigationKind::FormSubmit;
    case QWebEnginePage::NavigationTypeRedirect: return NavigationKind::Redirect;
    case QWebEnginePage::NavigationTypeTyped:
    case QWebEnginePage::NavigationTypeOther: break;
  }
  return NavigationKind::Other;
}

// Stands in for a window a page asked for: takes its first address, hands
// it to the desktop as a link the user clicked, and goes away.
class WindowCatcher : public QWebEnginePage {
 public:
  WindowCatcher(QWebEngineProfile* profile, QObject* parent, std::function<void(const QUrl&)> opener)
      : QWebEnginePage(profile, parent), opener_(std::move(opener)) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (isMainFrame && !done_) {
      done_ = true;
      const NavigationAction action = DecideNavigation({url, NavigationKind::LinkClick, true, false});
      if (action != NavigationAction::Drop && opener_) opener_(url);
      deleteLater();
    }
    return false;
  }

 private:
  std::function<void(const QUrl&)> opener_;
  bool done_ = false;
};

}  // namespace

GuardedWebPage::GuardedWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

bool GuardedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  // load() is the only source of typed navigations: no address bar here.
  const bool byProgram = expectingProgram_ && isMainFrame && type == NavigationTypeTyped;
  if (byProgram) expectingProgram_ = false;
  const NavigationRequest request{url, byProgram ? NavigationKind::Program : KindOf(type), isMainFrame,
                                  ownPageShown_};
  switch (DecideNavigation(request)) {
    case NavigationAction::Allow:
      if (isMainFrame) ownPageShown_ = IsPageUrl(url);
      return true;
    case NavigationAction::OpenInDesktop:
      if (openInDesktop_) openInDesktop_(url);
      return false;
    case NavigationAction::Drop: break;
  }
  Q_EMIT navigationDropped(url);
  return false;
}

QWebEnginePage* GuardedWebPage::createWindow(WebWindowType) {
  return new WindowCatcher(profile(), this, openInDesktop_);
}

}  // namespace tw
