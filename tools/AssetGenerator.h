#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik::assets {

// Every file the generator writes, relative to its output directory, in the
// order it writes them.
const std::vector<std::string>& assetFiles();

// Builds every asset and writes it below outputDir (sub-directories are
// created). The same bytes come out on every run. Returns false, after one
// line on standard error naming the file, if something cannot be made or
// written.
bool generateAssets(const std::string& outputDir);

// The icons, relative to their own output directory (packaging/icons in the
// repository): one PNG per hicolor size, the Windows icon file holding
// several sizes, and the web app's PNGs in web/ (192 and 512 px, and a
// maskable 512 px one).
const std::vector<std::string>& iconFiles();

// Writes the icons below outputDir, as generateAssets does the game's assets.
bool generateIcons(const std::string& outputDir);

// The bytes of one asset or icon, by its relative name; empty if the name is
// not one of assetFiles() or iconFiles() or the file cannot be made.
std::vector<uint8_t> buildAsset(const std::string& name);

}  // namespace dravik::assets
