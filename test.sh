#!/usr/bin/env bash
# Sets up this machine, builds, and runs every test: the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then all tests (unit, window, end to end under Wine and Xvfb).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

scripts/build.sh asan
ctest --preset asan -j2

scripts/build.sh release
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset release -j2
