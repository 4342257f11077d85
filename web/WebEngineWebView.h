#pragma once

#include "web/EnginePageView.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <functional>
#include <optional>

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
// The engine (profile, page and view, and with the page its process) can be
// built later than the panel and released while nobody can see it:
// navigations asked for meanwhile wait for it, and once built again it shows
// the page it showed when it was released. view() is the widget to put in
// the window (null while there is no engine); viewChanged tells of each new
// one. The panel deletes a view it releases, wherever it was put.
class WebEngineWebView : public EnginePageView {
  Q_OBJECT

 public:
  enum class EngineStart { Now, Later };

  explicit WebEngineWebView(const QString& programFolder, EngineStart start = EngineStart::Now,
                            QObject* parent = nullptr);
  ~WebEngineWebView() override;

  QWebEngineView* view() const { return view_; }
  QWidget* viewWidget() const override { return view_; }
  GuardedWebPage* page() const { return page_; }
  bool hasEngine() const override { return page_ != nullptr; }
  // Builds the engine if there is none, then loads what was asked for
  // meanwhile, or else the page shown when it was released.
  void CreateEngine() override;
  // Ends the page, its view and its profile, keeping what the page showed
  // (its address; the handler keeps the files of the program's own page). A
  // page of the program's still loading is let finish first. Once the engine
  // has been built, a navigation asked for without it builds it again.
  void ReleaseEngine() override;
  // How addresses reach the desktop (default: a DesktopOpener, which tells
  // its failures later); false when nothing there takes them.
  void setDesktopOpener(std::function<bool(const QUrl&)> opener);
  // How long a page file may take to load (default kOwnPageLimitMs).
  void setOwnPageLimitMs(int ms) { watchdog_.setInterval(ms); }

  void Stop() override;
  void Navigate(const QString& address, const QString& targetWindowName = {}) override;
  void ShowPageFile(const QString& fileName, PageScripts scripts) override;
  int ReadyState() const override { return readyState_; }
  void RequestBodyMarkup(std::function<void(const QString&)> done) override;
  void SetFocus() override;

 Q_SIGNALS:
  // The engine's view, to be put where Web goes; null when it was released.
  void viewChanged(QWebEngineView* view);

 private:
  struct Shown {
    QUrl url;
    bool scripts = false;
  };

  void Start(const QUrl& url, bool scripts, bool ownPage);
  void Load(const QUrl& url, bool scripts);
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

  // Asked for while there was no engine.
  std::optional<Shown> pending_;
  // What the page showed when it was released.
  std::optional<Shown> released_;
  bool builtOnce_ = false;
  bool releaseWhenLoaded_ = false;

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
