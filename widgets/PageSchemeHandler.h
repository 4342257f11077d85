#pragma once

#include <QString>
#include <QWebEngineUrlSchemeHandler>

namespace tw {

// Serves the program's page files from its own folder to the web engine.
// Only plain file names of the kinds the program writes are served, only to
// the program itself and to its own pages; a web page that asks for one is
// refused.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  explicit PageSchemeHandler(QString folder, QObject* parent = nullptr);
  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  QString folder_;
};

}  // namespace tw
