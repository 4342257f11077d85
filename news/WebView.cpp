#include "WebView.h"

namespace tw {

WebView::~WebView() = default;

}  // namespace tw
