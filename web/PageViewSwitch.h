#pragma once

#include "news/WebView.h"

#include <QPointer>

namespace tw {

// The web view the engine holds on to, passing everything to whichever of
// the program's page views is in use and telling what that one tells. A
// change of view stops the one let go; what it was loading never finishes,
// so whoever waits for a page asks again.
class PageViewSwitch : public WebView {
  Q_OBJECT

 public:
  explicit PageViewSwitch(QObject* parent = nullptr) : WebView(parent) {}

  void Use(WebView* view);
  WebView* inUse() const { return view_; }

  void Stop() override;
  void Navigate(const QString& address, const QString& targetWindowName = {}) override;
  void ShowPageFile(const QString& fileName, PageScripts scripts) override;
  int ReadyState() const override;
  void RequestBodyMarkup(std::function<void(const QString&)> done) override;
  void SetFocus() override;

 private:
  QPointer<WebView> view_;
};

}  // namespace tw
