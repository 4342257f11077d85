#pragma once

#include "mainwindow/AlertHost.h"

#include <QStringList>

namespace tw::test {

// The main window as an alert sees it, recording what a click asks of it.
class FakeAlertHost : public AlertHost {
 public:
  bool isMainWindowVisible() const override { return visible; }
  void showMainWindowNormal() override { calls << QStringLiteral("showMainWindowNormal"); }
  void GetFromTray() override { calls << QStringLiteral("GetFromTray"); }
  bool visible = false;
  QStringList calls;
};

}  // namespace tw::test
