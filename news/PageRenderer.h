#pragma once

#include "core/EngineHooks.h"
#include "news/BuiltInPageWriter.h"
#include "news/PageDisplay.h"

#include <QObject>
#include <QString>

namespace tw {

struct AppCore;
struct SiteRecord;
struct TextSetting;
class TitleStrip;
class WebView;

// Shows what the user clicks in the tree: an item's page (marking the item
// read once the page has loaded) or a site's summary, rendered from the
// site's template into the program folder, shown in the web view and deleted
// again once it has loaded. Feed texts are shown decoded, the stored ones
// stay as they are. Also shows the three built-in pages.
class PageRenderer : public QObject, public BuiltInPages {
  Q_OBJECT

 public:
  PageRenderer(AppCore& core, WebView& web, TitleStrip& strip, QObject* parent = nullptr);

  void setTitleRefresher(SiteTitleRefresher* refresher) { refresher_ = refresher; }

  // site: catalogue index; itemKey: the item node's key.
  void ShowItem(int site, const QString& itemKey);
  void ShowSite(int site);
  void CleanPageFiles();
  // A web address the panel was showing could not be loaded.
  void ShowLoadFailure(const QString& address, const QString& reason);

  void WriteAboutPage() override { builtIn_.WriteAboutPage(); }
  void WriteHelpPage() { builtIn_.WriteHelpPage(); }
  void WriteDonationsPage() { builtIn_.WriteDonationsPage(); }

 private:
  QString folder() const;
  void WriteSitePictures(const SiteRecord& site, const QString& logoName);
  bool WritePage(const QString& page);
  void MarkItemRead(const SiteRecord& site, const QString& itemKey);
  // Marks the item read if the key still names the item shown (its stored
  // title and link, as identity holds them).
  void MarkShownItemRead(int site, const QString& itemKey, const QString& identity);
  QString ItemPath(const SiteRecord& site, const QString& itemKey) const;
  QString ItemText(const SiteRecord& site, const QString& itemKey, const TextSetting& setting) const;
  void ShowRenderedPage();

  AppCore& core_;
  WebView& web_;
  TitleStrip& strip_;
  PageDisplay display_;
  BuiltInPageWriter builtIn_;
  SiteTitleRefresher* refresher_ = nullptr;
};

}  // namespace tw
