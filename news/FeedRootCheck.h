#pragma once

#include <QByteArrayView>

namespace tw {

// Whether a downloaded feed ends with the end tag of the element it opens
// with (</rss>, </rdf:RDF>, </feed> ...), after which only white space,
// comments and processing instructions may follow. For a feed sent without
// its length this is what tells a cut connection from the end of the feed.
// Bytes that do not begin as markup (another encoding, not XML at all) pass,
// to be judged by the parser as before.
bool FeedRootIsClosed(QByteArrayView document);

}  // namespace tw
