// The whole game on the headless backend, for the checks that need the game
// but no window (the bad-asset matrix): it plays FRAMES frames 16 ms apart on
// the scripted clock, then closes as a player closing the window would. The
// exit code is the game's; what it reports goes to standard error as on a
// desktop. Usage: dravik-headless [FRAMES]  (30 by default)
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/RunGame.h"
#include "app/headless/HeadlessScript.h"

namespace {

constexpr int kDefaultFrames = 30;
constexpr int kFrameMicroseconds = 16000;

std::filesystem::path executableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : executable.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : kDefaultFrames;
  if (argc > 2 || frames < 1) {
    std::cerr << "usage: dravik-headless [FRAMES]" << std::endl;
    return 2;
  }
  dravik::headless::Script& script = dravik::headless::script();
  script.executableFolder = executableFolder();
  script.beforePass = [frames](int pass) {
    dravik::headless::script().now += kFrameMicroseconds;
    if (pass == frames) {
      dravik::headless::script().messages.push_back(dravik::headless::WindowMessage::Close);
    }
  };
  return dravik::runGame();
}
