#include "DemoFeeds.h"

#include "core/Windows1252.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>

namespace tw::demo {
namespace {

using F = DemoSite::Format;

constexpr std::array<DemoSite, kDemoSiteCount + 1> kSites = {{
    {"", "", "", "", F::Rss2, false, false, false, 0},
    {"tidewire.xml", "Tidewire news", "https://tidewire.app/", "News about Tidewire, the scene news reader", F::Rss2,
     false, false, false, 5},
    {"xbins.xml", "XBINS - Latest Releases", "https://www.xbins.org/",
     "The newest files on the XBINS servers", F::Rss2, true, false, true, 15},
    {"xboxscene.xml", "Xbox-Scene", "https://www.xbox-scene.info/", "Xbox-Scene news & updates", F::Rss091, false,
     false, false, 10},
    {"maxconsole.xml", "MaxConsole - Xbox", "https://www.maxconsole.net/", "Console news, every day", F::Rss2, false,
     false, false, 10},
    {"mediaxbox.xml", "Media Xbox", "https://www.mediaxbox.net/", "Media centres & players for the Xbox", F::Rss2,
     true, false, false, 10},
    {"gueux.xml", "Gueux.be", "https://www.gueux.be/", "L'actualit\u00e9 de la sc\u00e8ne Xbox", F::Rss1, false,
     false, false, 10},
    {"skins-xmp.xml", "Recent Xbox Media Player Skins", "https://www.allxboxskins.com/", "New skins for XMP",
     F::Rss2, false, true, false, 8},
    {"skins-evox.xml", "Recent EvoX Skins", "https://www.allxboxskins.com/", "New skins for EvoX", F::Rss2, false,
     true, false, 8},
    {"skins-mxm.xml", "Recent Media-X-Menu Skins", "https://www.allxboxskins.com/", "New skins for MXM", F::Rss2,
     false, true, false, 8},
    {"skins-avalaunch.xml", "Recent Avalaunch Skins", "https://www.allxboxskins.com/", "New skins for Avalaunch",
     F::Rss2, false, true, false, 8},
    {"skins-megaxkey.xml", "Recent Mega-X Key Skins", "https://www.allxboxskins.com/", "New skins for Mega X-Key",
     F::Rss2, false, true, false, 8},
    {"skins-cpxmenux.xml", "Recent CPX-MenuX Skins", "https://www.allxboxskins.com/", "New skins for CPX-MenuX",
     F::Rss2, false, true, false, 8},
    {"skins-xport.xml", "Recent XPort Skins", "https://www.allxboxskins.com/", "New skins for XPort", F::Rss2, false,
     true, false, 8},
    {"skins-xlink.xml", "Recent XLink/Bo-XLink Skins", "https://www.allxboxskins.com/",
     "New skins for XLink and Bo-XLink", F::Rss2, false, true, false, 8},
    {"skins-msdash.xml", "Recent MS Dash Skins", "https://www.allxboxskins.com/", "New skins for the MS Dashboard",
     F::Rss2, false, true, false, 8},
    {"skins-xbmc.xml", "Recent Xbox Media Center Skins", "https://www.allxboxskins.com/", "New skins for XBMC",
     F::Rss2, false, true, false, 8},
    {"dailygame.xml", "Daily Game", "https://www.dailygame.net/", "Game news, reviews & release dates", F::Rss2,
     false, false, false, 12},
}};

// Headlines, already written as the feed writes them (entities included).
const QStringList& Headlines(int site) {
  static const QStringList own = {
      QStringLiteral("Tidewire 1.0 build 0311 released"),
      QStringLiteral("Skin feeds from AllXboxSkins added"),
      QStringLiteral("Known issue: alerts on multi-monitor desktops"),
      QStringLiteral("Tidewire 1.0 build 0312 &quot;Tray&quot; update"),
      QStringLiteral("Thanks for 10,000 downloads!"),
  };
  static const QStringList releases = {
      QStringLiteral("Evolution-X Dashboard build 3935"),
      QStringLiteral("Avalaunch 0.50.1 Beta"),
      QStringLiteral("XBMC 2.0.1 &amp; Python scripts pack"),
      QStringLiteral("ConfigMagic 1.6"),
      QStringLiteral("Xbox Hard Drive Locking Utility 0.9"),
      QStringLiteral("UnleashX 0.39.0528A"),
      QStringLiteral("Slayer\u2019s EvoX Auto-Installer 2.6"),
      QStringLiteral("XBackup 2.0"),
      QStringLiteral("Media-X-Menu 0.9 RC3"),
      QStringLiteral("DVD2Xbox 0.7.4"),
      QStringLiteral("XBtv Guide 1.2"),
      QStringLiteral("Caf\u00e9 FTP Server 1.1"),
  };
  static const QStringList news = {
      QStringLiteral("New modchip firmware adds LPC rebuild support"),
      QStringLiteral("Interview: the people behind the &#039;XBMC&#039; project"),
      QStringLiteral("Team Xecuter announces the X3 &amp; X3 Lite"),
      QStringLiteral("How-to: upgrade your hard drive to 200 GB"),
      QStringLiteral("Softmod installer 1.1 brings &quot;one-click&quot; setup"),
      QStringLiteral("Live! update 5659 blocks older dashboards"),
      QStringLiteral("Halo 2 multiplayer map pack dated"),
      QStringLiteral("Emulator round-up: SNES, Genesis &amp; Neo Geo"),
      QStringLiteral("Xbox sales pass 15 million worldwide"),
      QStringLiteral("Forum downtime this weekend"),
      QStringLiteral("BIOS flashing guide updated for v1.6 boxes"),
      QStringLiteral("Review: Xecuter DVD-R drive tray"),
  };
  static const QStringList french = {
      QStringLiteral("Sortie de l\u2019\u00e9mulateur SNES9x 1.43"),
      QStringLiteral("Nouveau tutoriel : installer un softmod"),
      QStringLiteral("Les puces &quot;Aladdin&quot; test\u00e9es"),
      QStringLiteral("XBMC : la version fran\u00e7aise est pr\u00eate"),
      QStringLiteral("Mise \u00e0 jour du forum"),
      QStringLiteral("Concours : gagnez un disque dur de 160 Go"),
      QStringLiteral("Guide des BIOS pour les consoles 1.6"),
      QStringLiteral("Interview de l\u2019\u00e9quipe Avalaunch"),
  };
  static const QStringList skins = {
      QStringLiteral("Halo Blue"),     QStringLiteral("Carbon Fibre"),   QStringLiteral("Matrix Reloaded"),
      QStringLiteral("Clean &amp; Simple"), QStringLiteral("Splinter Cell"), QStringLiteral("Project Mayhem"),
      QStringLiteral("Blackout"),      QStringLiteral("Neon Nights"),    QStringLiteral("Retro Arcade"),
      QStringLiteral("Deep Ocean"),
  };
  static const QStringList games = {
      QStringLiteral("Fable delayed to autumn"),
      QStringLiteral("Ninja Gaiden review: hard, and proud of it"),
      QStringLiteral("Top 10 games of the month"),
      QStringLiteral("Star Wars: Knights of the Old Republic II announced"),
      QStringLiteral("Doom 3 on Xbox \u2013 first screenshots"),
      QStringLiteral("Rallisport Challenge 2 demo out"),
      QStringLiteral("Burnout 3: Takedown preview"),
      QStringLiteral("Full Spectrum Warrior&#8217;s squad AI explained"),
  };
  if (site == 1) return own;
  if (site == 2) return releases;
  if (site == 6) return french;
  if (site >= 7 && site <= 16) return skins;
  if (site == 17) return games;
  return news;
}

// Escapes the five markup characters, for descriptions written as escaped HTML.
QString Escape(const QString& html) {
  QString out = html;
  out.replace(u'&', QStringLiteral("&amp;"));
  out.replace(u'<', QStringLiteral("&lt;"));
  out.replace(u'>', QStringLiteral("&gt;"));
  out.replace(u'"', QStringLiteral("&quot;"));
  return out;
}

QString ItemLink(int site, int n) {
  const DemoSite& s = kSites[static_cast<size_t>(site)];
  if (s.skin) return QString::fromLatin1(s.link) + QStringLiteral("skin.php?act=view&amp;id=") + QString::number(4000 + site * 100 + n);
  if (s.release) return QString::fromLatin1(s.link) + QStringLiteral("release.php?id=") + QString::number(2000 + n);
  return QString::fromLatin1(s.link) + QStringLiteral("news.php?id=") + QString::number(1000 + n);
}

QString PubDate(int n) {
  const QDateTime base(QDate(2004, 3, 1), QTime(8, 0), Qt::UTC);
  return QLocale::c().toString(base.addSecs(n * 7 * 3600), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")) +
         QStringLiteral(" GMT");
}

QString ThumbUrl(const QString& pictureBase, int n) {
  return pictureBase + QStringLiteral("thumb-") + QString::number(n) + QStringLiteral(".bmp");
}

// An uncompressed 24-bit BMP of diagonal stripes in two colours: every
// browser shows it, and making it needs no image library.
QByteArray StripedBitmap(int width, int height, quint32 colour, quint32 stripes) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const quint32 pixels = static_cast<quint32>(rowBytes * height);
  QByteArray bmp;
  const auto put = [&bmp](quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp.append(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  bmp.append("BM");
  put(54 + pixels, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<quint32>(width), 4);
  put(static_cast<quint32>(height), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(pixels, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) put((x + y) / 6 % 2 ? stripes : colour, 3);  // stored blue, green, red
    put(0, rowBytes - width * 3);
  }
  return bmp;
}

QString Description(int site, int n, const QString& title, const QString& pictureBase) {
  const QString link = ItemLink(site, n);
  QString plainLink = link;
  plainLink.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  if (site == 4) {
    // CDATA, as some sites send it.
    return QStringLiteral("<![CDATA[<p><b>") + title + QStringLiteral("</b></p><p>Posted in the Xbox section.</p>]]>");
  }
  if (site == 6) {
    return Escape(QStringLiteral("<p>") + title + QStringLiteral(" \u2013 d\u00e9tails sur le forum.</p>"));
  }
  const DemoSite& s = kSites[static_cast<size_t>(site)];
  if (s.skin) {
    return Escape(QStringLiteral("<p>A new skin for ") + QString::fromLatin1(s.title).mid(7) +
                  QStringLiteral(".</p><img src=\"") + ThumbUrl(pictureBase, n) + QStringLiteral("\" alt=\"preview\"><br><a href=\"") + plainLink + QStringLiteral("\">Download</a>"));
  }
  return Escape(QStringLiteral("<p>") + title + QStringLiteral(" &ndash; the full story is on our site.</p>") +
                QStringLiteral("<p><a href=\"") + plainLink + QStringLiteral("\">Read more&hellip;</a></p>"));
}

QString ItemText(int site, int n, const QString& pictureBase) {
  const DemoSite& s = kSites[static_cast<size_t>(site)];
  const QString title = ItemTitle(site, n);
  const QString link = ItemLink(site, n);
  QString item = s.format == F::Rss1 ? QStringLiteral("<item rdf:about=\"") + link + QStringLiteral("\">\n")
                                     : QStringLiteral("<item>\n");
  item += QStringLiteral("  <title>") + title + QStringLiteral("</title>\n");
  item += QStringLiteral("  <link>") + link + QStringLiteral("</link>\n");
  item += QStringLiteral("  <description>") + Description(site, n, title, pictureBase) + QStringLiteral("</description>\n");
  if (s.format == F::Rss1) {
    item += QStringLiteral("  <dc:date>") + PubDate(n) + QStringLiteral("</dc:date>\n");
  } else if (s.format == F::Rss2) {
    item += QStringLiteral("  <pubDate>") + PubDate(n) + QStringLiteral("</pubDate>\n");
  }
  if (s.release) {
    item += QStringLiteral("  <homepage>http://www.example-scene.org/project") + QString::number(n) +
            QStringLiteral("/</homepage>\n");
    item += QStringLiteral("  <releasedate>") + PubDate(n).left(16) + QStringLiteral("</releasedate>\n");
  }
  if (s.skin) {
    item += QStringLiteral("  <thumb>") + ThumbUrl(pictureBase, n) + QStringLiteral("</thumb>\n");
    static const QStringList authors = {QStringLiteral("Jezz_X"), QStringLiteral("Chokemaniac"),
                                        QStringLiteral("R&#233;mi"), QStringLiteral("dr. evil"),
                                        QStringLiteral("Blackhole")};
    item += QStringLiteral("  <author>") + authors.at((n - 1) % authors.size()) + QStringLiteral("</author>\n");
  }
  item += QStringLiteral("</item>\n");
  return item;
}

QString ImageBlock(const DemoSite& s, int site, const QString& pictureBase) {
  return QStringLiteral("<image>\n  <title>") + QString::fromLatin1(s.title) + QStringLiteral(" logo</title>\n  <url>") +
         pictureBase + QStringLiteral("logo-") + QString::number(site) + QStringLiteral(".bmp</url>\n  <link>") + QString::fromLatin1(s.link) +
         QStringLiteral("</link>\n  <width>88</width>\n  <height>31</height>\n</image>\n");
}

}  // namespace

const DemoSite& DemoSiteAt(int site) {
  return kSites.at(static_cast<size_t>(site >= 1 && site <= kDemoSiteCount ? site : 0));
}

int DemoSiteIndexOf(const QString& file) {
  for (int i = 1; i <= kDemoSiteCount; ++i) {
    if (file == QLatin1String(kSites[static_cast<size_t>(i)].file)) return i;
  }
  return 0;
}

QString ItemTitle(int site, int n) {
  const QStringList& pool = Headlines(site);
  QString title = pool.at((n - 1) % pool.size());
  if (n > pool.size()) title += QStringLiteral(" (part ") + QString::number((n - 1) / pool.size() + 1) + u')';
  return title;
}

QByteArray BuildFeed(int site, int itemCount, const QString& pictureBase, int oldestItem) {
  const DemoSite& s = DemoSiteAt(site);
  const QString encoding = s.windows1252 ? QStringLiteral("ISO-8859-1") : QStringLiteral("UTF-8");
  QString doc = QStringLiteral("<?xml version=\"1.0\" encoding=\"") + encoding + QStringLiteral("\"?>\n");
  const QString title = Escape(QString::fromUtf8(s.title));
  const QString description = Escape(QString::fromUtf8(s.description));
  QString items;
  for (int n = itemCount; n >= std::max(oldestItem, 1); --n) items += ItemText(site, n, pictureBase);

  switch (s.format) {
    case F::Rss1:
      doc += QStringLiteral(
          "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\" "
          "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n");
      doc += QStringLiteral("<channel rdf:about=\"") + QString::fromLatin1(s.link) + QStringLiteral("\">\n");
      doc += QStringLiteral("<title>") + title + QStringLiteral("</title>\n<link>") + QString::fromLatin1(s.link) +
             QStringLiteral("</link>\n<description>") + description + QStringLiteral("</description>\n</channel>\n");
      doc += ImageBlock(s, site, pictureBase) + items + QStringLiteral("</rdf:RDF>\n");
      break;
    case F::Rss091:
      // The image block, with its own title, comes before the channel's.
      doc += QStringLiteral("<rss version=\"0.91\">\n<channel>\n") + ImageBlock(s, site, pictureBase);
      doc += QStringLiteral("<title>") + title + QStringLiteral("</title>\n<link>") + QString::fromLatin1(s.link) +
             QStringLiteral("</link>\n<description>") + description + QStringLiteral("</description>\n") +
             QStringLiteral("<language>en-us</language>\n");
      doc += items + QStringLiteral("</channel>\n</rss>\n");
      break;
    case F::Rss2:
      doc += QStringLiteral("<rss version=\"2.0\">\n<channel>\n");
      doc += QStringLiteral("<title>") + title + QStringLiteral("</title>\n<link>") + QString::fromLatin1(s.link) +
             QStringLiteral("</link>\n<description>") + description + QStringLiteral("</description>\n") +
             QStringLiteral("<lastBuildDate>") + PubDate(itemCount) + QStringLiteral("</lastBuildDate>\n");
      if (site == 2 || site == 17) doc += ImageBlock(s, site, pictureBase);
      doc += items + QStringLiteral("</channel>\n</rss>\n");
      break;
  }
  return s.windows1252 ? EncodeWindows1252(doc) : doc.toUtf8();
}

QByteArray DemoPicture(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^(logo|thumb)-([1-9][0-9]{0,3})\\.bmp$"));
  const QRegularExpressionMatch match = pattern.match(name);
  if (!match.hasMatch()) return {};
  const quint32 n = match.captured(2).toUInt();
  // A colour of its own for each site's logo and each preview.
  const quint32 colour = 0x202020u + (n * 0x3B5F1Du & 0x7F7F7Fu);
  return match.captured(1) == QLatin1String("logo") ? StripedBitmap(88, 31, colour, 0xF0F0F0u)
                                                    : StripedBitmap(160, 120, colour, 0x101010u);
}

QByteArray BuildVersionFile(const QString& version) {
  return version.toLatin1() + QByteArrayLiteral(",Tidewire - a newer build is out\r\n");
}

}  // namespace tw::demo
