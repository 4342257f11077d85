#pragma once

#include <QString>
#include <QUrl>

namespace tw {

// The program's own URL scheme: its page files are shown from
// tidewire-page://pages/<file name>, never from file://. The scheme is not a
// local one, so a page shown through it can read no local file, and it is
// an origin of its own, apart from every web site.
inline constexpr const char* kPageScheme = "tidewire-page";
inline constexpr const char* kPageHost = "pages";

// The address of a page file: tidewire-page://pages/<serial>/<file name>.
// Each showing gets a folder of its own, so that the end of an earlier
// showing is never taken for this one, and the pictures a page names
// ("logo.jpg", "bgnd.gif") are never the engine's cached copies of an
// earlier site's pictures of the same name.
QUrl PageUrl(const QString& fileName, quint64 serial);
bool IsPageUrl(const QUrl& url);
// The page file an address names; empty when it names none (another host,
// a folder, a hidden file, a file of another kind).
QString PageFileName(const QUrl& url);

}  // namespace tw
