#pragma once

#include <QString>

namespace tw {

// Replaces character references, in this order, each over the whole text and
// case-sensitively: &lt; &gt; &amp; &apos; &quot; &pound;, then the
// three-digit numeric references &#033; .. &#255; by the code page's
// character. Because &amp; goes first, an escaped numeric reference
// ("&amp;#039;") is decoded twice; other forms (two or four digits,
// hexadecimal, other names) stay as they are.
QString DecodeEntities(const QString& text);

}  // namespace tw
