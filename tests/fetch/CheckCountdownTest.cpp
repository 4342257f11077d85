#include "FetchHarness.h"
#include "ScriptedReader.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::FetchHarness;
using test::ScriptedReader;

// Passes panel texts on to the window and keeps every "msg" text in order,
// with "check" wherever a check of all feeds ran.
class PanelHistory : public StatusPanels {
 public:
  explicit PanelHistory(StatusPanels& window) : window_(window) {}
  void setPanelText(const QString& key, const QString& text) override {
    if (key == QLatin1String("msg")) history << text.section(QStringLiteral(" in "), 1);
    window_.setPanelText(key, text);
  }
  QString panelText(const QString& key) const override { return window_.panelText(key); }
  void setPanelImage(const QString& key, const QString& image) override { window_.setPanelImage(key, image); }
  void addPanel(const QString& key, const QString& text) override { window_.addPanel(key, text); }
  QStringList history;

 private:
  StatusPanels& window_;
};

class CheckCountdownTest : public ::testing::Test {
 protected:
  CheckCountdownTest()
      : system(new ScriptedReader),
        h(FeedEndpoints(QStringLiteral("http://feeds.test/rss")), new ScriptedReader, system),
        panels(h.window) {
    system->setScript(ScriptedReader::Success(QByteArrayLiteral("1.0.311")));
    h.start();
    h.enableOnly({});
    h.core->checkTimer.setPorts(&panels, &h.window, &h.window);
    h.fetch->setPorts(&h.window, &h.window, &h.window, &panels, &h.bar);
    QObject::connect(h.fetch.get(), &FetchCycle::queueDrained, [this] { panels.history << QStringLiteral("check"); });
  }

  ScriptedReader* system;
  FetchHarness h;
  PanelHistory panels;
};

TEST_F(CheckCountdownTest, IntervalThreeShowsThreeTwoOneZeroAndChecksOnTheFourthTick) {
  h.core->settings.setNumber(setting::CheckIntervalMinutes, 3);
  h.core->checkTimer.setTickInterval(20);
  h.core->checkTimer.StartCheckTimer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return panels.history.count(QStringLiteral("check")) >= 2; }, 5000));
  h.core->settings.setNumber(setting::CheckIntervalMinutes, 0);
  h.core->checkTimer.StartCheckTimer();

  const QStringList expected = {
      // Starting the timer runs one tick at once.
      QStringLiteral("3 minutes"), QStringLiteral("2 minutes"), QStringLiteral("1 minute"),
      QStringLiteral("0 minute"), QStringLiteral("check"),
      // The check restarts the countdown (one tick at once), then the four
      // ticks after it: 3, 2, 1, 0 and the next check.
      QStringLiteral("3 minutes"), QStringLiteral("3 minutes"), QStringLiteral("2 minutes"),
      QStringLiteral("1 minute"), QStringLiteral("0 minute"), QStringLiteral("check")};
  EXPECT_EQ(panels.history.mid(0, expected.size()), expected);
  EXPECT_FALSE(h.core->checkTimer.tmrDownload().isActive());
}

TEST_F(CheckCountdownTest, EachCheckRewritesCaptionAndTrayTip) {
  h.core->settings.setNumber(setting::CheckIntervalMinutes, 1);
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(19, 45)));
  h.core->checkTimer.StartCheckTimer();  // 1 minute left
  h.core->checkTimer.UPDATE_Timer();  // 0 left: checks
  EXPECT_EQ(h.window.windowCaption, QStringLiteral("Tidewire (Updated: 7:45 pm)"));
  EXPECT_EQ(h.window.trayTip, QStringLiteral("Tidewire (Updated: 7:45 pm)\r\nChecking for new items in 1 minute"));
  EXPECT_EQ(h.drained, 1);
}

}  // namespace
}  // namespace tw
