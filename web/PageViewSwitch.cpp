#include "PageViewSwitch.h"

namespace tw {

void PageViewSwitch::Use(WebView* view) {
  if (view == view_) return;
  if (view_) {
    view_->disconnect(this);
    view_->Stop();
  }
  view_ = view;
  if (!view_) return;
  connect(view_, &WebView::loadFinished, this, &WebView::loadFinished);
  connect(view_, &WebView::loadAbandoned, this, &WebView::loadAbandoned);
  connect(view_, &WebView::progressChanged, this, &WebView::progressChanged);
  connect(view_, &WebView::pageFailed, this, &WebView::pageFailed);
  connect(view_, &WebView::desktopOpenFailed, this, &WebView::desktopOpenFailed);
}

void PageViewSwitch::Stop() {
  if (view_) view_->Stop();
}

void PageViewSwitch::Navigate(const QString& address, const QString& targetWindowName) {
  if (view_) view_->Navigate(address, targetWindowName);
}

void PageViewSwitch::ShowPageFile(const QString& fileName, PageScripts scripts) {
  if (view_) view_->ShowPageFile(fileName, scripts);
}

int PageViewSwitch::ReadyState() const { return view_ ? view_->ReadyState() : kReadyStateComplete; }

void PageViewSwitch::RequestBodyMarkup(std::function<void(const QString&)> done) {
  if (view_) {
    view_->RequestBodyMarkup(std::move(done));
  } else {
    done(QString());
  }
}

void PageViewSwitch::SetFocus() {
  if (view_) view_->SetFocus();
}

}  // namespace tw
