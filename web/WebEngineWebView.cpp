#include "WebEngineWebView.h"

#include "web/DesktopOpener.h"
#include "web/GuardedWebPage.h"
#include "web/PageScheme.h"
#include "web/PageSchemeHandler.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <csignal>
#include <utility>

namespace tw {
namespace {

// Left to size itself by the machine's memory, the cache kept the pictures
// of every item shown while the window stayed up (3.7 MiB more after 600
// more checks, still rising). The panel shows one item at a time; Back
// within a site followed there is all a cache saves, and a small one serves.
constexpr int kHttpCacheBytes = 1024 * 1024;

bool IsWebAddress(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// A load that was stopped or replaced by another one did not fail.
bool IsAbandoned(const QWebEngineLoadingInfo& info) {
  constexpr int kNetAborted = -3;
  return info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain && info.errorCode() == kNetAborted;
}

void LockDown(QWebEngineSettings* s) {
  s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
  s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
  s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
  s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
  s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
  s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
  s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
  s->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
}

}  // namespace

WebEngineWebView::WebEngineWebView(const QString& programFolder, EngineStart start, QObject* parent)
    : EnginePageView(parent) {
  auto* desktop = new DesktopOpener(QStringLiteral("xdg-open"), this);
  connect(desktop, &DesktopOpener::failed, this, [this](const QUrl& url) { Q_EMIT desktopOpenFailed(url.toString()); });
  openInDesktop_ = [desktop](const QUrl& url) {
    desktop->open(url);
    return true;
  };
  handler_ = new PageSchemeHandler(programFolder, this);
  watchdog_.setSingleShot(true);
  watchdog_.setInterval(kOwnPageLimitMs);
  connect(&watchdog_, &QTimer::timeout, this, &WebEngineWebView::GiveUpOwnPage);
  if (start == EngineStart::Now) CreateEngine();
}

WebEngineWebView::~WebEngineWebView() {
  // The page must go before its profile, and a view nobody took goes too.
  if (view_ && !view_->parent()) delete view_;
  delete page_;
  page_ = nullptr;
}

void WebEngineWebView::CreateEngine() {
  releaseWhenLoaded_ = false;
  if (page_) return;
  builtOnce_ = true;
  // No storage name: off the record, nothing kept on disk.
  profile_ = new QWebEngineProfile(this);
  profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile_->setHttpCacheMaximumSize(kHttpCacheBytes);
  profile_->installUrlSchemeHandler(QByteArray(kPageScheme), handler_);

  page_ = new GuardedWebPage(profile_, this);
  LockDown(page_->settings());
  page_->setDesktopOpener([this](const QUrl& url) { OpenInDesktop(url); });
  connect(page_, &QWebEnginePage::loadingChanged, this, &WebEngineWebView::OnLoadingChanged);
  connect(page_, &QWebEnginePage::loadProgress, this, &WebEngineWebView::OnLoadProgress);
  connect(page_, &GuardedWebPage::navigationDropped, this, &WebEngineWebView::OnNavigationDropped);
  connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] { processEnded_ = true; });
  // Cameras, microphones, locations, notifications: never.
  connect(page_, &QWebEnginePage::featurePermissionRequested, page_,
          [this](const QUrl& origin, QWebEnginePage::Feature feature) {
            page_->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
          });

  view_ = new QWebEngineView();
  view_->setPage(page_);
  Q_EMIT viewChanged(view_);
  Q_EMIT viewWidgetChanged(view_);

  if (const std::optional<Shown> asked = std::exchange(pending_, std::nullopt)) {
    Load(asked->url, asked->scripts);
  } else if (const std::optional<Shown> shown = std::exchange(released_, std::nullopt); shown && !shown->url.isEmpty()) {
    // Nobody waits for it: the engine's side knows the page as shown.
    page_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, shown->scripts);
    page_->expectProgramNavigation();
    page_->load(shown->url);
  }
}

void WebEngineWebView::ReleaseEngine() {
  if (!page_) return;
  releaseWhenLoaded_ = awaiting_;
  if (awaiting_) return;
  released_ = Shown{page_->url(), page_->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled)};
  watchdog_.stop();
  dropped_.clear();
  processEnded_ = false;
  Q_EMIT viewChanged(nullptr);
  Q_EMIT viewWidgetChanged(nullptr);
  delete view_;
  delete page_;
  page_ = nullptr;
  delete profile_;
  profile_ = nullptr;
}

void WebEngineWebView::setDesktopOpener(std::function<bool(const QUrl&)> opener) {
  openInDesktop_ = std::move(opener);
}

void WebEngineWebView::OpenInDesktop(const QUrl& url) {
  if (!openInDesktop_(url)) Q_EMIT desktopOpenFailed(url.toString());
}

void WebEngineWebView::Stop() {
  pending_.reset();
  if (page_) page_->triggerAction(QWebEnginePage::Stop);
  watchdog_.stop();
  awaiting_ = false;
  readyState_ = kReadyStateComplete;
}

