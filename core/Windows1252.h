#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tw {

// The program's single-byte code page. Every byte decodes to one character
// (the five bytes Windows leaves undefined map to the C1 control of the same
// value, as the Windows converter does), so decoding then encoding gives the
// bytes back unchanged.
QChar Windows1252ToChar(unsigned char byte);
QString DecodeWindows1252(QByteArrayView bytes);

// Characters outside the code page become '?', the platform's substitution
// character; a surrogate pair becomes a single '?'.
QByteArray EncodeWindows1252(QStringView text);

// True when the text is ASCII only, which the code page keeps as it is.
bool IsAscii(QStringView text);

// The code page's character for a numeric reference 0..255.
inline QChar Windows1252Char(int code) { return Windows1252ToChar(static_cast<unsigned char>(code)); }

}  // namespace tw
