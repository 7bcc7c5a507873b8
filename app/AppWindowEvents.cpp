#include "app/Platform.h"
#include "game/Game.h"
#include "gl/GlApi.h"

namespace dravik {

void AppWindow::onContextCurrent() {
  glentry::setContextAvailable(true);
  running = true;
}

void AppWindow::onContextLost() {
  glentry::setContextAvailable(false);
  contextRestored_ = false;
  if (resizeListener != nullptr && resizeListener->game != nullptr) {
    resizeListener->game->releaseGlObjects();
  }
}

void AppWindow::onContextRestored() {
  glentry::setContextAvailable(true);
  contextRestored_ = true;
}

bool AppWindow::takeContextRestored() {
  const bool restored = contextRestored_;
  contextRestored_ = false;
  return restored;
}

void AppWindow::readGamepad() {
  PadReading reading;
  platformReadPad(reading);
  if (padMapping_.read(reading)) onEscapeDown();
}

void AppWindow::onSize(int width, int height) {
  if (resizeListener != nullptr && resizeListener->game != nullptr) {
    resizeListener->game->onResize(width, height);
  }
}

}  // namespace dravik
