// Writes the game's assets: dravik_assets [output directory, default "data"].
#include <cstdio>
#include <string>

#include "tools/AssetGenerator.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: %s [output directory]\n", argv[0]);
    return 2;
  }
  const std::string outputDir = argc == 2 ? argv[1] : "data";
  if (!dravik::assets::generateAssets(outputDir)) return 1;
  std::printf("wrote %zu files to %s\n", dravik::assets::assetFiles().size(), outputDir.c_str());
  return 0;
}
