// Process entry of the Windows program. Of the four arguments only the
// instance handle is used; the game takes nothing from its command line.
#include <windows.h>

#include "app/RunGame.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
  return dravik::runGame(hInstance);
}
