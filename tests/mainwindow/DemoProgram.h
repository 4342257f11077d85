#pragma once

#include "DemoFeedServer.h"
#include "mainwindow/Program.h"
#include "support/TempHome.h"

#include <memory>

namespace tw::test {

// The whole program in a home of its own, its feeds at the demo server.
inline std::unique_ptr<Program> DemoProgram(const TempHome& home, const FakeClock& clock,
                                            const demo::DemoFeedServer& server) {
  qputenv(FeedEndpoints::kBaseVariable, server.baseUrl().toUtf8());
  auto program = std::make_unique<Program>(home.paths(), clock);
  qunsetenv(FeedEndpoints::kBaseVariable);
  return program;
}

// A left click on a node of the tree, as the tree reports it.
inline void LeftClick(Program& program, const QString& key) {
  program.core().tv.select(key);
  program.window().treeClicks().mouseDown(1);
  program.window().treeClicks().NodeClick(key);
  program.window().treeClicks().Click();
}

}  // namespace tw::test
