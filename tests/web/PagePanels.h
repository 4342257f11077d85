#pragma once

#include "web/LightWebView.h"
#if TIDEWIRE_WEB_ENGINE
#include "web/WebEngineWebView.h"
#endif

#include <QSize>
#include <QVariant>

#include <gtest/gtest.h>

class QWebEnginePage;

namespace tw::test {

// The program's two page views, each with the questions the shared page
// tests ask of what it shows: ids and pictures as the page's markup names
// them. A picture's size is empty when it did not load.
class LightPanel {
 public:
  static constexpr bool kWebEngine = false;
  explicit LightPanel(const QString& folder) : view(folder) {}
  WebView& web() { return view; }
  QWidget* widget() { return view.widget(); }
  void setDesktopOpener(std::function<bool(const QUrl&)> opener) { view.setDesktopOpener(std::move(opener)); }
  QUrl shownUrl() { return view.widget()->pageUrl(); }
  // Here: the text of the paragraph the id starts.
  QString elementText(const QString& id);
  QSize pictureSize(const QString& src);
  QString shownText() { return view.widget()->toPlainText(); }
  bool showsBodyBackground();
  bool offersContextMenu() { return view.widget()->contextMenuPolicy() != Qt::NoContextMenu; }

  LightWebView view;
};

#if TIDEWIRE_WEB_ENGINE
// Evaluates in a world of its own, apart from the page's scripts (and
// working when those are off), or in the page's own.
QVariant Evaluate(QWebEnginePage* page, const QString& script, quint32 world);

class EnginePanel {
 public:
  static constexpr bool kWebEngine = true;
  explicit EnginePanel(const QString& folder);
  WebView& web() { return view; }
  QWidget* widget() { return view.view(); }
  void setDesktopOpener(std::function<bool(const QUrl&)> opener) { view.setDesktopOpener(std::move(opener)); }
  QUrl shownUrl();
  QString elementText(const QString& id);
  QSize pictureSize(const QString& src);
  QString shownText() { return inspect(QStringLiteral("document.body.innerText")).toString(); }
  bool showsBodyBackground();
  bool offersContextMenu();
  QVariant inspect(const QString& script);
  QVariant inPage(const QString& script);

  WebEngineWebView view;
  // Navigations the rules turned down.
  QStringList dropped;
};

using PagePanels = ::testing::Types<LightPanel, EnginePanel>;
#else
using PagePanels = ::testing::Types<LightPanel>;
#endif

// Names the views in the tests' names.
struct PagePanelNames {
  template <class Panel>
  static std::string GetName(int) {
    return Panel::kWebEngine ? "WebEngine" : "Light";
  }
};

}  // namespace tw::test
