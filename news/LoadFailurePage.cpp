#include "news/PageTemplates.h"

namespace tw {

QString LoadFailurePage(const QString& address, const QString& reason) {
  // The address and the reason come from the network: text, never markup.
  return QStringLiteral("<!DOCTYPE html><html><head>") + ItemPageSecurityPolicy() +
         QStringLiteral("<title>Page not loaded</title></head>"
                        "<body style=\"font-family: sans-serif; margin: 16px\">"
                        "<h3>This page could not be loaded</h3><p>") +
         address.toHtmlEscaped() + QStringLiteral("</p><p>") + reason.toHtmlEscaped() +
         QStringLiteral("</p><p>The item is still stored: open it again once the page can be reached.</p>"
                        "</body></html>");
}

}  // namespace tw
