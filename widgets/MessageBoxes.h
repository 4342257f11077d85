#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tw {

// Where the reusable controls send the messages they show the user, so a
// test can catch them instead of a dialog appearing.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A message with the critical icon and an OK button.
  virtual void critical(QWidget* parent, const QString& title, const QString& text) = 0;
  // A message with the warning icon and an OK button.
  virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
  // A question with Yes and No buttons; answered(true) on Yes. Nothing is
  // called when the box goes with its parent unanswered.
  virtual void question(QWidget* parent, const QString& title, const QString& text,
                        std::function<void(bool yes)> answered) = 0;

  // Real message boxes, opened window-modal without a nested event loop.
  static MessageBoxes& standard();
};

}  // namespace tw
