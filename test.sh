#!/usr/bin/env bash
# Sets up this machine, builds, and runs every test: the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz harness, then all tests (unit, window, end to end under Wine and Xvfb).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

scripts/build.sh asan
ctest --preset asan -j2

# A few seconds of fuzzing for each reader of outside bytes, as a smoke test.
scripts/fuzz.sh 5

scripts/build.sh release
# -noreset: a server that resets when its last client leaves refuses the next one for a moment.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset release -j2
