#include "FeedEndpoints.h"

#include <QUrl>
#include <QtGlobal>

#include <array>

namespace tw {
namespace {

struct Address {
  const char* home;
  const char* feedPrefix;
  const char* feedFile;
};

// Index 0 is unused, as in the catalogue.
constexpr std::array<Address, 18> kAddresses = {{
    {"", "", ""},
    {"https://tidewire.app/", "https://tidewire.app/news/", "tidewire.xml"},
    {"https://www.xbins.org/", "https://www.xbins.org/feeds/", "xbins.xml"},
    {"https://www.xbox-scene.info/", "https://www.xbox-scene.info/rss/", "xboxscene.xml"},
    {"https://www.maxconsole.net/", "https://www.maxconsole.net/rss/", "maxconsole.xml"},
    {"https://www.mediaxbox.net/", "https://www.mediaxbox.net/rss/", "mediaxbox.xml"},
    {"https://www.gueux.be/", "https://www.gueux.be/rss/", "gueux.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-xmp.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-evox.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-mxm.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-avalaunch.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-megaxkey.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-cpxmenux.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-xport.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-xlink.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-msdash.xml"},
    {"https://www.allxboxskins.com/", "https://www.allxboxskins.com/rss/", "skins-xbmc.xml"},
    {"https://www.dailygame.net/", "https://www.dailygame.net/rss/", "dailygame.xml"},
}};

constexpr Address kVersionFile = {"", "https://tidewire.app/news/", "version.txt"};
constexpr const char* kFileReleaseFrontPage = "https://www.xbins.org";

}  // namespace

FeedEndpoints::FeedEndpoints(QString base) : base_(std::move(base)) {
  while (base_.endsWith(u'/')) base_.chop(1);
}

FeedEndpoints FeedEndpoints::FromEnvironment(QString* problem) {
  const QString base = qEnvironmentVariable(kBaseVariable).trimmed();
  if (base.isEmpty()) return FeedEndpoints();
  const QUrl url(base, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty() || !IsFetchableUrl(base)) {
    if (problem) {
      *problem = QStringLiteral("%1 is not an http or https address (%2); the built-in feed addresses are used.")
                     .arg(QLatin1String(kBaseVariable), base);
    }
    return FeedEndpoints();
  }
  return FeedEndpoints(base);
}

QString FeedEndpoints::Resolve(const char* prefix, const char* file) const {
  if (base_.isEmpty()) return QString::fromLatin1(prefix) + QString::fromLatin1(file);
  return base_ + u'/' + QString::fromLatin1(file);
}

QString FeedEndpoints::FeedUrl(int site) const {
  if (site < 1 || site >= static_cast<int>(kAddresses.size())) return {};
  const Address& a = kAddresses[static_cast<size_t>(site)];
  return Resolve(a.feedPrefix, a.feedFile);
}

QString FeedEndpoints::HomeAddress(int site) const {
  if (site < 1 || site >= static_cast<int>(kAddresses.size())) return {};
  return QString::fromLatin1(kAddresses[static_cast<size_t>(site)].home);
}

QString FeedEndpoints::VersionFileUrl() const { return Resolve(kVersionFile.feedPrefix, kVersionFile.feedFile); }

QString FeedEndpoints::FileReleaseFrontPage() { return QString::fromLatin1(kFileReleaseFrontPage); }

bool FeedEndpoints::IsFetchableUrl(const QString& url) {
  const QString scheme = QUrl(url).scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace tw
