#pragma once

#include "doubles/FakeTitleStrip.h"
#include "doubles/PageCore.h"
#include "news/PageRenderer.h"
#include "support/TempHome.h"
#include "web/GuardedWebPage.h"
#include "web/PageScheme.h"
#include "web/WebEngineWebView.h"

#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

namespace tw::test {

// The real web panel over a core with the catalogue, in a temporary home.
class WebFixture : public ::testing::Test {
 protected:
  WebFixture();
  ~WebFixture() override;

  QString folder() const { return core->programFolder.AppFolder(); }
  QStringList pageFiles() const;  // *.htm, *.jpg, *.gif in the program folder
  void writeFile(const QString& path, const QByteArray& bytes);

  // Waits (events running) until the panel reports the program's navigation
  // complete.
  bool waitForLoad(int ms = 30000);
  // Lets the page run for a while: timers, refreshes, late scripts.
  static void settle(int ms);
  // Evaluates in a world of its own, apart from the page's scripts (and
  // working when those are off).
  QVariant inspect(const QString& script);
  // Evaluates in the page's own world: only where the page may run script.
  QVariant inPage(const QString& script);

  TempHome home;
  FakeClock clock;
  std::unique_ptr<AppCore> core;
  std::unique_ptr<WebEngineWebView> web;
  FakeTitleStrip strip;
  std::unique_ptr<PageRenderer> renderer;
  QStringList openedInDesktop;
  QStringList dropped;
};

}  // namespace tw::test
