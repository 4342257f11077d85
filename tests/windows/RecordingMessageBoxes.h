#pragma once

#include "widgets/MessageBoxes.h"

#include <QStringList>

namespace tw::test {

// Catches the messages a control would show: "title|text" each.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  void critical(QWidget*, const QString& title, const QString& text) override { shown << title + u'|' + text; }
  QStringList shown;
};

}  // namespace tw::test
