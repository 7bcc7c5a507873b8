// Helpers shared by the game tests: a scripted keyboard, a ready Game and a
// reader that turns a text's glyph quads back into characters.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/Game.h"
#include "game/InputState.h"

namespace dravik::test {

// Keys held by the scripted key source, indexed by Key.
struct ScriptedKeys {
  bool held[7] = {};
  void press(Key key) { held[static_cast<int>(key)] = true; }
  void release(Key key) { held[static_cast<int>(key)] = false; }
  void releaseAll() {
    for (bool& h : held) h = false;
  }
};

ScriptedKeys& scriptedKeys();
// Routes inputState() to scriptedKeys(), all keys released.
void useScriptedKeys();

// Whether the generated assets are present under data/.
bool haveGameData();

// A Game that ran init from the current directory (with a GL context), its
// loader messages swallowed. stderrText receives them when given.
std::unique_ptr<Game> makeInitialisedGame(std::string* stderrText = nullptr);

// The string a BitmapText currently shows, read back from the uvs of its
// counted quads through the 16 x 16 atlas layout.
std::string shownText(const BitmapText& text);

}  // namespace dravik::test
