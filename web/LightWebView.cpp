#include "LightWebView.h"

#include "core/Windows1252.h"
#include "web/DesktopOpener.h"
#include "web/LightPageBrowser.h"
#include "web/NavigationPolicy.h"
#include "web/PageScheme.h"

#include <QFile>
#include <QTimer>

namespace tw {

LightWebView::LightWebView(const QString& programFolder, QObject* parent)
    : WebView(parent), folder_(programFolder), browser_(new LightPageBrowser(programFolder)) {
  browser_->setObjectName(QStringLiteral("Web"));
  connect(browser_, &QTextBrowser::anchorClicked, this, &LightWebView::OnLinkClicked);
  auto* desktop = new DesktopOpener(QStringLiteral("xdg-open"), this);
  connect(desktop, &DesktopOpener::failed, this, [this](const QUrl& url) { Q_EMIT desktopOpenFailed(url.toString()); });
  openInDesktop_ = [desktop](const QUrl& url) {
    desktop->open(url);
    return true;
  };
}

LightWebView::~LightWebView() {
  if (browser_ && !browser_->parent()) delete browser_;
}

void LightWebView::setDesktopOpener(std::function<bool(const QUrl&)> opener) { openInDesktop_ = std::move(opener); }

void LightWebView::OpenInDesktop(const QUrl& url) {
  if (!openInDesktop_(url)) Q_EMIT desktopOpenFailed(url.toString());
}

void LightWebView::Stop() {
  ++serial_;
  readyState_ = kReadyStateComplete;
}

void LightWebView::Navigate(const QString& address, const QString& /*targetWindowName*/) {
  // Complete at once whatever it was: nothing loads in this panel but the
  // program's own pages.
  ++serial_;
  readyState_ = kReadyStateComplete;
  const QUrl url(address.trimmed());
  if (url == QUrl(QStringLiteral("about:blank"))) {
    if (browser_) browser_->ShowNothing();
    return;
  }
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")) {
    OpenInDesktop(url);
  }
}

void LightWebView::ShowPageFile(const QString& fileName, PageScripts scripts) {
  const quint64 serial = ++serial_;
  readyState_ = kReadyStateLoading;
  // The program writes the page and then asks for it; it is read once the
  // caller is done, as the engine would.
  QTimer::singleShot(0, this, [this, serial, fileName, builtIn = scripts == PageScripts::On] {
    if (serial == serial_) Load(serial, fileName, builtIn);
  });
}

void LightWebView::Load(quint64 serial, const QString& fileName, bool builtIn) {
  const QUrl url = PageUrl(fileName, serial);
  QFile file(folder_ + u'/' + PageFileName(url));
  // A page file that is not there shows an empty panel, as a failed load does.
  const QString markup = !PageFileName(url).isEmpty() && file.open(QIODevice::ReadOnly)
                             ? DecodeWindows1252(file.readAll())
                             : QString();
  if (browser_) browser_->ShowPage(url, markup, builtIn);
  readyState_ = kReadyStateComplete;
  Q_EMIT progressChanged(-1, 100);
  Q_EMIT loadFinished();
}

void LightWebView::OnLinkClicked(const QUrl& link) {
  if (!browser_) return;
  const QUrl url = browser_->pageUrl().resolved(link);
  // A place on the same page.
  if (IsPageUrl(url) && link.path().isEmpty() && link.hasFragment()) {
    browser_->scrollToAnchor(link.fragment());
    return;
  }
  // Whatever the rules let the user's click open shows in the desktop's
  // browser: this panel shows no web site.
  if (DecideNavigation({url, NavigationKind::LinkClick, true, true}) != NavigationAction::Drop) OpenInDesktop(url);
}

void LightWebView::RequestBodyMarkup(std::function<void(const QString&)> done) {
  QString markup = browser_ ? browser_->toHtml() : QString();
  const qsizetype from = markup.indexOf(QLatin1String("<body"));
  const qsizetype to = markup.lastIndexOf(QLatin1String("</body>"));
  markup = from >= 0 && to > from ? markup.mid(from, to + 7 - from) : QString();
  // Answered later, as the engine does.
  QTimer::singleShot(0, this, [done = std::move(done), markup] { done(markup); });
}

void LightWebView::SetFocus() {
  if (browser_) browser_->setFocus();
}

}  // namespace tw
