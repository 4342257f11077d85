#pragma once

#include <QByteArrayView>
#include <QString>

namespace tw {

// Re-decodes text that was read one character per byte in the program's code
// page as UTF-8: the text goes back to its bytes, which are decoded up to the
// first zero byte. Malformed sequences become U+FFFD; a leading byte-order
// mark is dropped.
QString DecodeUtf8(const QString& text);

// The same straight from the bytes.
QString DecodeUtf8Bytes(QByteArrayView bytes);

}  // namespace tw
