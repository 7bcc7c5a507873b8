// The game's desktop icon, drawn at each size the hicolor theme asks for
// rather than scaled from one picture.
#pragma once

#include "tools/Image.h"

namespace dravik::assets {

// A size x size RGBA icon: a rounded tile with the night sky, a curved
// strip of the grass disc, a small house and two trees leaning outward, as
// the level's pieces do near the rim. Transparent outside the tile; edges
// are smoothed by 4 x 4 samples a pixel.
Image makeIcon(int size);

// The same picture as a maskable icon (a web app's, which the system cuts to
// its own shape): opaque to the edges, the sky and the ground carried out to
// them, and the scene shrunk into the safe zone, the centred circle of 80 %
// of the width that every mask keeps.
Image makeMaskableIcon(int size);

}  // namespace dravik::assets
