// Helpers shared by every file reader of the game.
#pragma once

#include <cstddef>
#include <string>

namespace dravik {

// One flushed line on standard error: "<path>: <problem>".
void reportFileProblem(const std::string& path, const std::string& problem);

// Reads a whole file into text. Refuses files above maxBytes. On failure,
// reports the problem for path and returns false with text empty.
bool readWholeFile(const std::string& path, std::string& text,
                   std::size_t maxBytes = 64u * 1024u * 1024u);

}  // namespace dravik
