#pragma once

#include "news/WebView.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <functional>

class QWebEngineLoadingInfo;
class QWebEngineProfile;

namespace tw {

class GuardedWebPage;
class PageSchemeHandler;

// The web panel `Web`: a web engine view in an off-the-record profile whose
// page follows the program's navigation rules. Page files are served from
// the program folder through the program's own scheme; only the built-in
// pages and web sites run script.
//
// view() is the widget to put in the window; whoever puts it in a layout
// owns it from then on.
class WebEngineWebView : public WebView {
  Q_OBJECT

 public:
  explicit WebEngineWebView(const QString& programFolder, QObject* parent = nullptr);
  ~WebEngineWebView() override;

  QWebEngineView* view() const { return view_; }
  GuardedWebPage* page() const { return page_; }
  // How addresses reach the desktop (default: QDesktopServices::openUrl);
  // false when nothing there takes them.
  void setDesktopOpener(std::function<bool(const QUrl&)> opener);
  // How long a page file may take to load (default kOwnPageLimitMs).
  void setOwnPageLimitMs(int ms) { watchdog_.setInterval(ms); }

  void Stop() override;
  void Navigate(const QString& address, const QString& targetWindowName = {}) override;
  void ShowPageFile(const QString& fileName, PageScripts scripts) override;
  int ReadyState() const override { return readyState_; }
  void RequestBodyMarkup(std::function<void(const QString&)> done) override;
  void SetFocus() override;

 private:
  void Start(const QUrl& url, bool scripts, bool ownPage);
  void Complete();
  void OnLoadingChanged(const QWebEngineLoadingInfo& info);
  void OnLoadProgress(int progress);
  void OnNavigationDropped(const QUrl& url);
  void OpenInDesktop(const QUrl& url);
  void GiveUpOwnPage();

  QWebEngineProfile* profile_ = nullptr;
  PageSchemeHandler* handler_ = nullptr;
  GuardedWebPage* page_ = nullptr;
  QPointer<QWebEngineView> view_;
  std::function<bool(const QUrl&)> openInDesktop_;

  // The program's latest navigation.
  QUrl current_;
  bool currentOwn_ = false;
  bool awaiting_ = false;
  bool started_ = false;
  int readyState_ = kReadyStateComplete;
  // The page process ended since the last page file finished.
  bool processEnded_ = false;
  quint64 serial_ = 0;
  // Navigations the rules turned down still report a start and an end;
  // they are nobody's page.
  QHash<QUrl, int> dropped_;
  // Runs while a page file loads: a page of the program's own loads in a
  // moment unless its markup has the page process stuck.
  QTimer watchdog_;
};

}  // namespace tw
