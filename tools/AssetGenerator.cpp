#include "tools/AssetGenerator.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

#include "render/FileProblem.h"
#include "tools/BmpWriter.h"
#include "tools/FontAtlas.h"
#include "tools/IcoWriter.h"
#include "tools/Icons.h"
#include "tools/Models.h"
#include "tools/PngWriter.h"
#include "tools/Shaders.h"
#include "tools/Textures.h"

#ifndef DRAVIK_FONT_FILE
#define DRAVIK_FONT_FILE "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
#endif

namespace dravik::assets {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes fontAtlas() {
  Image atlas(1, 1);
  if (!rasteriseFontAtlas(DRAVIK_FONT_FILE, atlas)) return {};
  return encodeBmp(atlas);
}

struct Asset {
  const char* name;
  std::function<Bytes()> build;
};

const std::vector<Asset>& assets() {
  static const std::vector<Asset> list = {
      {"font.bmp.fnt", fontAtlas},
      {"road6.png", [] { return encodePng(makeRoad()); }},
      {"wall.bmp", [] { return encodeBmp(makeStoneWall()); }},
      {"wood.bmp", [] { return encodeBmp(makeWoodPlanks()); }},
      {"grass.bmp", [] { return encodeBmp(makeGrass()); }},
      {"whitepixel.bmp", [] { return encodeBmp(makeWhitePixel()); }},
      {"sky/stars/stars.bmp", [] { return encodeBmp(makeStars()); }},
      {"quad.json", [] { return text(makeQuadModel()); }},
      {"quadBackground.json", [] { return text(makeBackgroundQuadModel()); }},
      {"meshes/display/wall.json", [] { return text(makeWallModel()); }},
      {"meshes/display/tallWall.json", [] { return text(makeTallWallModel()); }},
      {"meshes/display/floorWood.json", [] { return text(makeFloorWoodModel()); }},
      {"meshes/display/wood.json", [] { return text(makeWoodRoofModel()); }},
      {"meshes/display/tree.json", [] { return text(makeTreeModel()); }},
      {"meshes/colliders/quadCollider.json", [] { return text(makeQuadCollider()); }},
      {"shaders/basic-fixed.vert", [] { return text(kBasicVertexShader); }},
      {"shaders/basic-fixed.frag", [] { return text(kBasicFragmentShader); }},
      {"shaders/conveyor-map.vert", [] { return text(kConveyorVertexShader); }},
      {"shaders/conveyor-map.frag", [] { return text(kConveyorFragmentShader); }},
      {"shaders/gameover-fixed.vert", [] { return text(kGameOverVertexShader); }},
      {"shaders/gameover-fixed.frag", [] { return text(kGameOverFragmentShader); }},
  };
  return list;
}

const std::vector<Asset>& icons() {
  static const std::vector<Asset> list = {
      {"48x48/dravik.png", [] { return encodePng(makeIcon(48)); }},
      {"256x256/dravik.png", [] { return encodePng(makeIcon(256)); }},
      // The Windows program's and installer's icon, with the sizes Explorer
      // and the Start menu show.
      {"dravik.ico",
       [] {
         return encodeIco({makeIcon(16), makeIcon(32), makeIcon(48), makeIcon(256)});
       }},
      // The web app's, named by its manifest (app/web/manifest.webmanifest).
      {"web/dravik-192.png", [] { return encodePng(makeIcon(192)); }},
      {"web/dravik-512.png", [] { return encodePng(makeIcon(512)); }},
      {"web/dravik-maskable-512.png", [] { return encodePng(makeMaskableIcon(512)); }},
  };
  return list;
}

std::vector<std::string> namesOf(const std::vector<Asset>& list) {
  std::vector<std::string> names;
  for (const Asset& asset : list) names.emplace_back(asset.name);
  return names;
}

bool writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) {
    reportFileProblem(path.string(), "cannot create its directory: " + error.message());
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    reportFileProblem(path.string(), "cannot be written");
    return false;
  }
  return true;
}

bool generateAll(const std::vector<Asset>& list, const std::string& outputDir) {
  for (const Asset& asset : list) {
    const std::filesystem::path path = std::filesystem::path(outputDir) / asset.name;
    const Bytes bytes = asset.build();
    if (bytes.empty()) {
      reportFileProblem(path.string(), "could not be generated");
      return false;
    }
    if (!writeFile(path, bytes)) return false;
  }
  return true;
}

}  // namespace

const std::vector<std::string>& assetFiles() {
  static const std::vector<std::string> names = namesOf(assets());
  return names;
}

const std::vector<std::string>& iconFiles() {
  static const std::vector<std::string> names = namesOf(icons());
  return names;
}

Bytes buildAsset(const std::string& name) {
  for (const auto* list : {&assets(), &icons()}) {
    for (const Asset& asset : *list) {
      if (name == asset.name) return asset.build();
    }
  }
  return {};
}

bool generateAssets(const std::string& outputDir) { return generateAll(assets(), outputDir); }

bool generateIcons(const std::string& outputDir) { return generateAll(icons(), outputDir); }

}  // namespace dravik::assets
