#include "core/Windows1252.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(Windows1252, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = DecodeWindows1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(EncodeWindows1252(text), all);
  EXPECT_EQ(text[0x80], QChar(0x20AC));
  EXPECT_EQ(text[0x92], QChar(0x2019));
  EXPECT_EQ(text[0x81], QChar(0x0081));
  EXPECT_EQ(text[0xE9], QChar(0x00E9));
}

TEST(Windows1252, CharactersOutsideThePageBecomeQuestionMarks) {
  EXPECT_EQ(EncodeWindows1252(u"a\u0100b\u4e2dc"), QByteArray("a?b?c"));
  EXPECT_EQ(EncodeWindows1252(QString::fromUcs4(U"\U0001F600")), QByteArray("?"));
  // A lone surrogate is one unrepresentable character.
  EXPECT_EQ(EncodeWindows1252(QString(QChar(0xD800))), QByteArray("?"));
}

}  // namespace
}  // namespace tw
