#pragma once

#include <QString>
#include <QStringList>

namespace tw::test {

// Every row of a store file, keys first, then values, one line each, keys
// named and ordered by their folded paths: two stores hold the same when
// their dumps are equal. Bytes outside printable ASCII are written \xNN, a
// backslash \\.
QStringList DumpStore(const QString& filePath);

}  // namespace tw::test
