#pragma once

#include "news/WebView.h"
#include "web/LightPageBrowser.h"

#include <QPointer>
#include <QUrl>

#include <functional>

namespace tw {

// The light page panel `Web`: the program's pages in Qt's own rich-text
// browser, with no web engine and no script engine. It shows only the
// program's own page files, read from its folder under their page-scheme
// addresses; every web or mail address, whether the program or a click asks
// for it, goes to the desktop's browser or mail program, and every other
// scheme is dropped.
//
// A page file loads on the next turn of the event loop, like the engine's,
// and is complete once it is laid out with all its own pictures read; web
// pictures come in later without holding it up. widget() is the view to put
// in the window; the panel deletes it with itself unless the window took it.
class LightWebView : public WebView {
  Q_OBJECT

 public:
  explicit LightWebView(const QString& programFolder, QObject* parent = nullptr);
  ~LightWebView() override;

  LightPageBrowser* widget() const { return browser_; }
  // How addresses reach the desktop (default: a DesktopOpener, which tells
  // its failures later); false when nothing there takes them.
  void setDesktopOpener(std::function<bool(const QUrl&)> opener);

  void Stop() override;
  void Navigate(const QString& address, const QString& targetWindowName = {}) override;
  void ShowPageFile(const QString& fileName, PageScripts scripts) override;
  int ReadyState() const override { return readyState_; }
  void RequestBodyMarkup(std::function<void(const QString&)> done) override;
  void SetFocus() override;

 private:
  void Load(quint64 serial, const QString& fileName, bool builtIn);
  void OnLinkClicked(const QUrl& url);
  void OpenInDesktop(const QUrl& url);

  QString folder_;
  QPointer<LightPageBrowser> browser_;
  std::function<bool(const QUrl&)> openInDesktop_;
  int readyState_ = kReadyStateComplete;
  // Each showing of a page file has an address of its own; only the
  // latest one may finish.
  quint64 serial_ = 0;
};

}  // namespace tw
