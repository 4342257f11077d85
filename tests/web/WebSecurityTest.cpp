#include "WebFixture.h"

#include "core/BuildFlags.h"
#include "core/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace tw::test {
namespace {

constexpr int kOwnSite = 1;

// A description that tries everything a hostile feed could: inline script,
// an event handler, a refresh to another site, reading a local file through
// a picture, a frame, a style sheet and script, and a script link.
QString HostileMarkup(const QString& secretPicture, const QString& secretText) {
  const QString pic = QUrl::fromLocalFile(secretPicture).toString();
  const QString txt = QUrl::fromLocalFile(secretText).toString();
  return QStringLiteral(
             "<p id=\"marker\">Plain news</p>"
             "<script>document.title='inline script ran';document.body.setAttribute('data-ran','inline');</script>"
             "<img id=\"broken\" src=\"missing-picture.png\" "
             "onerror=\"document.title='onerror ran';document.body.setAttribute('data-ran','onerror')\">"
             "<meta http-equiv=\"refresh\" content=\"0;url=https://refresh.invalid/\">"
             "<img id=\"local\" src=\"%1\">"
             "<iframe id=\"frame\" src=\"%2\"></iframe>"
             "<link rel=\"stylesheet\" href=\"%2\">"
             "<script>fetch('%2').then(r=>r.text()).then(t=>{document.title='read:'+t;})"
             ".catch(e=>{document.body.setAttribute('data-fetch','refused');});</script>"
             "<a id=\"js\" href=\"javascript:document.title='link ran'\">link</a>")
      .arg(pic, txt);
}

class HostilePages : public WebFixture {
 protected:
  HostilePages() {
    // Secrets outside the program folder, where a file:// page could reach.
    QFile logo(QStringLiteral(":/icons/error.png"));
    EXPECT_TRUE(logo.open(QIODevice::ReadOnly));
    secretPicture = home.path(QStringLiteral("secret.png"));
    secretText = home.path(QStringLiteral("secret.txt"));
    writeFile(secretPicture, logo.readAll());
    writeFile(secretText, "the secret");
  }
  QString secretPicture;
  QString secretText;
};

TEST_F(HostilePages, AnItemDescriptionRunsNoScriptReadsNoFileAndGoesNowhere) {
  StoredItem item;
  item.description = HostileMarkup(secretPicture, secretText);
  renderer->ShowItem(kOwnSite, StoreItem(*core, kOwnSite, 1, item));
  ASSERT_TRUE(waitForLoad());
  settle(1500);  // time for the refresh, the failed picture and any late script

  // Still the item page.
  EXPECT_TRUE(IsPageUrl(web->page()->url())) << web->page()->url().toString().toStdString();
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('marker').textContent")).toString(),
            QStringLiteral("Plain news"));
  // The refresh was tried and dropped.
  EXPECT_TRUE(dropped.contains(QStringLiteral("https://refresh.invalid/"))) << dropped.join(u',').toStdString();
  // No script of any kind ran.
  EXPECT_EQ(inspect(QStringLiteral("document.title")).toString(), QString());
  EXPECT_FALSE(inspect(QStringLiteral("document.body.hasAttribute('data-ran')")).toBool());
  EXPECT_FALSE(inspect(QStringLiteral("document.body.hasAttribute('data-fetch')")).toBool());
  // The local picture did not load; the broken one did fail (so onerror had
  // its chance).
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('local').naturalWidth")).toInt(), 0);
  EXPECT_TRUE(inspect(QStringLiteral("document.getElementById('broken').complete")).toBool());
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('broken').naturalWidth")).toInt(), 0);
  EXPECT_TRUE(openedInDesktop.isEmpty());
  if (!DebugBuild) {
    EXPECT_TRUE(pageFiles().isEmpty()) << pageFiles().join(u',').toStdString();
  }
}

// A frame's srcdoc is a page of its own that the item page's policy does
// not reach: the frame must not show, nor fetch what it holds.
TEST_F(HostilePages, AFrameInADescriptionNeitherShowsNorFetches) {
  QTcpServer pictures;
  ASSERT_TRUE(pictures.listen(QHostAddress::LocalHost));
  int fetched = 0;
  QObject::connect(&pictures, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* socket = pictures.nextPendingConnection()) {
      ++fetched;
      socket->abort();
    }
  });
  StoredItem item;
  item.description = QStringLiteral(
                         "<p id=\"marker\">Plain news</p>"
                         "<iframe srcdoc=\"<img src='http://127.0.0.1:%1/pixel.png'><p>framed</p>\"></iframe>"
                         "<IFRAME SRC=\"http://127.0.0.1:%1/frame.htm\">fallback</IFRAME>")
                         .arg(pictures.serverPort());
  renderer->ShowItem(kOwnSite, StoreItem(*core, kOwnSite, 1, item));
  ASSERT_TRUE(waitForLoad());
  settle(1000);
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('marker').textContent")).toString(),
            QStringLiteral("Plain news"));
  EXPECT_EQ(inspect(QStringLiteral("document.querySelectorAll('iframe').length")).toInt(), 0);
  EXPECT_EQ(fetched, 0);
}

TEST_F(HostilePages, EvenAPageAllowedScriptCannotReadLocalFiles) {
  // The same markup in a page that may run script, without the item pages'
  // policy: the scripts do run here, which shows the checks above would
  // have seen them, and still nothing local can be read.
  writeFile(folder() + QStringLiteral("/probe.htm"),
            EncodeWindows1252(QString(QStringLiteral("<html><head><title>probe</title></head><body>") +
                                      HostileMarkup(secretPicture, secretText) + QStringLiteral("</body></html>"))));
  web->ShowPageFile(QStringLiteral("probe.htm"), PageScripts::On);
  ASSERT_TRUE(waitForLoad());
  settle(1500);

  EXPECT_TRUE(inspect(QStringLiteral("document.body.hasAttribute('data-ran')")).toBool());
  EXPECT_EQ(inspect(QStringLiteral("document.body.getAttribute('data-fetch')")).toString(), QStringLiteral("refused"));
  EXPECT_FALSE(inspect(QStringLiteral("document.title")).toString().startsWith(QLatin1String("read:")));
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('local').naturalWidth")).toInt(), 0);
  EXPECT_TRUE(IsPageUrl(web->page()->url()));
  EXPECT_TRUE(dropped.contains(QStringLiteral("https://refresh.invalid/")));
}

}  // namespace
}  // namespace tw::test
