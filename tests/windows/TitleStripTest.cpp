#include "mainwindow/TitleStripPanel.h"
#include "widgets/ElidedLabel.h"

#include <QApplication>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace tw {
namespace {

QColor TextColour(const QWidget* label) { return label->palette().color(QPalette::WindowText); }

QRect Placed(const QWidget* w) { return w->geometry(); }

// The strip of a site page, in a pane narrower than caption and address.
class TitleStripTest : public ::testing::Test {
 protected:
  TitleStripTest() {
    strip.resize(460, 48);
    TitleStripContent c;
    c.title.text = QStringLiteral("Xbox-Scene");
    c.linkTitle.text = QStringLiteral("Left click above to open site in Tidewire, right click for external browser");
    c.link.text = address;
    c.link.colour = RGB(114, 133, 84);
    c.linkColour = RGB(114, 133, 84);
    c.linkHoverColour = RGB(204, 51, 0);
    strip.setTitleStrip(c);
    strip.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&strip));
  }

  const QString address = QStringLiteral("https://www.xbox-scene.info/forums/index.php?showtopic=221204");
  TitleStripPanel strip;
};

TEST_F(TitleStripTest, CaptionAndAddressStandApartAndTheAddressIsShortenedInItsMiddle) {
  ElidedLabel* caption = strip.lblLinkTitle();
  ElidedLabel* link = strip.lblLink();
  EXPECT_GE(Placed(link).left() - Placed(caption).right(), 4) << "a gap between caption and address";
  EXPECT_LE(Placed(link).right(), strip.width() - 1);
  EXPECT_GE(Placed(link).width(), (strip.width() - Placed(link).left()) / 2) << "the address keeps its room";

  // Both of its ends readable, the whole of it in the tooltip and the click.
  ASSERT_TRUE(link->isElided());
  const QString shown = link->shownText();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("https://"))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QStringLiteral("221204"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QChar(0x2026)));
  QHelpEvent help(QEvent::ToolTip, link->rect().center(), link->mapToGlobal(link->rect().center()));
  QApplication::sendEvent(link, &help);
  EXPECT_EQ(QToolTip::text(), address);
  QSignalSpy clicked(&strip, &TitleStripPanel::linkClicked);
  QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  ASSERT_EQ(clicked.size(), 1);
  EXPECT_EQ(clicked[0][0].toString(), address);

  // Wide enough for both: nothing is shortened.
  strip.resize(1400, 48);
  EXPECT_FALSE(link->isElided());
  EXPECT_FALSE(caption->isElided());
}

TEST_F(TitleStripTest, TheLinkTakesItsHoverColourUnderThePointer) {
  ElidedLabel* link = strip.lblLink();
  QTest::mouseMove(strip.lblTitle(), strip.lblTitle()->rect().center());
  EXPECT_EQ(TextColour(link), QColor(114, 133, 84));
  QTest::mouseMove(link, link->rect().center());
  EXPECT_EQ(TextColour(link), QColor(204, 51, 0));
  QTest::mouseMove(link, link->rect().center() + QPoint(3, 0));
  EXPECT_EQ(TextColour(link), QColor(204, 51, 0)) << "moving on over the link";
  QTest::mouseMove(strip.lblLinkTitle(), strip.lblLinkTitle()->rect().center());
  EXPECT_EQ(TextColour(link), QColor(114, 133, 84));
}

}  // namespace
}  // namespace tw
