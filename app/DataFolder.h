#pragma once

#include <filesystem>

namespace dravik {

// The game reads its assets as "data/..." from the current directory. A
// game started from elsewhere (a desktop shortcut, a file manager, another
// folder in a terminal) finds them here: the current directory when it has
// data/, else the first of the executable's folder and the installed share
// folder that has it, which then becomes the current directory. Nothing
// further is guessed: where none has data/, the current directory stays
// and every asset is reported missing as it loads. Empty candidates are
// skipped. Answers whether a data/ folder was found.
bool enterDataFolder(const std::filesystem::path& executableFolder,
                     const std::filesystem::path& installedFolder);
}  // namespace dravik
