#include "Utf8.h"

#include "core/Windows1252.h"

namespace tw {

QString DecodeUtf8Bytes(QByteArrayView bytes) {
  const qsizetype nul = bytes.indexOf('\0');
  return QString::fromUtf8(nul < 0 ? bytes : bytes.first(nul));
}

QString DecodeUtf8(const QString& text) {
  if (text.isEmpty()) return {};
  return DecodeUtf8Bytes(EncodeWindows1252(text));
}

}  // namespace tw
