// The switches the program adds to the web engine's: added once, where Qt
// reads them, next to whatever the user gave.
#include "web/WebEngineSwitches.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(WebEngineSwitches, GoWhereQtReadsThemBesideTheUsersOwn) {
  const QByteArrayList& ours = WebEngineSwitches::Ours();

  // The environment's switches, when set, are the only ones Qt reads.
  EXPECT_EQ(WebEngineSwitches::WithOurs(QByteArray()), ours.join(' '));
  EXPECT_EQ(WebEngineSwitches::WithOurs(QByteArray("--disable-gpu")), "--disable-gpu " + ours.join(' '));
  EXPECT_EQ(WebEngineSwitches::WithOurs("--disable-gpu " + ours.join(' ')), "--disable-gpu " + ours.join(' '));

  // Otherwise those after the command line's mark; one of ours before the
  // mark is the program's argument, not the engine's.
  const QByteArrayList users{"tidewire", ours.first(), "--webEngineArgs", "--disable-gpu"};
  EXPECT_EQ(WebEngineSwitches::WithOurs(users), users + ours);
  EXPECT_EQ(WebEngineSwitches::WithOurs(users + ours), users + ours);

  // What the application object gets: a copy with the mark and ours.
  const bool wasSet = qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS");
  const QByteArray was = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  char name[] = "tidewire";
  char* original[] = {name, nullptr};
  int argc = 1;
  char** argv = original;
  {
    const WebEngineSwitches switches(argc, argv);
    QByteArrayList given;
    for (int i = 0; i < argc; ++i) given << argv[i];
    EXPECT_EQ(given, QByteArrayList({"tidewire", "--webEngineArgs"}) + ours);
    EXPECT_EQ(argv[argc], nullptr);
    EXPECT_TRUE(qEnvironmentVariableIsSet(WebEngineSwitches::kAccessibilityVariable));
  }
  if (wasSet) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", was);
}

}  // namespace
}  // namespace tw