void WebEngineWebView::Navigate(const QString& address, const QString& targetWindowName) {
  const QUrl url(address.trimmed());
  const bool mail = url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0;
  if (!targetWindowName.isEmpty() || mail) {
    // A window of its own is the desktop's browser here; mail goes to the
    // mail program. Either way the panel has nothing to wait for.
    awaiting_ = false;
    readyState_ = kReadyStateComplete;
    if (IsWebAddress(url) || mail) OpenInDesktop(url);
    return;
  }
  if (IsWebAddress(url) || url == QUrl(QStringLiteral("about:blank"))) {
    Start(url, true, false);
    return;
  }
  // javascript:, file: and the like: refused, nothing to wait for.
  awaiting_ = false;
  readyState_ = kReadyStateComplete;
}

void WebEngineWebView::ShowPageFile(const QString& fileName, PageScripts scripts) {
  Start(PageUrl(fileName, ++serial_), scripts == PageScripts::On, true);
}

void WebEngineWebView::Start(const QUrl& url, bool scripts, bool ownPage) {
  current_ = url;
  currentOwn_ = ownPage;
  awaiting_ = true;
  started_ = false;
  readyState_ = kReadyStateLoading;
  watchdog_.stop();
  if (page_) {
    Load(url, scripts);
    return;
  }
  released_.reset();
  pending_ = Shown{url, scripts};
  // Before the first engine the owner says when; later a page asked for
  // while the engine was away brings it back.
  if (builtOnce_) CreateEngine();
}

void WebEngineWebView::Load(const QUrl& url, bool scripts) {
  page_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, scripts);
  // A web site takes the time its server takes.
  if (currentOwn_ && awaiting_) watchdog_.start();
  page_->expectProgramNavigation();
  page_->load(url);
}

void WebEngineWebView::GiveUpOwnPage() {
  if (!awaiting_ || !currentOwn_ || !page_) return;
  // Stopping does not reach a page process busy laying the page out; ending
  // it does, and the next page gets a fresh one.
  page_->triggerAction(QWebEnginePage::Stop);
  if (const qint64 pid = page_->renderProcessPid(); pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
  Q_EMIT loadAbandoned();
  Complete();
}

void WebEngineWebView::Complete() {
  watchdog_.stop();
  awaiting_ = false;
  readyState_ = kReadyStateComplete;
  Q_EMIT loadFinished();
  // Not from inside the page's own signal; the window may want it back by then.
  if (releaseWhenLoaded_) {
    QTimer::singleShot(0, this, [this] {
      if (releaseWhenLoaded_) ReleaseEngine();
    });
  }
}

void WebEngineWebView::OnNavigationDropped(const QUrl& url) {
  // Dropped frame navigations report nothing; keep the list from growing.
  if (dropped_.size() > 64) dropped_.clear();
  ++dropped_[url];
}

void WebEngineWebView::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
  const bool finished = info.status() != QWebEngineLoadingInfo::LoadStartedStatus;
  if (auto it = dropped_.find(info.url()); it != dropped_.end()) {
    if (finished && --it.value() <= 0) dropped_.erase(it);
    return;
  }
  // Progress follows whatever the panel loads, the user's clicks included.
  if (finished) Q_EMIT progressChanged(-1, 100);
  const bool webPageFailed = info.status() == QWebEngineLoadingInfo::LoadFailedStatus && !IsPageUrl(info.url()) &&
                             !IsAbandoned(info);
  if (!awaiting_) {
    // The user's own click (a "Read more" link) that led nowhere.
    if (webPageFailed) Q_EMIT pageFailed(info.url().toString(), info.errorString());
    return;
  }
  if (currentOwn_) {
    // Each showing of a page file has an address of its own.
    if (!finished || info.url() != current_) return;
    // After its page process ended (stuck and stopped, or crashed) the first
    // navigation fails at once and starts a new process; the second loads.
    if (std::exchange(processEnded_, false) && info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
      page_->expectProgramNavigation();
      page_->load(current_);
      return;
    }
    Complete();
    return;
  }
  // A web address may be redirected: its end comes under another address.
  if (IsPageUrl(info.url())) return;
  if (!finished) {
    started_ = true;
  } else if (started_) {
    Complete();
    if (webPageFailed) Q_EMIT pageFailed(info.url().toString(), info.errorString());
  }
}

void WebEngineWebView::OnLoadProgress(int progress) { Q_EMIT progressChanged(progress, 100); }

void WebEngineWebView::RequestBodyMarkup(std::function<void(const QString&)> done) {
  if (!page_) {
    done(QString());
    return;
  }
  // Runs in a world of its own, so it works on pages without script too.
  page_->runJavaScript(QStringLiteral("document.body ? document.body.outerHTML : ''"),
                       QWebEngineScript::ApplicationWorld,
                       [done = std::move(done)](const QVariant& result) { done(result.toString()); });
}

void WebEngineWebView::SetFocus() {
  if (view_) view_->setFocus();
}

}  // namespace tw
