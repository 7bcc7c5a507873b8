// Process entry on SDL platforms. The game takes nothing from its command
// line.
#include "app/RunGame.h"

int main(int /*argc*/, char** /*argv*/) { return dravik::runGame(); }
