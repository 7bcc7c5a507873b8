// Process entry in a browser. runGame starts the game and hands the frame
// loop to the page (platformRunPasses), then main returns at once; the page
// keeps the game running.
#include "app/RunGame.h"

int main() { return dravik::runGame(); }
