#pragma once

#include "widgets/MessageBoxes.h"

#include <QStringList>

namespace tw::test {

// Catches the messages a control would show: "title|text" each, critical
// ones in shown, warnings in warnings, questions in asked (answered with
// answer, at once).
class RecordingMessageBoxes : public MessageBoxes {
 public:
  void critical(QWidget*, const QString& title, const QString& text) override { shown << title + u'|' + text; }
  void warning(QWidget*, const QString& title, const QString& text) override { warnings << title + u'|' + text; }
  void question(QWidget*, const QString& title, const QString& text, std::function<void(bool)> answered) override {
    asked << title + u'|' + text;
    answered(answer);
  }
  QStringList shown;
  QStringList warnings;
  QStringList asked;
  bool answer = false;
};

}  // namespace tw::test
