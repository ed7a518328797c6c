#!/usr/bin/env bash
# Configures and builds one preset (release by default). CI builds treat warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
if [[ "${CI:-}" == "true" ]]; then
    export LUMO_WERROR=ON
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
