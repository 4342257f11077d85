// Renders every kind of page the web panel shows, in both page views side by
// side (the web engine's on the left, the light one on the right), and saves
// a picture of each: an item page of every template, a site page and the
// three built-in pages. Run it under a display (scripts/screenshots uses
// xvfb-run); the first argument is the folder for the PNG files.
#include "PreviewTitleStrip.h"
#include "core/Clock.h"
#include "doubles/PageCore.h"
#include "news/PageRenderer.h"
#include "web/LightWebView.h"
#include "web/PageSchemeRegistration.h"
#include "web/WebEngineWebView.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <cstdio>
#include <functional>

#include <unistd.h>

namespace tw::test {
namespace {

QString DataUrl(const QByteArray& bytes, const char* type) {
  return QStringLiteral("data:") + QLatin1String(type) + QStringLiteral(";base64,") +
         QString::fromLatin1(bytes.toBase64());
}

// A made-up dashboard skin, as a skin site's thumbnail would show one.
QString SkinThumbnail() {
  QImage image(160, 120, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 120);
  sky.setColorAt(0, QColor(18, 52, 40));
  sky.setColorAt(1, QColor(4, 14, 10));
  p.fillRect(image.rect(), sky);
  p.setPen(Qt::NoPen);
  const QStringList entries = {QStringLiteral("Games"), QStringLiteral("Applications"), QStringLiteral("Media"),
                               QStringLiteral("Settings")};
  for (int i = 0; i < entries.size(); ++i) {
    p.setBrush(i == 1 ? QColor(149, 209, 0) : QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(18, 18 + i * 24, 124, 18), 6, 6);
    p.setPen(i == 1 ? QColor(10, 30, 0) : QColor(220, 240, 220));
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(28, 18 + i * 24, 110, 18), Qt::AlignVCenter, entries[i]);
    p.setPen(Qt::NoPen);
  }
  p.end();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return DataUrl(png, "image/png");
}

QByteArray Resource(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One page view with its own home, core, strip and renderer, under a
// caption that names it.
struct Pane {
  Pane(const QString& caption, QWidget* parent, std::function<WebView&(const QString&)> makeView,
       std::function<QWidget*()> viewWidget)
      : paths(AppPaths::UnderHome(home.path())) {
    QDir().mkpath(paths.programFolder);
    core = MakePageCore(paths, clock);
    web = &makeView(paths.programFolder);
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* title = new QLabel(caption, column);
    title->setAlignment(Qt::AlignCenter);
    title->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(title);
    strip = new PreviewTitleStrip(column);
    layout->addWidget(strip);
    layout->addWidget(viewWidget(), 1);
    parent->layout()->addWidget(column);
    renderer = std::make_unique<PageRenderer>(*core, *web, *strip);
  }

  QTemporaryDir home;
  AppPaths paths;
  Clock clock;
  std::unique_ptr<AppCore> core;
  WebView* web = nullptr;
  PreviewTitleStrip* strip = nullptr;
  std::unique_ptr<PageRenderer> renderer;
};

struct Shot {
  const char* file;
  std::function<void(Pane&)> show;
};

}  // namespace

int Run(const QString& outFolder) {
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tidewire"));
  auto* columns = new QHBoxLayout(&window);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->setSpacing(8);
  std::unique_ptr<WebEngineWebView> engine;
  std::unique_ptr<LightWebView> light;
  Pane enginePane(
      QStringLiteral("Web engine"), &window,
      [&](const QString& folder) -> WebView& {
        engine = std::make_unique<WebEngineWebView>(folder);
        engine->setDesktopOpener([](const QUrl&) { return true; });
        return *engine;
      },
      [&] { return engine->view(); });
  Pane lightPane(
      QStringLiteral("Light page view"), &window,
      [&](const QString& folder) -> WebView& {
        light = std::make_unique<LightWebView>(folder);
        light->setDesktopOpener([](const QUrl&) { return true; });
        return *light;
      },
      [&] { return static_cast<QWidget*>(light->widget()); });
  window.resize(2 * 860 + 8, 650);
  window.show();
  Pane* const panes[] = {&enginePane, &lightPane};

  const auto item = [](int site, const QString& title, const QString& link, const QString& description,
                       const QString& thumb = {}, const QString& author = {}) {
    StoredItem stored;
    stored.title = title;
    stored.link = link;
    stored.description = description;
    stored.thumb = thumb;
    stored.author = author;
    return [site, stored](Pane& pane) {
      const int number = pane.core->tv.childCount(pane.core->sites[site].Key) + 1;
      pane.renderer->ShowItem(site, StoreItem(*pane.core, site, number, stored));
    };
  };

  // Feeds send their descriptions escaped; the page decodes them.
  const QList<Shot> shots = {
      {"item-generic.png",
       item(1, QStringLiteral("Tidewire v1.0 build 0311 released"), QStringLiteral("https://tidewire.app/news/0311"),
            QStringLiteral("&lt;b&gt;A new build of Tidewire is ready.&lt;/b&gt; This one checks the feeds more "
                           "gently, remembers the window where you left it and shows every page without "
                           "running a single script from the feeds.&lt;br&gt;&lt;br&gt;Choose "
                           "&lt;i&gt;Update News Lists&lt;/i&gt; to see what is new, or read the "
                           "&lt;a href=\"https://tidewire.app/changes\"&gt;full list of changes&lt;/a&gt;."))},
      {"item-file-release.png",
       item(2, QStringLiteral("Avalaunch 0.49.3"), QStringLiteral("https://www.xbins.org/"),
            QStringLiteral("&lt;b&gt;Avalaunch 0.49.3&lt;/b&gt; has been added to /XBOX/Dashboards.&lt;br&gt;"
                           "&lt;br&gt;Fixes the skin loader on 1.6 boxes, faster FTP listing, new "
                           "&lt;i&gt;System Info&lt;/i&gt; screen.&lt;br&gt;Size: 4.2 MB"))},
      {"item-news-background.png",
       item(3, QStringLiteral("Homebrew weekend roundup"), QStringLiteral("https://www.xbox-scene.info/news/4411"),
            QStringLiteral("&lt;b&gt;Homebrew weekend roundup&lt;/b&gt;&lt;br&gt;&lt;br&gt;Three emulators "
                           "updated, a new media-centre build and a guide to swapping the clock capacitor "
                           "before it leaks. &lt;a href=\"https://www.xbox-scene.info/news/4411\"&gt;Read the "
                           "whole story&lt;/a&gt; and join the discussion in the forums."))},
      {"item-news-dark.png",
       item(4, QStringLiteral("Hard drive upgrade guide updated"), QStringLiteral("https://www.maxconsole.net/n/918"),
            QStringLiteral("The step-by-step hard drive upgrade guide now covers 250 GB drives and the new "
                           "locking tools. &lt;a href=\"https://www.maxconsole.net/n/918\"&gt;Full guide&lt;/a&gt;"))},
      {"item-news-blue.png",
       item(5, QStringLiteral("Media centre nightly builds"), QStringLiteral("https://www.mediaxbox.net/n/77"),
            QStringLiteral("&lt;span class=\"style1\"&gt;&lt;b&gt;Nightly builds are back&lt;/b&gt;&lt;/span&gt;"
                           "&lt;br&gt;&lt;span class=\"font\"&gt;The media centre nightlies return with "
                           "subtitle fixes and a faster library scan. &lt;a href=\"https://www.mediaxbox.net/n/77\""
                           "&gt;Download page&lt;/a&gt;&lt;/span&gt;"))},
      {"item-news-light-green.png",
       item(6, QStringLiteral("Nouveau tutoriel : sauvegarde EEPROM"), QStringLiteral("https://www.gueux.be/n/1204"),
            QStringLiteral("&lt;b&gt;Nouveau tutoriel&lt;/b&gt; : sauvegarder l'EEPROM de sa console avant toute "
                           "modification, pas &amp;#224; pas, avec captures d'&amp;#233;cran. "
                           "&lt;a href=\"https://www.gueux.be/n/1204\"&gt;Lire la suite&lt;/a&gt;"))},
      {"item-skin.png",
       item(7, QStringLiteral("Verdant Glass 1.2"), QStringLiteral("https://www.allxboxskins.com/skins/5521"),
            QStringLiteral("&lt;b&gt;Verdant Glass 1.2&lt;/b&gt; - a calm green skin with large menus, made for "
                           "television sets seen from the sofa."),
            SkinThumbnail(), QStringLiteral("moss"))},
      {"site.png",
       [&](Pane& pane) {
         const QString reg = pane.core->sites[3].RegName;
         Settings& s = pane.core->settings;
         s.setSiteText(reg, setting::ChannelLink, QStringLiteral("https://www.xbox-scene.info/"));
         s.setSiteText(reg, setting::ChannelDescription,
                       QStringLiteral("Console scene news, homebrew and hardware, every day."));
         s.setSiteText(reg, setting::ChannelImageTitle, QStringLiteral("Xbox-Scene"));
         s.setSiteText(reg, setting::ChannelImageUrl, DataUrl(Resource(QStringLiteral(":/LOGO/XBOXSCENE")),
                                                              "image/jpeg"));
         s.setSiteText(reg, setting::ChannelImageLink, QStringLiteral("https://www.xbox-scene.info/"));
         s.setSiteText(reg, setting::ChannelLastBuildDate, QStringLiteral("Thu, 11 Mar 2004 18:20:00 GMT"));
         pane.renderer->ShowSite(3);
       }},
      {"about.png", [](Pane& pane) { pane.renderer->WriteAboutPage(); }},
      {"help.png", [](Pane& pane) { pane.renderer->WriteHelpPage(); }},
      {"donations.png", [](Pane& pane) { pane.renderer->WriteDonationsPage(); }},
  };

  QDir().mkpath(outFolder);
  int failures = 0;
  for (const Shot& shot : shots) {
    bool shown = true;
    for (Pane* pane : panes) {
      QSignalSpy loaded(pane->web, &WebView::loadFinished);
      shot.show(*pane);
      if (pane->web->ReadyState() != WebView::kReadyStateComplete && !loaded.wait(30000)) shown = false;
    }
    if (!shown) {
      std::fprintf(stderr, "%s: the page did not load\n", shot.file);
      ++failures;
      continue;
    }
    QTest::qWait(600);  // let the page paint
    const QString path = QDir(outFolder).filePath(QString::fromLatin1(shot.file));
    if (!window.grab().save(path)) {
      std::fprintf(stderr, "%s: could not save\n", qPrintable(path));
      ++failures;
      continue;
    }
    std::printf("%s\n", qPrintable(path));
  }
  for (Pane* pane : panes) {
    const QStringList left = QDir(pane->paths.programFolder).entryList(QDir::Files);
    if (!left.isEmpty()) {
      std::fprintf(stderr, "files left in the program folder: %s\n", qPrintable(left.join(u',')));
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace tw::test

int main(int argc, char** argv) {
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  qputenv("QT_QUICK_BACKEND", "software");
  tw::RegisterPageScheme();
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
  return tw::test::Run(out);
}
