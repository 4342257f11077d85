#pragma once

#include <QString>

namespace tw {

// Replaces character references with the result of these replacements made
// one after the other, each over the whole text and case-sensitively:
// &lt; &gt; &amp; &apos; &quot; &pound;, then the three-digit numeric
// references &#033; .. &#255; in increasing order, each by the code page's
// character. Because &amp; goes first, an escaped numeric reference
// ("&amp;#039;") is decoded twice, and a reference that an earlier
// replacement completes is decoded when its own turn is still to come
// ("&#038;#039;" gives "'", "&#038;#035;" gives "&#035;"). Other forms (two or
// four digits, hexadecimal, other names) stay as they are.
//
// Runs in one pass over the text, whatever its length.
QString DecodeEntities(const QString& text);

// The same, in place.
void DecodeEntitiesInPlace(QString& text);

}  // namespace tw
