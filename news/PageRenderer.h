#pragma once

#include "core/EngineHooks.h"
#include "news/BuiltInPageWriter.h"
#include "news/PageDisplay.h"

#include <QObject>
#include <QString>

namespace tw {

struct AppCore;
struct SiteRecord;
class TitleStrip;
class WebView;

// Shows what the user clicks in the tree: an item's page (marking the item
// read) or a site's summary, rendered from the site's template into the
// program folder, shown in the web view and deleted again once it has
// loaded. Also shows the three built-in pages.
class PageRenderer : public QObject, public BuiltInPages {
  Q_OBJECT

 public:
  PageRenderer(AppCore& core, WebView& web, TitleStrip& strip, QObject* parent = nullptr);

  void setTitleRefresher(SiteTitleRefresher* refresher) { refresher_ = refresher; }

  // site: catalogue index; itemKey: the item node's key.
  void ShowItem(int site, const QString& itemKey);
  void ShowSite(int site);
  void CleanPageFiles();

  void WriteAboutPage() override { builtIn_.WriteAboutPage(); }
  void WriteHelpPage() { builtIn_.WriteHelpPage(); }
  void WriteDonationsPage() { builtIn_.WriteDonationsPage(); }

 private:
  QString folder() const;
  void WriteSitePictures(const SiteRecord& site, const QString& logoName);
  bool WritePage(const QString& page);
  void MarkItemRead(const SiteRecord& site, const QString& itemKey);
  void ShowRenderedPage();

  AppCore& core_;
  WebView& web_;
  TitleStrip& strip_;
  PageDisplay display_;
  BuiltInPageWriter builtIn_;
  SiteTitleRefresher* refresher_ = nullptr;
};

}  // namespace tw
