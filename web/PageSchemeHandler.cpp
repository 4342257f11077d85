#include "PageSchemeHandler.h"

#include "web/PageScheme.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>

namespace tw {
namespace {

QByteArray MimeTypeOf(const QString& name) {
  const QString lower = name.toLower();
  // Page files are always written in the single-byte code page.
  if (lower.endsWith(QLatin1String(".htm"))) return "text/html;charset=windows-1252";
  if (lower.endsWith(QLatin1String(".jpg"))) return "image/jpeg";
  if (lower.endsWith(QLatin1String(".gif"))) return "image/gif";
  return "image/png";
}

}  // namespace

PageSchemeHandler::PageSchemeHandler(QString folder, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), folder_(std::move(folder)) {}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  // The program's own navigations have no initiator; the pages' pictures
  // come from a page of this scheme. Nobody else gets anything.
  const QUrl initiator = job->initiator();
  if ((!initiator.isEmpty() && !IsPageUrl(initiator)) || job->requestMethod() != "GET") {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  const QString name = PageFileName(job->requestUrl());
  if (name.isEmpty()) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  const QString path = job->requestUrl().path(QUrl::FullyDecoded);
  const QString showing = path.left(path.size() - name.size());
  // Read whole now: the file may be deleted as soon as the page has loaded.
  QFile file(folder_ + u'/' + name);
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) {
    bytes = file.readAll();
    if (showing != keptShowing_) {
      kept_.clear();
      keptShowing_ = showing;
    }
    kept_.insert(name, bytes);
  } else if (showing == keptShowing_ && kept_.contains(name)) {
    bytes = kept_.value(name);
  } else {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  auto* body = new QBuffer(job);
  body->setData(bytes);
  job->reply(MimeTypeOf(name), body);
}

}  // namespace tw
