#include "TempHome.h"

#include <QDir>

namespace tw::test {

TempHome::TempHome() : paths_(AppPaths::UnderHome(dir_.path())) { QDir().mkpath(paths_.programFolder); }

}  // namespace tw::test
