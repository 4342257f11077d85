#include "Entities.h"

#include "core/Windows1252.h"

namespace tw {

QString DecodeEntities(const QString& text) {
  QString out = text;
  out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  out.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
  out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  out.replace(QStringLiteral("&pound;"), QStringLiteral("\u00a3"));
  for (int n = 33; n <= 255; ++n) {
    out.replace(QStringLiteral("&#%1;").arg(n, 3, 10, QLatin1Char('0')), QString(Windows1252Char(n)));
  }
  return out;
}

}  // namespace tw
