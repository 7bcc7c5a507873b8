#include "app/AppWindow.h"
#include "game/Game.h"
#include "gl/GlApi.h"

namespace dravik {

void AppWindow::onContextCurrent() {
  glentry::setContextAvailable(true);
  running = true;
}

void AppWindow::onSize(int width, int height) {
  if (resizeListener != nullptr && resizeListener->game != nullptr) {
    resizeListener->game->onResize(width, height);
  }
}

}  // namespace dravik
