#include "MainLayout.h"

#include <algorithm>

namespace tw {
namespace {
int AtLeastZero(int v) { return std::max(v, 0); }
}  // namespace

FormLayout RESIZE_Form(const FormLayoutInput& in) {
  FormLayout out;
  const int width = AtLeastZero(in.client.width());
  const int aboveStatusBar = in.client.height() - in.statusBarHeight;
  int bottom = AtLeastZero(aboveStatusBar);

  if (in.logVisible) {
    const int top = AtLeastZero(aboveStatusBar - in.logHeight);
    out.log = QRect(0, top, width, in.logHeight);
    bottom = top;
  }
  if (in.downloadStripVisible) {
    const int logSpace = in.logVisible ? in.logHeight : 0;
    const int top = AtLeastZero(aboveStatusBar - logSpace - in.downloadStripHeight);
    out.downloadStrip = QRect(0, top, width, in.downloadStripHeight);
    bottom = top;
  }
  out.splitter = QRect(0, 0, width, bottom);
  return out;
}

WebPanelLayout RESIZE_WebPanel(const WebPanelLayoutInput& in) {
  WebPanelLayout out;
  const int width = AtLeastZero(in.inner.width());
  out.title = QRect(0, 0, width, in.titleHeight);
  if (in.webProgressVisible) {
    out.web = QRect(0, in.titleHeight, width,
                    AtLeastZero(in.inner.height() - in.titleHeight - in.webProgressHeight));
    out.webProgress = QRect(0, AtLeastZero(in.inner.height() - in.webProgressHeight), width, in.webProgressHeight);
  } else {
    out.web = QRect(0, in.titleHeight, width, AtLeastZero(in.inner.height() - in.titleHeight));
  }
  out.maxConButton = QPoint(0, out.web.top());
  return out;
}

}  // namespace tw
