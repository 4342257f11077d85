#include "PanelFixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace tw::test {

PageFolderFixture::PageFolderFixture() : core(MakePageCore(home.paths(), clock)) {}

QStringList PageFolderFixture::pageFiles() const {
  return QDir(folder()).entryList({QStringLiteral("*.htm"), QStringLiteral("*.jpg"), QStringLiteral("*.gif")},
                                  QDir::Files);
}

void PageFolderFixture::writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

bool PageFolderFixture::waitForLoad(WebView& web, int ms) {
  if (web.ReadyState() == WebView::kReadyStateComplete) return true;
  QSignalSpy spy(&web, &WebView::loadFinished);
  return spy.wait(ms) && web.ReadyState() == WebView::kReadyStateComplete;
}

void PageFolderFixture::settle(int ms) { QTest::qWait(ms); }

}  // namespace tw::test
