#include "LightPageBrowser.h"

#include "web/LightPageAccessible.h"
#include "web/PageScheme.h"
#include "web/RemotePictures.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace tw {

namespace {

// A head left open, as the About page has always been written, holds the
// whole page for Qt's parser; browsers end it at the first tag that has no
// place in a head, and so does this.
QString WithHeadClosed(const QString& markup) {
  static const QRegularExpression kHead(QStringLiteral("<head\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression kEnded(QStringLiteral("</head\\s*>|<body\\b"), QRegularExpression::CaseInsensitiveOption);
  // What a head may hold, one element (or comment) at a time.
  static const QRegularExpression kHeadPart(
      QStringLiteral("\\G\\s*(?:<(title|style|script)\\b.*?</\\1\\s*>|<(?:meta|link|base)\\b[^>]*>|<!--.*?-->)"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch head = kHead.match(markup);
  if (!head.hasMatch() || kEnded.match(markup, head.capturedEnd()).hasMatch()) return markup;
  qsizetype end = head.capturedEnd();
  for (QRegularExpressionMatch part = kHeadPart.match(markup, end); part.hasMatch();
       part = kHeadPart.match(markup, end)) {
    end = part.capturedEnd();
  }
  return markup.left(end) + QStringLiteral("</head><body>") + markup.mid(end);
}

// Style sheets written inside a comment, to hide them from browsers older
// than style sheets, are lost on Qt's CSS parser; every browser since reads
// them as if the comment were not there.
QString WithStyleSheetsUncommented(QString markup) {
  // Found by plain search, so that feed markup full of unended style tags
  // costs one pass.
  qsizetype from = 0;
  while ((from = markup.indexOf(QLatin1String("<style"), from, Qt::CaseInsensitive)) >= 0) {
    const qsizetype start = markup.indexOf(u'>', from);
    const qsizetype end = start < 0 ? -1 : markup.indexOf(QLatin1String("</style"), start, Qt::CaseInsensitive);
    if (end < 0) break;
    QString sheet = markup.mid(start + 1, end - start - 1);
    sheet.remove(QLatin1String("<!--")).remove(QLatin1String("-->"));
    markup.replace(start + 1, end - start - 1, sheet);
    from = start + 1 + sheet.size();
  }
  return markup;
}

// The text and link colours a page gives as attributes of its body, which
// Qt's parser leaves aside, as a style sheet under the page's own.
QString BodyColours(const QString& markup) {
  static const QRegularExpression kBody(QStringLiteral("<body\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression kColour(QStringLiteral("\\b(text|link)\\s*=\\s*[\"']?(#?[0-9A-Za-z]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
  QString sheet;
  const QString body = kBody.match(markup).captured();
  for (QRegularExpressionMatchIterator it = kColour.globalMatch(body); it.hasNext();) {
    const QRegularExpressionMatch colour = it.next();
    sheet += (colour.captured(1).compare(QLatin1String("text"), Qt::CaseInsensitive) == 0 ? QStringLiteral("body")
                                                                                          : QStringLiteral("a")) +
             QStringLiteral(" {color: ") + colour.captured(2) + QStringLiteral(";} ");
  }
  return sheet;
}

// A picture written into the markup itself, as item pages may carry one.
QImage DataPicture(const QUrl& url) {
  const QByteArray text = url.toEncoded();
  const qsizetype comma = text.indexOf(',');
  if (comma < 0) return {};
  const QByteArray header = text.mid(5, comma - 5);
  const QByteArray payload = text.mid(comma + 1);
  return QImage::fromData(header.endsWith(";base64") ? QByteArray::fromBase64(QByteArray::fromPercentEncoding(payload))
                                                     : QByteArray::fromPercentEncoding(payload));
}

}  // namespace

LightPageBrowser::LightPageBrowser(QString programFolder, QWidget* parent)
    : QTextBrowser(parent), folder_(std::move(programFolder)), remote_(new RemotePictures({}, this)) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setSearchPaths({});
  setFrameShape(QFrame::NoFrame);
  setAccessibleName(QStringLiteral("Page"));
  LightPageAccessible::Install(*this);
  connect(remote_, &RemotePictures::arrived, this, &LightPageBrowser::ShowArrivedPicture);
}

void LightPageBrowser::ShowPage(const QUrl& pageUrl, const QString& markup, bool builtIn) {
  remote_->Clear();
  remoteNames_.clear();
  pageUrl_ = pageUrl;
  // The built-in pages keep their own script from offering a context menu.
  setContextMenuPolicy(builtIn ? Qt::NoContextMenu : Qt::DefaultContextMenu);
  document()->clear();
  const QString readable = WithStyleSheetsUncommented(WithHeadClosed(markup));
  document()->setDefaultStyleSheet(BodyColours(readable));
  setHtml(readable);
  ReadAllPictures();
  // Laid out whole now, so the page is there when it is said to be.
  document()->setTextWidth(viewport()->width());
  document()->size();
  verticalScrollBar()->setValue(0);
  ++pagesShown_;
  LightPageAccessible::PageChanged(*this);
}

void LightPageBrowser::ShowNothing() {
  remote_->Clear();
  remoteNames_.clear();
  pageUrl_.clear();
  clear();
  ++pagesShown_;
  LightPageAccessible::PageChanged(*this);
}

void LightPageBrowser::ReadAllPictures() {

  // The layout asks for pictures only as it reaches them, and it may reach
  // the end of a long page after its files have gone.
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (format.isImageFormat()) {
        document()->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
      }
    }
  }
}

QVariant LightPageBrowser::loadResource(int type, const QUrl& name) {
  // Never nothing: given nothing, the document would read the name as a
  // local file itself.
  // (Empty bytes, not an empty picture: an empty picture as a background
  // would hide the background colour.)
  const QVariant none = QVariant::fromValue(QByteArray());
  if (type != QTextDocument::ImageResource || pageUrl_.isEmpty()) return none;
  const QUrl url = pageUrl_.resolved(name);
  if (url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) return DataPicture(url);
  if (IsPageUrl(url)) {
    const QString file = PageFileName(url);
    QFile picture(folder_ + u'/' + file);
    if (file.isEmpty() || !picture.open(QIODevice::ReadOnly)) return none;
    return QImage::fromData(picture.readAll());
  }
  // Shown once they come; meanwhile the place stays empty.
  if (!remoteNames_.contains(url) && remote_->Fetch(url)) remoteNames_.insert(url, name);
  return none;
}

void LightPageBrowser::ShowArrivedPicture(const QUrl& url, const QByteArray& bytes) {
  const auto named = remoteNames_.constFind(url);
  if (named == remoteNames_.cend()) return;
  const QImage image = QImage::fromData(bytes);
  if (image.isNull()) return;
  document()->addResource(QTextDocument::ImageResource, named.value(), image);
  // Its size may differ from the empty place kept for it.
  document()->markContentsDirty(0, document()->characterCount());
  viewport()->update();
}

}  // namespace tw
