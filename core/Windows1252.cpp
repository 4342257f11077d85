#include "Windows1252.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw {
namespace {

// 0x80..0x9F; the rest of the page is identical to Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int EncodeChar(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

}  // namespace

QChar Windows1252ToChar(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return QChar(kHighControls[byte - 0x80]);
  return QChar(static_cast<char16_t>(byte));
}

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  for (qsizetype i = 0; i < bytes.size(); ++i) out[i] = Windows1252ToChar(in[i]);
  return text;
}

// Written into a buffer sized for the text rather than appended byte by
// byte: item descriptions run to megabytes in one rebuild.
QByteArray EncodeWindows1252(QStringView text) {
  QByteArray bytes(text.size(), Qt::Uninitialized);
  char* out = bytes.data();
  qsizetype size = 0;
  const char16_t* in = text.utf16();
  const qsizetype length = text.size();
  for (qsizetype i = 0; i < length; ++i) {
    // Runs of ASCII, most of any text, are copied sixteen characters a step.
#if defined(__SSE2__)
    const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (i + 16 <= length) {
      const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 8));
      const __m128i outside = _mm_and_si128(_mm_or_si128(low, high), notAscii);
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(outside, _mm_setzero_si128())) != 0xFFFF) break;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + size), _mm_packus_epi16(low, high));
      i += 16;
      size += 16;
    }
    if (i >= length) break;
#endif
    const char16_t c = in[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out[size++] = static_cast<char>(c);
      continue;
    }
    if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(in[i + 1])) ++i;
    const int code = EncodeChar(c);
    out[size++] = code < 0 ? '?' : static_cast<char>(code);
  }
  bytes.truncate(size);
  return bytes;
}

bool IsAscii(QStringView text) {
  // No early exit, so the compiler can take the text in wide steps.
  char16_t all = 0;
  for (const QChar c : text) all |= c.unicode();
  return all < 0x80;
}

}  // namespace tw
