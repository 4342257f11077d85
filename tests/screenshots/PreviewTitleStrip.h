#pragma once

#include "news/TitleStrip.h"

#include <QWidget>

class QLabel;

namespace tw::test {

// A plain title strip for pictures of the pages: the logo, the title and
// the link as the page renderer sets them.
class PreviewTitleStrip : public QWidget, public TitleStrip {
 public:
  explicit PreviewTitleStrip(QWidget* parent = nullptr);
  void setBuiltInPageShown(bool shown) override { builtIn_ = shown; }
  bool builtInPageShown() const override { return builtIn_; }
  void setTitleStrip(const TitleStripContent& content) override;

 private:
  bool builtIn_ = false;
  QLabel* logo_;
  QLabel* title_;
  QLabel* linkTitle_;
  QLabel* link_;
  QWidget* texts_;
};

}  // namespace tw::test
