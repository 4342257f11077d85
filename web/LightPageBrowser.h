#pragma once

#include <QHash>
#include <QTextBrowser>
#include <QUrl>

namespace tw {

class RemotePictures;

// Qt's rich-text browser showing the program's pages: the markup is given
// to it, never fetched, and the only things it reads are the page's own
// pictures, from the program folder, and web pictures, through
// RemotePictures. Style sheets, frames and local files are never read, and
// the browser has no script engine. Links are not followed here: a click
// (or Enter on a link) is told through anchorClicked.
class LightPageBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit LightPageBrowser(QString programFolder, QWidget* parent = nullptr);

  // Shows markup as the page at pageUrl (an address of the page scheme),
  // reading every picture of its own now: its files go once it has loaded.
  // Web pictures come later and are shown as they arrive.
  void ShowPage(const QUrl& pageUrl, const QString& markup, bool builtIn);
  void ShowNothing();
  const QUrl& pageUrl() const { return pageUrl_; }
  // Counts the pages (and blank pages) shown so far.
  int pagesShown() const { return pagesShown_; }

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  void ReadAllPictures();
  void ShowArrivedPicture(const QUrl& url, const QByteArray& bytes);

  QString folder_;
  QUrl pageUrl_;
  int pagesShown_ = 0;
  RemotePictures* remote_;
  // Web pictures asked for by this page: their address, by the name the
  // markup gives them.
  QHash<QUrl, QUrl> remoteNames_;
};

}  // namespace tw
