// What the browser backend's pieces share about the page.
#pragma once

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

}  // namespace dravik::web
