#include "RecordingMessageBoxes.h"
#include "widgets/Split.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace tw {
namespace {

class SplitTest : public ::testing::Test {
 protected:
  SplitTest() {
    container.resize(800, 600);
    tv = new QWidget(&container);
    tv->setObjectName(QStringLiteral("tv"));
    webPanel = new QWidget(&container);
    webPanel->setObjectName(QStringLiteral("webPanel"));
    split = new Split(&container);
    split->setObjectName(QStringLiteral("splMain"));
    split->setMessageBoxes(&boxes);
    split->setGeometry(0, 0, 800, 500);
    container.show();
    tpp = TwipsPerPixelX(*split);
  }
  int twips(int px) const { return static_cast<int>(std::lround(px * tpp)); }
  int px(int twips) const { return static_cast<int>(std::lround(twips / tpp)); }
  void panes() {
    split->setControlLeftPane(QStringLiteral("tv"));
    split->setControlRightPane(QStringLiteral("webPanel"));
  }
  void send(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &e);
  }

  QWidget container;
  QWidget* tv;
  QWidget* webPanel;
  Split* split;
  test::RecordingMessageBoxes boxes;
  double tpp = 15;
};

TEST_F(SplitTest, DefaultsAreThoseOfTheDesign) {
  EXPECT_EQ(split->Orientation(), 0);
  EXPECT_EQ(split->BarWidth(), 75);
  EXPECT_EQ(split->MinimumPaneWidth(), 0);
  EXPECT_FALSE(split->ResizeContinuos());
  EXPECT_EQ(split->SplitColorMouseDown(), 8421504u);
  EXPECT_EQ(split->SplitColorMouseUp(), 0u);
  EXPECT_EQ(split->bar()->cursor().shape(), Qt::SizeHorCursor);
}

