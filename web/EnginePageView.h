#pragma once

#include "news/WebView.h"

class QWidget;

namespace tw {

// The web engine's page view as the program sees it. It is built in a module
// of its own (see EngineModule), loaded only when this view is used, so that
// a program showing the light page view never loads the web engine.
//
// The engine (and with it the page's process) can be built later than the
// view and released while nobody can see it; viewWidget() is the widget to
// put where Web goes, null while there is no engine.
class EnginePageView : public WebView {
  Q_OBJECT

 public:
  using WebView::WebView;

  virtual QWidget* viewWidget() const = 0;
  virtual bool hasEngine() const = 0;
  // Builds the engine if there is none, then shows what was asked for
  // meanwhile, or else the page shown when it was released.
  virtual void CreateEngine() = 0;
  // Ends the page, its view and its process, keeping what the page showed.
  virtual void ReleaseEngine() = 0;

 Q_SIGNALS:
  // Each new view widget; null when it was released.
  void viewWidgetChanged(QWidget* view);
};

}  // namespace tw
