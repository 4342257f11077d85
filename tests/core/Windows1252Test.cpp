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

// Long ASCII runs are copied in wide steps: every kind of character, at
// every offset within and across those steps, must come out as it does
// character by character.
TEST(Windows1252, LongTextsEncodeAsCharacterByCharacter) {
  const QString specials = QString::fromUtf16(u"\u00e9\u20ac\u0100\u0081") + QString::fromUcs4(U"\U0001F600");
  for (qsizetype length : {15, 16, 17, 31, 32, 33, 100}) {
    for (qsizetype at = 0; at < length; ++at) {
      for (const QChar special : specials) {
        QString text(length, u'x');
        for (qsizetype i = 0; i < length; ++i) text[i] = QChar(u'a' + static_cast<char16_t>(i % 26));
        text[at] = special;
        QByteArray expected;
        for (const QChar c : text) expected += EncodeWindows1252(QString(c));
        ASSERT_EQ(EncodeWindows1252(text), expected) << "length " << length << ", at " << at;
      }
    }
  }
  // A surrogate pair split across a step is still one character.
  QString paired(15, u'a');
  paired += QString::fromUcs4(U"\U0001F600") + QString(20, u'b');
  EXPECT_EQ(EncodeWindows1252(paired), QByteArray(15, 'a') + '?' + QByteArray(20, 'b'));
}

}  // namespace
}  // namespace tw
