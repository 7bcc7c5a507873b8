// Writes the game's assets and its desktop icons:
//   dravik_assets [data directory, default "data"] [icon directory, default "packaging/icons"]
#include <cstdio>
#include <string>

#include "tools/AssetGenerator.h"

int main(int argc, char** argv) {
  if (argc > 3) {
    std::fprintf(stderr, "usage: %s [data directory] [icon directory]\n", argv[0]);
    return 2;
  }
  const std::string dataDir = argc >= 2 ? argv[1] : "data";
  const std::string iconDir = argc >= 3 ? argv[2] : "packaging/icons";
  if (!dravik::assets::generateAssets(dataDir)) return 1;
  if (!dravik::assets::generateIcons(iconDir)) return 1;
  std::printf("wrote %zu files to %s and %zu icons to %s\n", dravik::assets::assetFiles().size(),
              dataDir.c_str(), dravik::assets::iconFiles().size(), iconDir.c_str());
  return 0;
}
