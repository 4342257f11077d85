#pragma once

#include "widgets/MessageBoxes.h"

#include <QStringList>

namespace tw::test {

// Catches the messages a control would show: "title|text" each, critical
// ones in shown, warnings in warnings.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  void critical(QWidget*, const QString& title, const QString& text) override { shown << title + u'|' + text; }
  void warning(QWidget*, const QString& title, const QString& text) override { warnings << title + u'|' + text; }
  QStringList shown;
  QStringList warnings;
};

}  // namespace tw::test
