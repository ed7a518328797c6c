#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt that are not installed yet.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v -e '^#' -e '^[[:space:]]*$' "$here/debian-packages.txt")

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# npm installs the movie view's player; Debian's when the machine has none of its own.
command -v npm >/dev/null || missing+=(npm)

if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}" >&2
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Ruffle, exactly as the lockfile pins it; again only when the lockfile has changed since.
web=$here/../playback/web
if ! cmp -s "$web/package-lock.json" "$web/node_modules/.lumo-installed-lock" 2>/dev/null; then
    npm ci --prefix "$web" --no-audit --no-fund >&2
    cp "$web/package-lock.json" "$web/node_modules/.lumo-installed-lock"
fi
