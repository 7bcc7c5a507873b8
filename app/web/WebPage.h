// What the browser backend's pieces share about the page.
#pragma once

#include "app/PadReading.h"

namespace dravik {
class AppWindow;
}

namespace dravik::web {

constexpr const char* kTitle = "ZOKT 5 Dravik";
// The page's one canvas (index.html), as an Emscripten event target.
constexpr const char* kCanvas = "#canvas";

// Follows the game's keys on the page: the held state for the input poll,
// Escape for the window. The browser does nothing of its own for them.
void listenToKeys(AppWindow* window);

// The page's touch controls as of now, as a pad: the stick, A (camera) and
// Y (projection); a button tapped since the last call reads as held once.
PadReading touchControls();
// The taps on the page's pause button since the last call.
int takeTouchPauses();

}  // namespace dravik::web
