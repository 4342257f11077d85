#include "core/TextFormat.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(FormatSize, ChangesUnitAtEachBoundary) {
  EXPECT_EQ(FormatSize(0), QStringLiteral("0 b"));
  EXPECT_EQ(FormatSize(-5), QStringLiteral("-5 b"));
  EXPECT_EQ(FormatSize(1023), QStringLiteral("1023 b"));
  EXPECT_EQ(FormatSize(1024), QStringLiteral("1.0 kb"));
  EXPECT_EQ(FormatSize(1536), QStringLiteral("1.5 kb"));
  EXPECT_EQ(FormatSize(1280), QStringLiteral("1.3 kb"));  // 1.25: halves away from zero
  EXPECT_EQ(FormatSize(1048575), QStringLiteral("1024.0 kb"));
  EXPECT_EQ(FormatSize(1048576), QStringLiteral("1 Mb"));
  EXPECT_EQ(FormatSize(1572864), QStringLiteral("1.5 Mb"));
  EXPECT_EQ(FormatSize(10485760), QStringLiteral("10 Mb"));
  EXPECT_EQ(FormatSize(536870911), QStringLiteral("512 Mb"));
  EXPECT_EQ(FormatSize(536870912), QStringLiteral("0.5 Gb"));
  EXPECT_EQ(FormatSize(1073741824), QStringLiteral("1 Gb"));
  EXPECT_EQ(FormatSize(2147483647), QStringLiteral("2 Gb"));
}

TEST(FormatInterval, WritesHoursAndMinutesAndLeavesTheRest) {
  const auto fmt = [](qint32 m) { return FormatInterval(m); };
  EXPECT_EQ(fmt(0), QStringLiteral("0 minute"));
  EXPECT_EQ(fmt(1), QStringLiteral("1 minute"));
  EXPECT_EQ(fmt(5), QStringLiteral("5 minutes"));
  EXPECT_EQ(fmt(59), QStringLiteral("59 minutes"));
  EXPECT_EQ(fmt(60), QStringLiteral("1 hour"));
  EXPECT_EQ(fmt(61), QStringLiteral("1 hour 1 minute"));
  EXPECT_EQ(fmt(90), QStringLiteral("1 hour 30 minutes"));
  EXPECT_EQ(fmt(120), QStringLiteral("2 hours"));
  EXPECT_EQ(fmt(150), QStringLiteral("2 hours 30 minutes"));
  EXPECT_EQ(fmt(1440), QStringLiteral("24 hours"));
  EXPECT_EQ(fmt(-3), QStringLiteral("-3 minute"));

  qint32 minutes = 150;
  FormatInterval(minutes);
  EXPECT_EQ(minutes, 30);
}

TEST(IntervalFromEntry, TakesTheLeadingNumberOfTheFirstFourCharacters) {
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("90")), 90);
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("  45 minutes")), 45);
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("99999")), 1440) << "9999 minutes, held to 24 hours";
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("12345")), 1234);
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("0.4")), 1) << "rounds to 0, then raised to the minimum";
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("2.5")), 2) << "halves to even";
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("3.5")), 4);
  EXPECT_EQ(IntervalFromEntry(QStringLiteral("+7")), 7);
  for (const char* none : {"", "0", "abc", "-5", "   ", ".", "-0.4", "\u0661"}) {
    EXPECT_EQ(IntervalFromEntry(QString::fromUtf8(none)), 0) << none;
  }
}

}  // namespace
}  // namespace tw
