// The switches the program adds to the web engine's: added once, where Qt
// reads them, next to whatever the user gave.
#include "widgets/WebEngineSwitches.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(WebEngineSwitches, GoWhereQtReadsThemBesideTheUsersOwn) {
  const QByteArray ours = WebEngineSwitches::Ours().join(' ');

  // The environment's switches, when set, are the only ones Qt reads.
  EXPECT_EQ(WebEngineSwitches::WithOurs(QByteArray()), ours);
  EXPECT_EQ(WebEngineSwitches::WithOurs(QByteArray("--disable-gpu")), "--disable-gpu " + ours);
  EXPECT_EQ(WebEngineSwitches::WithOurs(QByteArray("  --disable-gpu  ")), "  --disable-gpu   " + ours);
  EXPECT_EQ(WebEngineSwitches::WithOurs("--disable-gpu " + ours), "--disable-gpu " + ours);

  // Otherwise those after the command line's mark.
  const QByteArrayList plain{"tidewire"};
  QByteArrayList expected = plain;
  expected << "--webEngineArgs" << WebEngineSwitches::Ours();
  EXPECT_EQ(WebEngineSwitches::WithOurs(plain), expected);

  const QByteArrayList users{"tidewire", "-platform", "xcb", "--webEngineArgs", "--disable-gpu"};
  expected = users;
  expected << WebEngineSwitches::Ours();
  EXPECT_EQ(WebEngineSwitches::WithOurs(users), expected);
  EXPECT_EQ(WebEngineSwitches::WithOurs(expected), expected);

  // A switch of ours before the mark is the program's argument, not the engine's.
  const QByteArrayList before{"tidewire", WebEngineSwitches::Ours().first()};
  expected = before;
  expected << "--webEngineArgs" << WebEngineSwitches::Ours();
  EXPECT_EQ(WebEngineSwitches::WithOurs(before), expected);
}

TEST(WebEngineSwitches, TheCommandLineCopyIsWhatTheApplicationGets) {
  const bool wasSet = qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS");
  const QByteArray was = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  char name[] = "tidewire";
  char* original[] = {name, nullptr};
  int argc = 1;
  char** argv = original;
  const WebEngineSwitches switches(argc, argv);
  ASSERT_EQ(argc, 1 + 1 + WebEngineSwitches::Ours().size());
  EXPECT_STREQ(argv[0], "tidewire");
  EXPECT_STREQ(argv[1], "--webEngineArgs");
  EXPECT_EQ(QByteArray(argv[2]), WebEngineSwitches::Ours().first());
  EXPECT_EQ(argv[argc], nullptr);

  // With the environment's switches set, the command line stays as it was.
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  argc = 1;
  argv = original;
  const WebEngineSwitches fromEnvironment(argc, argv);
  EXPECT_EQ(argc, 1);
  EXPECT_EQ(argv, original);
  EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), "--disable-gpu " + WebEngineSwitches::Ours().join(' '));
  if (wasSet) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", was);
  } else {
    qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  }
}

}  // namespace
}  // namespace tw
