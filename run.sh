#!/usr/bin/env bash
# Sets up this machine, builds, and starts the editor with the given arguments
# ("./run.sh /S" starts it as a screensaver). "./run.sh --build" only sets up and builds;
# "./run.sh --package" also writes the Debian package build/lumo-screensaver_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh release
if [[ "${1:-}" == "--package" ]]; then
    (cd build && cpack -G DEB)
    exit 0
fi
if [[ "${1:-}" == "--build" ]]; then
    echo "Built: $(pwd)/build/bin/lumo, lumo-tool and lumo-player.exe"
    exit 0
fi
exec build/bin/lumo "$@"
