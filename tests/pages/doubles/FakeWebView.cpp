#include "FakeWebView.h"

#include <QDir>
#include <QFile>

namespace tw::test {

void FakeWebView::Stop() {
  calls << QStringLiteral("Stop");
  readyState = kReadyStateComplete;
}

void FakeWebView::Navigate(const QString& address, const QString& targetWindowName) {
  calls << (QStringLiteral("Navigate ") + address +
            (targetWindowName.isEmpty() ? QString() : QStringLiteral(" ") + targetWindowName));
  if (targetWindowName.isEmpty()) {
    readyState = kReadyStateLoading;
  } else {
    external << address;
  }
}

void FakeWebView::ShowPageFile(const QString& fileName, PageScripts scripts) {
  calls << QStringLiteral("ShowPageFile %1 scripts %2")
               .arg(fileName, scripts == PageScripts::On ? QStringLiteral("on") : QStringLiteral("off"));
  readyState = kReadyStateLoading;
  if (programFolder.isEmpty()) return;
  Shown page;
  page.name = fileName;
  QFile file(programFolder + u'/' + fileName);
  if (file.open(QIODevice::ReadOnly)) page.content = file.readAll();
  page.filesPresent = QDir(programFolder).entryList(QDir::Files, QDir::Name);
  shown << page;
}

void FakeWebView::finishLoading() {
  readyState = kReadyStateComplete;
  Q_EMIT loadFinished();
}

}  // namespace tw::test
