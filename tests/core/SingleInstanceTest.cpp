#include "core/SingleInstance.h"
#include "support/TempHome.h"

#include <QFile>
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

TEST(SingleInstance, WithoutALockFileThisCopyRunsAndALaterOneStillFindsIt) {
  test::TempHome home;
  QFile blocker(home.paths().runtimeFolder);  // a file where the folder should be
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  SingleInstance running(home.paths().runtimeFolder);
  EXPECT_EQ(running.claim(), SingleInstance::Claim::Unguarded);
  EXPECT_TRUE(running.problem().contains(QStringLiteral("cannot be created"))) << running.problem().toStdString();
  QSignalSpy asked(&running, &SingleInstance::activationRequested);

  // It cannot lock either, but finds the running copy through its socket.
  SingleInstance later(home.paths().runtimeFolder);
  EXPECT_EQ(later.claim(), SingleInstance::Claim::Forwarded);
  EXPECT_TRUE(asked.wait(5000));
}

TEST(SingleInstance, NoRunningCopyMeansNobodyToAsk) {
  test::TempHome home;
  SingleInstance alone(home.paths().runtimeFolder);
  EXPECT_FALSE(alone.ActivatePreviousInstance(200));
}

}  // namespace
}  // namespace tw
