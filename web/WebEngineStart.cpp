#include "web/WebEngineStart.h"

#include <QCoreApplication>

namespace tw {

WebEngineStart::WebEngineStart(int& argc, char**& argv) : switches_(argc, argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  noUnusedGl_.emplace();
}

}  // namespace tw
