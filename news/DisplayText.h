#pragma once

#include <QString>

namespace tw {

// What people read of a stored feed text. Items are stored and matched exactly
// as the feed had them; these only shape what is shown.

// A title (or any feed text shown as plain text): CDATA wrappers unwrapped,
// then every character reference decoded in one pass - decimal and
// hexadecimal of any length, and the HTML named entities. Decoded once: "&amp;lt;"
// shows as "&lt;". Invalid code points show as U+FFFD. The result is text: a
// decoded "<script>" stays text wherever it is shown as such.
QString DisplayText(const QString& stored);

// A description (feed HTML, shown as HTML): CDATA wrappers unwrapped, nothing
// else; the page decodes its own references.
QString DisplayMarkup(const QString& stored);

}  // namespace tw
