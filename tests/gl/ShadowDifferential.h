// Runs a sequence of the table's calls twice, with the state shadow off and
// on, each in an offscreen context of its own, and compares what the driver
// did: the picture after every draw, every value a call returns, and at each
// checkpoint the driver's own state (bindings, attribute arrays, texture
// units, the current program's uniforms) after syncDriverState. A draw whose
// arrays or indices the driver would read outside a buffer is refused and
// counts as what that run saw.
//
// A new context costs more than the rest of a run, so each mode keeps its
// context: a run (and a context lost within one) ends by deleting all it
// made and setting the defaults back, which the table hears of as a context
// lost and made again. The two contexts see the same calls, so they hand
// out the same names.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/gl/ShadowSequence.h"

namespace dravik::test {

struct Divergence {
  bool found = false;
  std::size_t step = 0;  // the step after which the runs first differ
  std::string what;
};

class ShadowDifferential {
 public:
  ShadowDifferential();  // its own hidden window; the context current before comes back after
  ~ShadowDifferential();
  ShadowDifferential(const ShadowDifferential&) = delete;
  ShadowDifferential& operator=(const ShadowDifferential&) = delete;

  bool ready() const { return window_ != nullptr; }
  Divergence compare(const std::vector<Step>& steps);
  // The length of the shortest prefix of steps that, with a checkpoint at
  // its end, still differs; the first failing steps differ.
  std::size_t shortestFailingPrefix(const std::vector<Step>& steps, std::size_t failing);
  // The divergence, the shortest failing prefix and its steps, for a failure message.
  std::string report(const std::vector<Step>& steps, const Divergence& divergence);

  // Draws of the runs with the shadow off: made, with anything on the
  // picture, refused (which the sequence should never ask for).
  struct Counts {
    long drawn = 0, drawnOn = 0, refused = 0;
  };
  const Counts& counts() const { return counts_; }

  struct Seen {
    std::size_t step;
    std::string what;
  };

 private:
  std::vector<Seen> run(const std::vector<Step>& steps, bool shadow);

  Counts counts_;
  SDL_Window* window_ = nullptr;
  SDL_GLContext contexts_[2] = {};  // shadow off, on
  SDL_Window* previousWindow_ = nullptr;
  SDL_GLContext previousContext_ = nullptr;
};

}  // namespace dravik::test