TEST_F(SplitTest, PaneNamesMatchInAnyCaseAndKeepTheControlsSpelling) {
  split->setControlLeftPane(QStringLiteral("TV"));
  split->setControlRightPane(QStringLiteral("WEBpanel"));
  EXPECT_EQ(split->ControlLeftPane(), QStringLiteral("tv"));
  EXPECT_EQ(split->ControlRightPane(), QStringLiteral("webPanel"));
  EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(SplitTest, AnUnknownPaneIsRefusedWithAMessage) {
  panes();
  split->setControlLeftPane(QStringLiteral("lvLog"));
  EXPECT_EQ(boxes.shown, QStringList{QStringLiteral("Error|Sorry, this control was not Found!")});
  EXPECT_EQ(split->ControlLeftPane(), QStringLiteral("tv"));
  split->setControlRightPane(QStringLiteral("splMain"));
  EXPECT_EQ(boxes.shown.size(), 2) << "the splitter is not a pane of itself";
}

TEST_F(SplitTest, ATooThickBarIsRefusedWithAMessage) {
  split->resize(100, 500);
  split->setBarWidth(twips(60));
  EXPECT_EQ(boxes.shown,
            QStringList{QStringLiteral("Error|Splitter Width cannot be greater than (Control Width/2)")});
  EXPECT_EQ(split->BarWidth(), 75);

  split->resize(800, 100);
  split->setOrientation(1);
  split->setBarWidth(twips(60));
  EXPECT_EQ(boxes.shown.last(), QStringLiteral("Error|Splitter height cannot be greater than (Control height/2)"));
  EXPECT_EQ(split->bar()->cursor().shape(), Qt::SizeVerCursor);
}

TEST_F(SplitTest, PanesFillBothSidesOfTheBar) {
  panes();
  split->setSplitterLeftTop(twips(300));
  EXPECT_EQ(tv->geometry(), QRect(0, 0, 300, 500));
  EXPECT_EQ(split->bar()->geometry(), QRect(300, 0, px(twips(300) + 75) - 300, 500));
  EXPECT_EQ(webPanel->geometry().left(), split->bar()->geometry().right() + 1);
  EXPECT_EQ(webPanel->geometry().right(), 799);
  EXPECT_EQ(webPanel->height(), 500);
}

TEST_F(SplitTest, PanesFollowTheSplittersOwnPlace) {
  split->setGeometry(10, 20, 600, 400);
  panes();
  split->setSplitterLeftTop(twips(200));
  EXPECT_EQ(tv->geometry(), QRect(10, 20, 200, 400));
  EXPECT_EQ(webPanel->geometry().bottom(), 20 + 400 - 1);
}

TEST_F(SplitTest, TheMainWindowsMinimumHoldsFromEitherSide) {
  panes();
  split->setMinimumPaneWidth(2655);
  split->setSplitterLeftTop(0);
  EXPECT_EQ(split->SplitterLeftTop(), 2655);
  EXPECT_EQ(tv->width(), px(2655));
  split->setSplitterLeftTop(twips(790));
  EXPECT_EQ(split->SplitterLeftTop(), twips(800) - 75 - 2655);
  EXPECT_GE(webPanel->width(), px(2655));
}

TEST_F(SplitTest, ATooNarrowSplitterIsWidened) {
  split->resize(100, 300);
  split->setMinimumPaneWidth(1000);
  EXPECT_EQ(split->width(), static_cast<int>(std::ceil((2 * 1000 + 75) / tpp - 1e-9)));
}

TEST_F(SplitTest, EveryLayoutEndsWithOnePaneEndResize) {
  panes();
  QSignalSpy spy(split, &Split::PaneEndResize);
  split->setSplitterLeftTop(twips(250));
  EXPECT_EQ(spy.count(), 1);
  split->setMinimumPaneWidth(600);
  EXPECT_EQ(spy.count(), 2);
  split->resize(700, 500);
  EXPECT_EQ(spy.count(), 3);
  split->setResizeContinuos(true);
  split->setSplitColorMouseDown(RGB(1, 2, 3));
  EXPECT_EQ(spy.count(), 3) << "plain properties lay nothing out";
}

TEST_F(SplitTest, AHandlerThatResizesAgainDoesNotLoop) {
  panes();
  split->setMinimumPaneWidth(twips(300));
  int calls = 0;
  QObject::connect(split, &Split::PaneEndResize, [&] {
    ++calls;
    split->resize(200, 500);  // narrower than two minimum panes
  });
  split->resize(400, 500);
  EXPECT_EQ(calls, 1);
  EXPECT_GE(split->width(), 600);
}

TEST_F(SplitTest, TheSplitterTakesNoClicksFromThePanes) {
  panes();
  split->setSplitterLeftTop(twips(300));
  EXPECT_EQ(container.childAt(100, 100), tv);
  EXPECT_EQ(container.childAt(600, 100), webPanel);
  EXPECT_EQ(container.childAt(302, 100), split->bar());
}

TEST_F(SplitTest, DraggingMovesTheBarAndLaysOutOnRelease) {
  panes();
  split->setSplitterLeftTop(twips(300));
  split->setSplitColorMouseUp(RGB(212, 208, 200));
  QWidget* bar = split->bar();
  send(bar, QEvent::MouseButtonPress, QPoint(2, 50), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(split->barColour(), QColor(128, 128, 128));
  send(bar, QEvent::MouseMove, QPoint(102, 50), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(bar->x(), 400);
  EXPECT_EQ(tv->width(), 300) << "panes wait for the release";
  send(bar, QEvent::MouseButtonRelease, QPoint(2, 50), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(tv->width(), 400);
  EXPECT_EQ(split->SplitterLeftTop(), twips(400));
  EXPECT_EQ(split->barColour(), QColor(212, 208, 200));
}

TEST_F(SplitTest, ContinuousResizeMovesThePanesWhileDragging) {
  panes();
  split->setResizeContinuos(true);
  split->setSplitterLeftTop(twips(300));
  QSignalSpy spy(split, &Split::PaneEndResize);
  QWidget* bar = split->bar();
  send(bar, QEvent::MouseButtonPress, QPoint(1, 10), Qt::LeftButton, Qt::LeftButton);
  send(bar, QEvent::MouseMove, QPoint(-49, 10), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(tv->width(), 250);
  send(bar, QEvent::MouseButtonRelease, QPoint(1, 10), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(spy.count(), 1) << "the release lays out nothing more";
}

TEST_F(SplitTest, OnlyTheLeftButtonDrags) {
  panes();
  split->setSplitterLeftTop(twips(300));
  QWidget* bar = split->bar();
  send(bar, QEvent::MouseButtonPress, QPoint(1, 10), Qt::RightButton, Qt::RightButton);
  send(bar, QEvent::MouseMove, QPoint(101, 10), Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(bar->x(), 300);
}

TEST_F(SplitTest, PropertiesRoundTrip) {
  panes();
  split->setMinimumPaneWidth(500);
  split->setResizeContinuos(true);
  split->setSplitColorMouseUp(RGB(10, 20, 30));
  const QVariantMap stored = split->WriteProperties();
  EXPECT_TRUE(stored.contains(QStringLiteral("SplitterLeft")));

  Split other(&container);
  other.setGeometry(0, 0, 800, 500);
  other.ReadProperties(stored);
  EXPECT_EQ(other.MinimumPaneWidth(), 500);
  EXPECT_TRUE(other.ResizeContinuos());
  EXPECT_EQ(other.SplitColorMouseUp(), RGB(10, 20, 30));
  EXPECT_EQ(other.ControlLeftPane(), QStringLiteral("tv"));
  EXPECT_EQ(other.SplitterLeftTop(), twips(800) / 2) << "set-up after reading centres the bar";
}

}  // namespace
}  // namespace tw
