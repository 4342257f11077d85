#include "FakeAlertHost.h"
#include "core/AppIdentity.h"
#include "mainwindow/AlertArt.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/AlertPlacement.h"
#include "mainwindow/frmAlert.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tw {
namespace {

using FakeHost = test::FakeAlertHost;

bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  for (int waited = 0; !done() && waited < ms; waited += 5) QTest::qWait(5);
  return done();
}

void Click(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

void Hover(QWidget* w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

constexpr int kAlertHeight = frmAlert::kTitleHeight + frmAlert::kBodyHeight;

class AlertTest : public ::testing::Test {
 protected:
  AlertTest() : manager(identity, &host) {
    identity.ProgTitle = QStringLiteral("Tidewire");
    identity.VersionText = QStringLiteral("v1.0 build 0311");
    manager.setScreenArea([this] { return area; });
    manager.setSlide({1, 500});  // one step: tests need not watch the slide
  }
  frmAlert* raise(const QString& message, int seconds = 0, bool restore = false,
                  const QString& title = QStringLiteral("Title")) {
    manager.ShowAlert(message, title, seconds, restore);
    frmAlert* alert = manager.openAlerts().last();
    EXPECT_TRUE(WaitFor([&] { return alert->phase() == frmAlert::Phase::Shown; }));
    return alert;
  }

  AppIdentity identity;
  FakeHost host;
  QRect area{0, 0, 1280, 984};
  AlertManager manager;
};

TEST_F(AlertTest, ThreeAlertsStandOneAboveTheOther) {
  frmAlert* a = raise(QStringLiteral("one"));
  frmAlert* b = raise(QStringLiteral("two"));
  frmAlert* c = raise(QStringLiteral("three"));
  EXPECT_EQ(a->slot(), 1);
  EXPECT_EQ(b->slot(), 2);
  EXPECT_EQ(c->slot(), 3);
  EXPECT_EQ(a->geometry(), a->finalGeometry());
  EXPECT_EQ(a->geometry().bottom(), area.bottom() - AlertPlacement::kMarginPx);
  EXPECT_EQ(a->geometry().right(), area.right() - AlertPlacement::kMarginPx);
  EXPECT_EQ(b->geometry().translated(0, kAlertHeight), a->geometry());
  EXPECT_EQ(c->geometry().translated(0, kAlertHeight), b->geometry());
}

TEST_F(AlertTest, ClosingTheMiddleFreesItsSlotForTheNext) {
  raise(QStringLiteral("one"));
  frmAlert* b = raise(QStringLiteral("two"));
  raise(QStringLiteral("three"));
  const QRect middle = b->geometry();
  Click(b->imgClose());
  EXPECT_EQ(b->phase(), frmAlert::Phase::Closed);
  EXPECT_FALSE(manager.alertSlots().isTaken(2));
  EXPECT_EQ(manager.openAlerts().size(), 2);

  frmAlert* d = raise(QStringLiteral("four"));
  EXPECT_EQ(d->slot(), 2);
  EXPECT_EQ(d->geometry(), middle);
}

TEST_F(AlertTest, PastTheScreensHeightTheStackStartsAgainAtTheBottom) {
  area = QRect(0, 0, 1280, 3 * kAlertHeight + AlertPlacement::kMarginPx);  // FIT = 3
  frmAlert* first = raise(QStringLiteral("1"));
  raise(QStringLiteral("2"));
  raise(QStringLiteral("3"));
  frmAlert* fourth = raise(QStringLiteral("4"));
  EXPECT_EQ(fourth->slot(), 4);
  EXPECT_EQ(fourth->geometry(), first->geometry());
}

TEST_F(AlertTest, AScreenTooSmallForOneAlertShowsThemAllAtTheBottom) {
  area = QRect(0, 0, 1280, 60);
  frmAlert* a = raise(QStringLiteral("a"));
  frmAlert* b = raise(QStringLiteral("b"));
  EXPECT_EQ(a->geometry().top(), 0) << "the title strip and close button stay on the screen";
  EXPECT_EQ(b->geometry(), a->geometry());
}

TEST_F(AlertTest, WithAllHundredSlotsTakenTheOldestMakesWay) {
  QList<frmAlert*> alerts;
  for (int i = 1; i <= AlertSlots::kSlotCount; ++i) {
    manager.ShowAlert(QString::number(i), QString(), 0, false);
    alerts << manager.openAlerts().last();
  }
  EXPECT_TRUE(manager.alertSlots().isFull());
  alerts[3]->Unload();
  manager.ShowAlert(QStringLiteral("fills the gap"), QString(), 0, false);
  EXPECT_EQ(manager.openAlerts().last()->slot(), 4);
  EXPECT_NE(alerts[0]->phase(), frmAlert::Phase::Closed) << "a free slot closes nothing";

  manager.ShowAlert(QStringLiteral("one more"), QString(), 0, false);
  EXPECT_EQ(manager.openAlerts().size(), AlertSlots::kSlotCount) << "never more than a hundred windows";
  EXPECT_EQ(alerts[0]->phase(), frmAlert::Phase::Closed) << "the oldest went";
  EXPECT_EQ(manager.openAlerts().last()->slot(), 1);
  EXPECT_TRUE(manager.alertSlots().isFull());
}

TEST_F(AlertTest, DurationZeroStaysUntilClosed) {
  frmAlert* a = raise(QStringLiteral("stays"), 0);
  EXPECT_FALSE(a->tmrAlert().isActive());
  QTest::qWait(50);
  EXPECT_EQ(a->phase(), frmAlert::Phase::Shown);
}

TEST_F(AlertTest, ADurationSlidesOutAndFreesTheSlot) {
  frmAlert* a = raise(QStringLiteral("goes"), 20);
  EXPECT_TRUE(a->tmrAlert().isActive());
  EXPECT_EQ(a->tmrAlert().interval(), 20000);
  QPointer<frmAlert> watch(a);
  a->tmrAlert_Timer();
  EXPECT_EQ(a->phase(), frmAlert::Phase::SlidingOut);
  EXPECT_TRUE(WaitFor([&] { return !watch || watch->phase() == frmAlert::Phase::Closed; }));
  EXPECT_FALSE(manager.alertSlots().isTaken(1));
}

// What shows of an alert on the screen: the window, cut to its shape.
QRect Shown(const frmAlert* a) {
  return a->cut().isEmpty() ? a->geometry() : a->cut().boundingRect().translated(a->pos());
}

// Whether the window is cut to the part in view or resized to it, the alert
// opens upward from its place's bottom edge and closes back down to it.
TEST_F(AlertTest, TheSlideOpensFromTheBottomEdgeAndClosesBackToIt) {
  for (const bool resize : {false, true}) {
    SCOPED_TRACE(resize ? "resized" : "cut");
    manager.setSlide({5, 4, resize});
    manager.ShowAlert(QStringLiteral("slow"), QStringLiteral("t"), 0, false);
    frmAlert* a = manager.openAlerts().last();
    EXPECT_EQ(a->phase(), frmAlert::Phase::SlidingIn);
    const QRect final = a->finalGeometry();
    EXPECT_EQ(Shown(a).height(), frmAlert::kSlideStartPx);
    EXPECT_EQ(Shown(a).bottom(), final.bottom());
    EXPECT_TRUE(WaitFor([&] { return a->shownHeight() > 20; }));
    EXPECT_EQ(Shown(a), QRect(final.left(), final.bottom() + 1 - a->shownHeight(), final.width(), a->shownHeight()));
    // The content stands where it will stand; only the part in view grows.
    EXPECT_EQ(a->picTitle()->mapTo(a, QPoint(0, 0)) + a->pos(), final.topLeft());
    EXPECT_TRUE(WaitFor([&] { return a->phase() == frmAlert::Phase::Shown; }));
    EXPECT_EQ(Shown(a), final);
    EXPECT_EQ(a->geometry(), final);
    EXPECT_EQ(a->picTitle()->mapTo(a, QPoint(0, 0)), QPoint(0, 0));

    QPointer<frmAlert> watch(a);
    a->tmrAlert_Timer();
    EXPECT_TRUE(WaitFor([&] { return !watch || watch->shownHeight() < 60; }));
    ASSERT_TRUE(watch);
    EXPECT_EQ(Shown(a).bottom(), final.bottom());
    EXPECT_EQ(Shown(a).height(), a->shownHeight());
    EXPECT_TRUE(WaitFor([&] { return !watch || watch->phase() == frmAlert::Phase::Closed; }));
  }
}

// Alerts sliding at the same time move on the same ticks of one clock, which
// runs only while one of them slides and ticks no more often than the screen
// shows frames, whatever the slide's pace: one closed mid-slide leaves the
// other going.
TEST_F(AlertTest, AlertsSlidingTogetherShareOneClock) {
  manager.setSlide({5, 4});
  manager.ShowAlert(QStringLiteral("first"), QStringLiteral("t"), 0, false);
  QTest::qWait(40);
  manager.ShowAlert(QStringLiteral("second"), QStringLiteral("t"), 0, false);
  frmAlert* first = manager.openAlerts().at(0);
  frmAlert* second = manager.openAlerts().at(1);
  ASSERT_EQ(second->phase(), frmAlert::Phase::SlidingIn);
  EXPECT_TRUE(manager.slideTicker().isTicking());

  // Every tick moves both: between ticks, neither height changes alone.
  int moves = 0;
  int apart = 0;
  int lastFirst = first->shownHeight();
  int lastSecond = second->shownHeight();
  QElapsedTimer watched;
  watched.start();
  for (int i = 0; i < 200 && first->shownHeight() < kAlertHeight; ++i) {
    QTest::qWait(2);
    const bool firstMoved = first->shownHeight() != lastFirst;
    const bool secondMoved = second->shownHeight() != lastSecond;
    moves += firstMoved;
    apart += firstMoved != secondMoved;
    lastFirst = first->shownHeight();
    lastSecond = second->shownHeight();
  }
  EXPECT_GT(moves, 3);
  EXPECT_EQ(apart, 0);
  const qreal frameMs = 1000 / QGuiApplication::primaryScreen()->refreshRate();
  EXPECT_LE(moves, watched.elapsed() / (frameMs * 0.95) + 2) << "one move a frame at most";

  first->Unload();
  EXPECT_TRUE(manager.slideTicker().isTicking());
  EXPECT_TRUE(WaitFor([&] { return second->phase() == frmAlert::Phase::Shown; }));
  EXPECT_EQ(second->shownHeight(), kAlertHeight);
  EXPECT_FALSE(manager.slideTicker().isTicking());
}

TEST_F(AlertTest, ClearPopupsClosesEveryAlertEvenMidSlide) {
  raise(QStringLiteral("a"));
  raise(QStringLiteral("b"));
  manager.setSlide({1000, 1});
  manager.ShowAlert(QStringLiteral("sliding"), QString(), 0, false);
  EXPECT_EQ(manager.openAlerts().last()->phase(), frmAlert::Phase::SlidingIn);
  manager.Clear_Popups();
  EXPECT_TRUE(manager.openAlerts().isEmpty());
  EXPECT_EQ(manager.alertSlots().takenCount(), 0);
}

TEST_F(AlertTest, ClickingANewItemsAlertBringsTheWindowBackAndClearsAll) {
  raise(QStringLiteral("other"));
  frmAlert* news = raise(QStringLiteral("Site\nhas 3 new items."), 20, true);
  host.visible = false;
  Click(news->lblAlert());
  EXPECT_EQ(host.calls, QStringList{QStringLiteral("GetFromTray")});
  EXPECT_TRUE(manager.openAlerts().isEmpty());

  frmAlert* again = raise(QStringLiteral("more"), 20, true);
  host.visible = true;
  Click(again->lblAlert());
  EXPECT_EQ(host.calls.last(), QStringLiteral("showMainWindowNormal"));
}

TEST_F(AlertTest, ClickingAnUpdateAlertClosesOnlyThatOne) {
  frmAlert* other = raise(QStringLiteral("other"));
  frmAlert* update = raise(QStringLiteral("v2.0 is available for download"), 0, false);
  Click(update->lblAlert());
  EXPECT_EQ(update->phase(), frmAlert::Phase::Closed);
  EXPECT_EQ(other->phase(), frmAlert::Phase::Shown);
  EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(AlertTest, ARightClickDoesNothing) {
  frmAlert* a = raise(QStringLiteral("a"), 0, true);
  Click(a->lblAlert(), Qt::RightButton);
  Click(a->imgClose(), Qt::RightButton);
  EXPECT_EQ(a->phase(), frmAlert::Phase::Shown);
}

TEST_F(AlertTest, AnEmptyTitleBecomesTheProgramAndVersion) {
  frmAlert* a = raise(QStringLiteral("m"), 0, false, QString());
  EXPECT_EQ(a->lblTitle()->text(), QStringLiteral("Tidewire v1.0 build 0311"));
  EXPECT_EQ(a->lblAlert()->text(), QStringLiteral("m"));
}

TEST_F(AlertTest, FeedTextsShowDecodedAndAsText) {
  frmAlert* a = raise(QStringLiteral("<![CDATA[Warrior&#8217;s &lt;b&gt;]]>\r\nhas 1 new item."), 0, false,
                      QStringLiteral("Tom &amp; Jerry"));
  EXPECT_EQ(a->lblAlert()->text(), QStringLiteral("Warrior\u2019s <b>\r\nhas 1 new item."));
  EXPECT_EQ(a->lblAlert()->textFormat(), Qt::PlainText);
  EXPECT_EQ(a->lblTitle()->text(), QStringLiteral("Tom & Jerry"));
}

TEST_F(AlertTest, HoverUnderlinesTheMessageAndLightsTheCloseButton) {
  frmAlert* a = raise(QStringLiteral("hover me"));
  EXPECT_EQ(a->lblAlert()->palette().color(QPalette::WindowText), QColor(57, 77, 132));
  Hover(a->lblAlert());
  EXPECT_TRUE(a->isMessageHighlighted());
  EXPECT_EQ(a->lblAlert()->palette().color(QPalette::WindowText), QColor(57, 77, 255));
  Hover(a->picBody());
  EXPECT_FALSE(a->isMessageHighlighted());
  EXPECT_EQ(a->lblAlert()->palette().color(QPalette::WindowText), QColor(57, 77, 132));
  Hover(a->imgClose());
  EXPECT_TRUE(a->isCloseHovered());
  Hover(a->lblTitle());
  EXPECT_FALSE(a->isCloseHovered());
}

TEST_F(AlertTest, AlertsFloatWithoutTakingTheFocus) {
  frmAlert* a = raise(QStringLiteral("quiet"));
  const Qt::WindowFlags f = a->windowFlags();
  EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(f & Qt::FramelessWindowHint);
  EXPECT_TRUE(f & Qt::WindowDoesNotAcceptFocus);
  EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Tool) << "no taskbar entry";
  EXPECT_TRUE(a->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_FALSE(a->testAttribute(Qt::WA_QuitOnClose)) << "closing the last alert must not end the program";
  EXPECT_EQ(a->property("tag").toString(), QStringLiteral("1"));
}

TEST_F(AlertTest, TheControlsSitWhereTheDesignPutsThem) {
  frmAlert* a = raise(QStringLiteral("layout"));
  EXPECT_EQ(a->picTitle()->geometry(), QRect(0, 0, frmAlert::kWidth, frmAlert::kTitleHeight));
  EXPECT_EQ(a->picBody()->geometry().top(), frmAlert::kTitleHeight);
  const QRect close = a->imgClose()->geometry();
  EXPECT_EQ(frmAlert::kWidth - 1 - close.right(), close.top()) << "same gap to the right as to the top";
  EXPECT_EQ(a->lblTitle()->x(), 22);
}

// The strips are painted once and copied into each alert after: every alert
// still shows them as the art paints them, a new window icon shows in the
// next alert's title, and the pictures are let go with the last alert.
TEST_F(AlertTest, EveryAlertShowsTheArtWithItsIcon) {
  const auto shown = [](QWidget* strip) {  // the strip alone, without its labels
    QImage image(strip->size(), QImage::Format_RGB32);
    strip->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
  };
  const auto art = [](QWidget* strip, bool title) {
    QImage image(strip->size(), QImage::Format_RGB32);
    QPainter p(&image);
    if (title) {
      AlertArt::PaintTitleStrip(p, image.rect(), strip->window()->windowIcon());
    } else {
      AlertArt::PaintBody(p, image.rect());
    }
    return image;
  };
  for (const char* icon : {"", "", "red", "red"}) {
    SCOPED_TRACE(icon);
    if (*icon) {
      QPixmap red(16, 16);
      red.fill(Qt::red);
      manager.setWindowIcon(QIcon(red));
    }
    frmAlert* a = raise(QStringLiteral("art"));
    EXPECT_EQ(shown(a->picTitle()), art(a->picTitle(), true));
    EXPECT_EQ(shown(a->picBody()), art(a->picBody(), false));
  }
  EXPECT_GT(frmAlert::PicturesKept(), 0);
  QList<QPointer<frmAlert>> open;
  for (frmAlert* a : manager.openAlerts()) open << a;
  manager.Clear_Popups();
  EXPECT_TRUE(WaitFor([&] { return std::all_of(open.begin(), open.end(), [](const auto& a) { return a.isNull(); }); }));
  EXPECT_EQ(frmAlert::PicturesKept(), 0) << "the pictures go with the last alert";
}

TEST_F(AlertTest, ALongTitleIsShortenedBeforeTheCloseButton) {
  frmAlert* a = raise(QStringLiteral("m"), 0, false, QString(200, u'W'));
  EXPECT_LT(a->lblTitle()->geometry().right(), a->imgClose()->x());
}

TEST_F(AlertTest, NoScreenNoAlert) {
  area = QRect();
  manager.ShowAlert(QStringLiteral("nowhere"), QString(), 0, false);
  EXPECT_TRUE(manager.openAlerts().isEmpty());
}

}  // namespace
}  // namespace tw
