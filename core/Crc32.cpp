#include "Crc32.h"

#include "StatusTags.h"
#include "Windows1252.h"

#include <array>

namespace tw {
namespace {

constexpr std::array<quint32, 256> MakeTable() {
  std::array<quint32, 256> table{};
  for (quint32 n = 0; n < 256; ++n) {
    quint32 c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<quint32, 256> kTable = MakeTable();

}  // namespace

quint32 cCRC::Compute(QByteArrayView bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (const char b : bytes) crc = kTable[(crc ^ static_cast<unsigned char>(b)) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

QString SiteKeyFor(const QString& title) {
  return QString::number(cCRC::Compute(EncodeWindows1252(title)), 16).toUpper() + SiteKeyPrefix;
}

}  // namespace tw
