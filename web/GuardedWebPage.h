#pragma once

#include "web/NavigationPolicy.h"

#include <QWebEnginePage>

#include <functional>

namespace tw {

// The web panel's page: every navigation passes the program's rules
// (DecideNavigation), and the page never opens a window of its own: a link
// meant for a new window goes to the desktop's web browser.
class GuardedWebPage : public QWebEnginePage {
  Q_OBJECT

 public:
  explicit GuardedWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

  // The next navigation the page is asked for with load() is the program's.
  void expectProgramNavigation() { expectingProgram_ = true; }
  // Hands an address to the desktop (its web browser, its mail program).
  void setDesktopOpener(std::function<void(const QUrl&)> opener) { openInDesktop_ = std::move(opener); }
  bool ownPageShown() const { return ownPageShown_; }

 Q_SIGNALS:
  void navigationDropped(const QUrl& url);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  std::function<void(const QUrl&)> openInDesktop_;
  bool expectingProgram_ = false;
  bool ownPageShown_ = false;
};

}  // namespace tw
