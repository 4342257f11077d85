#include "widgets/RepaintHold.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace tw {
namespace {

// Counts the paints a widget gets.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

struct HeldWindow {
  HeldWindow() {
    auto* layout = new QVBoxLayout(&window);
    label = new QLabel(QStringLiteral("Downloading"));
    edit = new QLineEdit;
    layout->addWidget(label);
    layout->addWidget(edit);
    window.resize(300, 100);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(20);
  }
  QWidget window;
  QLabel* label;
  QLineEdit* edit;
};

// Steps that each change the window reach the screen once, after the work,
// and a release with nothing kept back paints nothing.
TEST(RepaintHold, TheWorkOfOneFeedIsPaintedOnceWhenItEnds) {
  HeldWindow w;
  PaintCounter counter(w.label);
  RepaintHold hold(&w.window, 10'000);

  hold.hold();
  w.label->setText(QStringLiteral("Downloading Site One"));
  QTest::qWait(30);
  w.label->setText(QStringLiteral("Site One complete"));
  QTest::qWait(30);
  EXPECT_EQ(counter.paints, 0);

  hold.release();
  QTest::qWait(30);
  EXPECT_EQ(counter.paints, 1);

  // Not held: changes paint as they come, and a second release adds nothing.
  w.label->setText(QStringLiteral("Downloading Site Two"));
  QTest::qWait(30);
  EXPECT_EQ(counter.paints, 2);
  hold.release();
  QTest::qWait(30);
  EXPECT_EQ(counter.paints, 2);
}

// A fetch that never ends, or never says so, still shows; a key pressed
// during a fetch shows at once.
TEST(RepaintHold, NeitherASlowFetchNorTheUserWaitsForTheEnd) {
  HeldWindow w;
  PaintCounter labelPaints(w.label);
  RepaintHold hold(&w.window, 60);

  hold.hold();
  w.label->setText(QStringLiteral("Downloading Site One"));
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return labelPaints.paints > 0; }, 2'000));
  EXPECT_GE(clock.elapsed(), 50);
  EXPECT_FALSE(hold.isHeld());

  hold.hold();
  QTest::keyClick(w.edit, Qt::Key_A);
  EXPECT_FALSE(hold.isHeld());
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->text() == QStringLiteral("a"); }, 100));
  PaintCounter editPaints(w.edit);
  QTest::qWait(30);
  EXPECT_GT(editPaints.paints, 0);
}

}  // namespace
}  // namespace tw
