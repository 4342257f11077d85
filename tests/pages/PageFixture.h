#pragma once

#include "core/AppCore.h"
#include "core/EngineHooks.h"
#include "core/StatusTags.h"
#include "doubles/FakeTitleStrip.h"
#include "doubles/FakeWebView.h"
#include "doubles/PageCore.h"
#include "news/PageRenderer.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace tw::test {

// Records title refreshes with the item tags as they were at that moment.
class RecordingRefresher : public SiteTitleRefresher {
 public:
  explicit RecordingRefresher(const SiteTree& tree) : tree_(tree) {}
  struct Call {
    int site;
    bool announce;
    QStringList tags;
  };
  QVector<Call> calls;
  void RefreshSiteTitle(int site, bool announce) override;

 private:
  const SiteTree& tree_;
};

// A core with the built-in catalogue, a fake web view and title strip, and
// the page renderer under test.
class PageFixture : public ::testing::Test {
 protected:
  PageFixture();

  // Stores an item as the item store would and adds its node; returns its key.
  using Item = StoredItem;
  QString addItem(int site, int number, const Item& item);
  void setSiteFlag(int site, const FlagSetting& setting, bool on);
  void setChannel(int site, const TextSetting& setting, const QString& value);
  QString storedTag(int site, int number);

  // Page, picture and other files now in the program folder.
  QStringList programFiles() const;
  QString folder() const { return core->programFolder.AppFolder(); }
  QString lastShownPage() const;

  TempHome home;
  FakeClock clock;
  std::unique_ptr<AppCore> core;
  FakeWebView web;
  FakeTitleStrip strip;
  std::unique_ptr<RecordingRefresher> refresher;
  std::unique_ptr<PageRenderer> renderer;
};

}  // namespace tw::test
