#pragma once

#include "download/bkDLControl.h"

#include <QObject>
#include <QStringList>
#include <QVector>

#include <functional>

#include "QtPrinters.h"

namespace tw::test {

// Records every event a download control raises, in order, with its
// arguments ("DLError 2 Redirected to ...") and whether DownloadActive was
// true while the handler ran.
class ControlEventLog : public QObject {
 public:
  explicit ControlEventLog(bkDLControl& control);

  QStringList events;
  QVector<bool> activeInside;
  QStringList saveFileNameInside;
  // Runs inside every handler after the event is recorded.
  std::function<void(const QString& event)> onEvent;

  // The event names alone, without arguments.
  QStringList names() const;
  bool activeDuring(const QString& name) const;

 private:
  void add(const QString& event);
  bkDLControl& control_;
};

}  // namespace tw::test
