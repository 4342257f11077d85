#pragma once

#include "news/TitleStrip.h"

#include <QStringList>
#include <QVector>

namespace tw::test {

// The main window's title strip as a record of what it was given.
class FakeTitleStrip : public TitleStrip {
 public:
  // "builtInPageShown 1", "setTitleStrip <title text>".
  QStringList calls;
  bool shown = false;
  QVector<TitleStripContent> contents;
  // Whether the logo file existed when the strip was set (it is read then).
  QVector<bool> logoFileExisted;

  void setBuiltInPageShown(bool on) override;
  bool builtInPageShown() const override { return shown; }
  void setTitleStrip(const TitleStripContent& content) override;

  const TitleStripContent& last() const { return contents.back(); }
};

}  // namespace tw::test
