#pragma once

#include "doubles/FakeTitleStrip.h"
#include "doubles/PageCore.h"
#include "news/PageRenderer.h"
#include "news/WebView.h"
#include "support/TempHome.h"
#include "web/PageScheme.h"

#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tw::test {

// A core with the catalogue in a temporary home, where a page view shows
// the program's pages.
class PageFolderFixture : public ::testing::Test {
 protected:
  PageFolderFixture();

  QString folder() const { return core->programFolder.AppFolder(); }
  QStringList pageFiles() const;  // *.htm, *.jpg, *.gif in the program folder
  void writeFile(const QString& path, const QByteArray& bytes);
  // Waits (events running) until the view reports the program's navigation
  // complete.
  static bool waitForLoad(WebView& web, int ms);
  // Lets the page run for a while: timers, refreshes, late scripts.
  static void settle(int ms);

  TempHome home;
  FakeClock clock;
  std::unique_ptr<AppCore> core;
  FakeTitleStrip strip;
  QStringList openedInDesktop;
};

// The page tests both page views pass: Panel is one of PagePanels.h.
template <class Panel>
class PanelFixture : public PageFolderFixture {
 protected:
  PanelFixture() : panel(folder()) {
    panel.setDesktopOpener([this](const QUrl& url) {
      openedInDesktop << url.toString();
      return true;
    });
    panel.widget()->resize(800, 600);
    panel.widget()->show();
    renderer = std::make_unique<PageRenderer>(*core, panel.web(), strip);
  }
  ~PanelFixture() override { renderer.reset(); }

  WebView& web() { return panel.web(); }
  bool waitForLoad(int ms = 30000) { return PageFolderFixture::waitForLoad(panel.web(), ms); }

  Panel panel;
  std::unique_ptr<PageRenderer> renderer;
};

}  // namespace tw::test
