#include "tools/FontAtlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>

#include "render/FileProblem.h"

namespace dravik::assets {
namespace {

// Taller than wide: the game draws glyphs in square cells, so a slightly
// wider rasterisation than the font's own proportions reads better.
constexpr FT_UInt kGlyphWidthPixels = 16;
constexpr FT_UInt kGlyphHeightPixels = 14;

struct LibraryCloser {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryCloser>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceCloser>;

void copyGlyph(const FT_GlyphSlot slot, int cellX, int cellY, int baseline, Image& atlas) {
  const FT_Bitmap& bitmap = slot->bitmap;
  const int advance = static_cast<int>(slot->advance.x >> 6);
  const int left = (kCellPixels - advance) / 2 + slot->bitmap_left;
  const int top = baseline - slot->bitmap_top;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const int y = top + static_cast<int>(row);
    if (y < 0 || y >= kCellPixels) continue;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      const int x = left + static_cast<int>(col);
      if (x < 0 || x >= kCellPixels) continue;
      const uint8_t value = bitmap.buffer[static_cast<std::ptrdiff_t>(row) * bitmap.pitch + col];
      Colour& pixel = atlas.at(cellX * kCellPixels + x, cellY * kCellPixels + y);
      pixel = Colour{value, value, value, 255};
    }
  }
}

}  // namespace

bool rasteriseFontAtlas(const std::string& fontFile, Image& atlas) {
  atlas = Image(kAtlasPixels, kAtlasPixels, Colour{0, 0, 0, 255});
  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) {
    reportFileProblem(fontFile, "FreeType could not start");
    return false;
  }
  LibraryHandle library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), fontFile.c_str(), 0, &rawFace) != 0) {
    reportFileProblem(fontFile, "not a readable font");
    return false;
  }
  FaceHandle face(rawFace);
  if (FT_Set_Pixel_Sizes(face.get(), kGlyphWidthPixels, kGlyphHeightPixels) != 0) {
    reportFileProblem(fontFile, "font cannot be scaled to the atlas cell");
    return false;
  }
  // Centre the font's full height (ascender to descender) in the cell.
  const int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
  const int descender = static_cast<int>(-(face->size->metrics.descender >> 6));
  const int baseline = (kCellPixels - (ascender + descender)) / 2 + ascender;

  for (int c = 33; c < 127; ++c) {
    if (FT_Load_Char(face.get(), static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0) {
      reportFileProblem(fontFile, "glyph " + std::to_string(c) + " cannot be rendered");
      atlas = Image(kAtlasPixels, kAtlasPixels, Colour{0, 0, 0, 255});
      return false;
    }
    copyGlyph(face->glyph, c % kAtlasCells, c / kAtlasCells, baseline, atlas);
  }
  return true;
}

}  // namespace dravik::assets
