#pragma once

#include <QRect>
#include <QSize>

namespace tw {

// Where the main window's strips go. The activity list and the download
// strip stack up from the status bar; the splitter takes what is left above
// them. No top or width is ever negative: a window too small lets the
// controls overlap from the bottom up.
struct FormLayoutInput {
  QSize client;
  int statusBarHeight = 0;
  bool logVisible = false;
  int logHeight = 0;
  bool downloadStripVisible = false;
  int downloadStripHeight = 0;
};
struct FormLayout {
  QRect log;            // valid only when the list is visible
  QRect downloadStrip;  // valid only when the strip is visible
  QRect splitter;
};
FormLayout RESIZE_Form(const FormLayoutInput& in);

// The right pane: title strip on top, the browser under it, the browser's
// progress strip at the bottom when shown, the development button level with
// the browser's top.
struct WebPanelLayoutInput {
  QSize inner;
  int titleHeight = 0;
  bool webProgressVisible = false;
  int webProgressHeight = 0;
};
struct WebPanelLayout {
  QRect title;
  QRect web;
  QRect webProgress;
  QPoint maxConButton;
};
WebPanelLayout RESIZE_WebPanel(const WebPanelLayoutInput& in);

}  // namespace tw
