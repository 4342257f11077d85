#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace tw {

// The CRC-32 of zlib and IEEE 802.3 (reflected polynomial 0xEDB88320,
// initial value all ones, result inverted), table driven.
class cCRC {
 public:
  static quint32 Compute(QByteArrayView bytes);
};

// A site's tree key: the CRC of its title over the title's single-byte
// characters, in upper-case hexadecimal without leading zeros, then ":ID:".
// "Xbins" gives 2A1ADA9F:ID:.
QString SiteKeyFor(const QString& title);

}  // namespace tw
