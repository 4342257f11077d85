#include "core/SingleInstance.h"
#include "support/TempHome.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(SingleInstance, ALaterCopyAsksTheRunningOneToComeForward) {
  test::TempHome home;
  SingleInstance running(home.paths().runtimeFolder);
  ASSERT_TRUE(running.tryBecomeRunningCopy());
  QSignalSpy asked(&running, &SingleInstance::activationRequested);

  SingleInstance later(home.paths().runtimeFolder);
  EXPECT_FALSE(later.tryBecomeRunningCopy());
  EXPECT_TRUE(later.ActivatePreviousInstance());
  EXPECT_TRUE(asked.wait(5000));
  EXPECT_EQ(asked.count(), 1);
}

TEST(SingleInstance, CopiesWithDifferentHomesDoNotMeet) {
  test::TempHome first;
  test::TempHome second;
  SingleInstance a(first.paths().runtimeFolder);
  SingleInstance b(second.paths().runtimeFolder);
  EXPECT_NE(a.serverName(), b.serverName());
  EXPECT_TRUE(a.tryBecomeRunningCopy());
  EXPECT_TRUE(b.tryBecomeRunningCopy());
}

TEST(SingleInstance, NoRunningCopyMeansNobodyToAsk) {
  test::TempHome home;
  SingleInstance alone(home.paths().runtimeFolder);
  EXPECT_FALSE(alone.ActivatePreviousInstance(200));
}

}  // namespace
}  // namespace tw
