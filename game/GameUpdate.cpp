#include <cstdio>

#include "game/Game.h"
#include "game/InputState.h"

namespace dravik {

namespace {

constexpr float kCountdownEnd = 2.0f;
constexpr float kRampEnd = 1.0f;
constexpr float kBarSpinDegreesPerSecond = 90.0f;
constexpr float kScorePerSecond = 15.0f;
constexpr float kSpeed = 10.0f;
constexpr float kDeadZoneSquared = 0.04f;
constexpr float kDigitalThreshold = 0.5f;
constexpr float kDiagonal = 0.707f;
constexpr float kGroundLimit = 25.0f;

// Zone bounds are doubles on purpose: the float player x is widened for the
// test, which decides the cases right at the bounds.
constexpr double kZone3Low = -1.05;
constexpr double kZone3High = 0.84;
constexpr double kZone2Low = -4.37;
constexpr double kZone2High = 4.09;

// Truncation toward zero, saturated where the float lies outside int (a
// plain cast would be undefined there).
int truncateToInt(float value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0f) return 2147483647;
  if (value <= -2147483648.0f) return -2147483647 - 1;
  return static_cast<int>(value);
}

float clampGround(float value) {
  if (value < -kGroundLimit) return -kGroundLimit;
  if (value > kGroundLimit) return kGroundLimit;
  return value;
}

bool isDigitalHeld(float component) {
  return component > kDigitalThreshold || component < -kDigitalThreshold;
}

}  // namespace

void Game::update(float dt) {
  InputState& input = inputState();
  input.poll();

  updateToggles(input);
  if (gameOver) return;

  showBarPosition();
  dt = advanceCountdown(dt);
  updateScoreZones(dt);
  move(input, dt);
}

// F2 flips the projection and Space the camera mode, once per press.
void Game::updateToggles(const InputState& input) {
  if (input.f2Down() && !f2Latch) {
    f2Latch = true;
    perspective = !perspective;
  } else if (!input.f2Down()) {
    f2Latch = false;
  }
  if (input.spaceDown() && !spaceLatch) {
    spaceLatch = true;
    cameraMode = cameraMode == 0 ? 1 : 0;
  } else if (!input.spaceDown()) {
    spaceLatch = false;
  }
}

// The debug line: where the bar stood at the end of the last frame.
void Game::showBarPosition() {
  // An int's decimal form, twice, with a space and the terminator.
  char debugLine[32];
  std::snprintf(debugLine, sizeof debugLine, "%d %d", truncateToInt(bar.position.x),
                truncateToInt(bar.position.y));
  debugText.setText(debugLine);
}

// Runs the start countdown on and returns the time this frame plays for.
float Game::advanceCountdown(float dt) {
  if (playing && countdown < kCountdownEnd) {
    countdown = countdown + dt;
    if (countdown >= kCountdownEnd) {
      basicProgram.use();
    } else if (countdown < kRampEnd) {
      // The run starts slowly and reaches full speed after one second.
      dt = dt * countdown;
    }
  }
  return dt;
}

// The bar follows the player and spins; the zone the player is in sets the
// multiplier the score grows by, and the multiplier and score texts show it.
void Game::updateScoreZones(float dt) {
  const Vec3& playerAt = *playerPosition;
  bar.position.x = playerAt.x;
  bar.position.y = playerAt.y;
  bar.setAngle(spinTime * kBarSpinDegreesPerSecond);

  const double x = playerAt.x;
  if (x > kZone3Low && x < kZone3High) {
    multiplier = 3;
    multiplierText.setColour(0, 0, 1);
  } else if (x > kZone2Low && x < kZone2High) {
    multiplier = 2;
    multiplierText.setColour(0.5f, 0.5f, 1);
  } else {
    multiplier = 1;
    multiplierText.setColour(0.9f, 0.9f, 1);
  }

  score = score + dt * kScorePerSecond * multiplier;

  char multiplierLine[8];
  std::snprintf(multiplierLine, sizeof multiplierLine, "x%d", truncateToInt(multiplier));
  multiplierText.setText(multiplierLine);
  char scoreLine[16];
  std::snprintf(scoreLine, sizeof scoreLine, "%d", truncateToInt(score));
  scoreText.setText(scoreLine);

  spinTime = spinTime + dt;
}

// Moves the player by the stick, or else the keys and d-pad, and with it the
// ground (camera mode 0, within its limits) or the camera eye (mode 1).
void Game::move(const InputState& input, float dt) {
  float dx;
  float dy;
  const Axis& analog = input.analogAxis();
  const float ax2 = analog.x * analog.x;
  const float ay2 = analog.y * analog.y;
  if ((ax2 >= kDeadZoneSquared && ay2 < kDeadZoneSquared) ||
      (ay2 >= kDeadZoneSquared && ax2 < kDeadZoneSquared)) {
    dx = analog.x;
    dy = analog.y;
  } else {
    const Axis& digital = input.digitalAxis();
    if (isDigitalHeld(digital.x) && isDigitalHeld(digital.y)) {
      dx = digital.x * kDiagonal;
      dy = digital.y * kDiagonal;
    } else {
      dx = digital.x;
      dy = digital.y;
    }
  }

  const float step = kSpeed * dt;
  const float moveX = step * dx;
  const float moveY = step * dy;
  Vec3& playerAt = *playerPosition;
  playerAt.x = playerAt.x + moveX;
  playerAt.y = playerAt.y + moveY;

  if (cameraMode == 0) {
    groundOffset.x = groundOffset.x + moveX;
    groundOffset.y = groundOffset.y + moveY;
    groundOffset.x = clampGround(groundOffset.x);
    groundOffset.y = clampGround(groundOffset.y);
  } else {
    cameraEye.x = cameraEye.x + moveX;
    cameraEye.y = cameraEye.y + moveY;
  }
}

}  // namespace dravik
