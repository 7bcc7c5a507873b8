#pragma once

#include <string>

#include "tools/Image.h"

namespace dravik::assets {

constexpr int kAtlasCells = 16;
constexpr int kCellPixels = 16;
constexpr int kAtlasPixels = kAtlasCells * kCellPixels;

// Rasterises the printable ASCII characters (33..126) of a TrueType font into
// a 256 x 256 atlas: white glyphs with grey anti-aliasing on black, character
// c in cell (c mod 16, c div 16) counted from the top-left corner. Every
// other cell, the space's included, stays black. Returns false (with one
// line on standard error) if the font cannot be read; the image is then
// left black.
bool rasteriseFontAtlas(const std::string& fontFile, Image& atlas);

}  // namespace dravik::assets
