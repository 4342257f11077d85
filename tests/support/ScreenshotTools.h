#pragma once

// Helpers of the tools that take the documentation's pictures.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QString>
#include <QThread>

#include <cstdio>

namespace tw::test {

// Lets the windows draw and the animations run for a while.
inline void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

// Saves a picture and says where, or why not.
inline bool SavePicture(const QPixmap& shot, const QString& path) {
  if (shot.isNull() || !shot.save(path)) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
  return true;
}

}  // namespace tw::test
