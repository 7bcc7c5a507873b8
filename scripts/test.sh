#!/usr/bin/env bash
# Builds everything and runs every test: installs the Debian packages that are
# missing, builds build/ (preset linux) and runs the test preset ci, which
# holds the unit and GL suites (offscreen Mesa), the suites under
# AddressSanitizer + UndefinedBehaviorSanitizer, the end-to-end tests of the
# real game under Xvfb, the hardening checks and the stages: Windows under
# Wine, Wayland under weston, the packages installed and removed, the arm64
# build under qemu, the browser build in headless Chromium. One summary, and a
# JUnit report in build/junit.xml. One stage alone: ctest --test-dir build -L LABEL.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset ci
