#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

namespace tw {

// Serves the program's page files from its own folder to the web engine.
// Only plain file names of the kinds the program writes are served, only to
// the program itself and to its own pages; a web page that asks for one is
// refused.
//
// The files of the latest showing are kept once served: the program deletes
// them as soon as the page has loaded, and a page shown again (the web
// engine was released while the window was hidden) must come back whole.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  explicit PageSchemeHandler(QString folder, QObject* parent = nullptr);
  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  QString folder_;
  // The latest showing's folder in the page address ("/<serial>/"), and its
  // files by name.
  QString keptShowing_;
  QHash<QString, QByteArray> kept_;
};

}  // namespace tw
