#pragma once

#include <QString>
#include <QStringList>

namespace tw::test {

// Every row of a store file, keys first, then values, one line each in the
// store's own order, as the file holds them: two stores hold the same when
// their dumps are equal. Bytes outside printable ASCII are written \xNN, a
// backslash \\.
QStringList DumpStore(const QString& filePath);

}  // namespace tw::test
