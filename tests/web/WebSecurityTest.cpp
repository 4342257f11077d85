#include "PagePanels.h"
#include "PanelFixture.h"
#if TIDEWIRE_WEB_ENGINE
#include "WebFixture.h"
#endif

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

// Secrets outside the program folder, where a file:// page could reach.
template <class Base>
class WithSecrets : public Base {
 protected:
  WithSecrets() {
    QFile logo(QStringLiteral(":/icons/error.png"));
    EXPECT_TRUE(logo.open(QIODevice::ReadOnly));
    secretPicture = this->home.path(QStringLiteral("secret.png"));
    secretText = this->home.path(QStringLiteral("secret.txt"));
    this->writeFile(secretPicture, logo.readAll());
    this->writeFile(secretText, "the secret");
  }
  QString secretPicture;
  QString secretText;
};

template <class Panel>
using HostilePages = WithSecrets<PanelFixture<Panel>>;
TYPED_TEST_SUITE(HostilePages, PagePanels, PagePanelNames);

TYPED_TEST(HostilePages, AnItemDescriptionRunsNoScriptReadsNoFileAndGoesNowhere) {
  StoredItem item;
  item.description = HostileMarkup(this->secretPicture, this->secretText);
  this->renderer->ShowItem(kOwnSite, StoreItem(*this->core, kOwnSite, 1, item));
  ASSERT_TRUE(this->waitForLoad());
  this->settle(1500);  // time for the refresh, the failed picture and any late script

  // Still the item page.
  EXPECT_TRUE(IsPageUrl(this->panel.shownUrl())) << this->panel.shownUrl().toString().toStdString();
  EXPECT_EQ(this->panel.elementText(QStringLiteral("marker")), QStringLiteral("Plain news"));
  if constexpr (TypeParam::kWebEngine) {
    // The refresh was tried and dropped.
    EXPECT_TRUE(this->panel.dropped.contains(QStringLiteral("https://refresh.invalid/")))
        << this->panel.dropped.join(u',').toStdString();
    // No script of any kind ran.
    EXPECT_EQ(this->panel.inspect(QStringLiteral("document.title")).toString(), QString());
    EXPECT_FALSE(this->panel.inspect(QStringLiteral("document.body.hasAttribute('data-ran')")).toBool());
    EXPECT_FALSE(this->panel.inspect(QStringLiteral("document.body.hasAttribute('data-fetch')")).toBool());
    // The broken picture did fail (so onerror had its chance).
    EXPECT_TRUE(this->panel.inspect(QStringLiteral("document.getElementById('broken').complete")).toBool());
  } else {
    // No script engine at all: the scripts are not even text on the page.
    EXPECT_FALSE(this->panel.shownText().contains(QStringLiteral("document."))) << this->panel.shownText().toStdString();
  }
  // Neither the local picture nor the broken one loaded.
  EXPECT_TRUE(this->panel.pictureSize(QUrl::fromLocalFile(this->secretPicture).toString()).isEmpty());
  EXPECT_TRUE(this->panel.pictureSize(QStringLiteral("missing-picture.png")).isEmpty());
  EXPECT_TRUE(this->openedInDesktop.isEmpty());
  if (!DebugBuild) {
    EXPECT_TRUE(this->pageFiles().isEmpty()) << this->pageFiles().join(u',').toStdString();
  }
}

// A frame's srcdoc is a page of its own that the item page's policy does
// not reach: the frame must not show, nor fetch what it holds.
TYPED_TEST(HostilePages, AFrameInADescriptionNeitherShowsNorFetches) {
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
  this->renderer->ShowItem(kOwnSite, StoreItem(*this->core, kOwnSite, 1, item));
  ASSERT_TRUE(this->waitForLoad());
  this->settle(1000);
  EXPECT_EQ(this->panel.elementText(QStringLiteral("marker")), QStringLiteral("Plain news"));
  if constexpr (TypeParam::kWebEngine) {
    EXPECT_EQ(this->panel.inspect(QStringLiteral("document.querySelectorAll('iframe').length")).toInt(), 0);
  }
  EXPECT_FALSE(this->panel.shownText().contains(QStringLiteral("framed")));
  EXPECT_EQ(fetched, 0);
}

#if TIDEWIRE_WEB_ENGINE
using EngineHostilePages = WithSecrets<WebFixture>;

TEST_F(EngineHostilePages, EvenAPageAllowedScriptCannotReadLocalFiles) {
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

#endif

}  // namespace
}  // namespace tw::test
