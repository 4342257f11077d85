#include "mainwindow/MainLayout.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

FormLayoutInput Window(bool log, bool strip) {
  FormLayoutInput in;
  in.client = QSize(800, 600);
  in.statusBarHeight = 20;
  in.logVisible = log;
  in.logHeight = 120;
  in.downloadStripVisible = strip;
  in.downloadStripHeight = 10;
  return in;
}

TEST(MainLayout, StripsStackUpFromTheStatusBar) {
  const FormLayout both = RESIZE_Form(Window(true, true));
  EXPECT_EQ(both.log, QRect(0, 460, 800, 120));
  EXPECT_EQ(both.downloadStrip, QRect(0, 450, 800, 10));
  EXPECT_EQ(both.splitter, QRect(0, 0, 800, 450));

  const FormLayout logOnly = RESIZE_Form(Window(true, false));
  EXPECT_EQ(logOnly.log, QRect(0, 460, 800, 120));
  EXPECT_EQ(logOnly.splitter.height(), 460);

  const FormLayout stripOnly = RESIZE_Form(Window(false, true));
  EXPECT_EQ(stripOnly.downloadStrip, QRect(0, 570, 800, 10));
  EXPECT_EQ(stripOnly.splitter.height(), 570);

  // Hiding both gives their space to the splitter.
  const FormLayout neither = RESIZE_Form(Window(false, false));
  EXPECT_EQ(neither.splitter, QRect(0, 0, 800, 580));
}

TEST(MainLayout, NothingGoesNegativeInATinyWindow) {
  FormLayoutInput in = Window(true, true);
  in.client = QSize(-5, 50);
  const FormLayout out = RESIZE_Form(in);
  EXPECT_EQ(out.log.top(), 0);
  EXPECT_EQ(out.downloadStrip.top(), 0);
  EXPECT_EQ(out.splitter.height(), 0);
  EXPECT_EQ(out.splitter.width(), 0);
  EXPECT_EQ(out.log.width(), 0);
}

TEST(MainLayout, WebPanelPutsTheBrowserUnderTheTitle) {
  WebPanelLayoutInput in;
  in.inner = QSize(600, 500);
  in.titleHeight = 60;
  in.webProgressHeight = 8;
  const WebPanelLayout plain = RESIZE_WebPanel(in);
  EXPECT_EQ(plain.title, QRect(0, 0, 600, 60));
  EXPECT_EQ(plain.web, QRect(0, 60, 600, 440));
  EXPECT_EQ(plain.maxConButton, QPoint(0, 60));

  in.webProgressVisible = true;
  const WebPanelLayout withProgress = RESIZE_WebPanel(in);
  EXPECT_EQ(withProgress.web, QRect(0, 60, 600, 432));
  EXPECT_EQ(withProgress.webProgress, QRect(0, 492, 600, 8));
}

}  // namespace
}  // namespace tw
