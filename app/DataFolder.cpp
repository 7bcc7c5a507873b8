#include "app/DataFolder.h"

namespace dravik {

namespace {

bool hasData(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_directory(folder / "data", error);
}

}  // namespace

bool enterDataFolder(const std::filesystem::path& executableFolder,
                     const std::filesystem::path& installedFolder) {
  if (hasData(".")) return true;
  for (const std::filesystem::path* folder : {&executableFolder, &installedFolder}) {
    if (folder->empty() || !hasData(*folder)) continue;
    std::error_code error;
    std::filesystem::current_path(*folder, error);
    return !error;
  }
  return false;
}

}  // namespace dravik
