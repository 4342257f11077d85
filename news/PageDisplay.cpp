#include "PageDisplay.h"

#include "WebView.h"

namespace tw {

PageDisplay::PageDisplay(WebView& web, QObject* parent) : QObject(parent), web_(web) {
  connect(&web_, &WebView::loadFinished, this, &PageDisplay::OnLoadFinished);
}

void PageDisplay::Begin() { next_ = nullptr; }

void PageDisplay::AfterLoad(std::function<void()> next) {
  if (web_.ReadyState() == WebView::kReadyStateComplete) {
    next_ = nullptr;
    next();
    return;
  }
  next_ = std::move(next);
}

void PageDisplay::OnLoadFinished() {
  if (!next_ || web_.ReadyState() != WebView::kReadyStateComplete) return;
  // Taken out first: the step may begin the next wait.
  std::function<void()> next = std::move(next_);
  next_ = nullptr;
  next();
}

}  // namespace tw
