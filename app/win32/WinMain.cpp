// Process entry of the Windows program. Of the four arguments only the
// instance handle is used; the game takes nothing from its command line.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/RunGame.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
  return dravik::runGame(hInstance);
}
