#include "PageScheme.h"

#include <QRegularExpression>

namespace tw {

QUrl PageUrl(const QString& fileName, quint64 serial) {
  QUrl url;
  url.setScheme(QString::fromLatin1(kPageScheme));
  url.setHost(QString::fromLatin1(kPageHost));
  url.setPath(u'/' + QString::number(serial) + u'/' + fileName);
  return url;
}

bool IsPageUrl(const QUrl& url) { return url.scheme().compare(QLatin1String(kPageScheme), Qt::CaseInsensitive) == 0; }

QString PageFileName(const QUrl& url) {
  if (!IsPageUrl(url) || url.host().compare(QLatin1String(kPageHost), Qt::CaseInsensitive) != 0) return {};
  // One plain file name of the kinds the program writes, in a showing's folder.
  static const QRegularExpression kName(
      QStringLiteral(R"(^/(?:[0-9]+/)?([A-Za-z0-9_-][A-Za-z0-9_.-]*\.(htm|jpg|gif|png))$)"),
                                        QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = kName.match(url.path(QUrl::FullyDecoded));
  if (!match.hasMatch() || match.captured(1).contains(QLatin1String(".."))) return {};
  return match.captured(1);
}

}  // namespace tw
