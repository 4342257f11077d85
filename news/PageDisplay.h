#pragma once

#include <QObject>

#include <functional>

namespace tw {

class WebView;

// Carries one page display through its waits without a nested event loop:
// after each navigation the display goes on from the web view's
// loadFinished, once ReadyState is 4.
//
// Only the latest display goes on. A display begun while another is still
// waiting abandons the older one, whose remaining steps (its clean-up among
// them) never run: they would delete the newer page's files before it had
// loaded. The newer display's own clean-up removes every page file, the
// older ones' included.
class PageDisplay : public QObject {
  Q_OBJECT

 public:
  explicit PageDisplay(WebView& web, QObject* parent = nullptr);

  // Starts a new display, abandoning the one under way.
  void Begin();
  // Runs next once the web view's current navigation is complete: at once
  // when it already is, else on loadFinished. Dropped if another display
  // begins first.
  void AfterLoad(std::function<void()> next);
  // True while a display waits for the web view.
  bool waiting() const { return static_cast<bool>(next_); }

 private:
  void OnLoadFinished();

  WebView& web_;
  std::function<void()> next_;
};

}  // namespace tw
