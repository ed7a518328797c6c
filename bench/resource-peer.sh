#!/usr/bin/env bash
# Adding a 50 MB RCDATA "FILELIST" to the player program three ways: lumo-tool, the npm package
# resedit-cli (a peer editor, pinned in bench/peer), and cp of the result (the floor). Prints the
# median of several runs of each.   usage: bench/resource-peer.sh [BIN_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
runs=${2:-7}
command -v npm >/dev/null || { echo "resource-peer: npm is needed for the peer editor" >&2; exit 1; }
[[ -x $here/peer/node_modules/.bin/resedit ]] || npm ci --prefix "$here/peer" --no-audit --no-fund >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((50 * 1024 * 1024)) /dev/urandom >"$work/file.lis"
player=$bin/lumo-player.exe

# Milliseconds of one run of "$@", the input executable copied fresh beforehand (not timed).
timed() {
    cp "$player" "$work/in.exe"
    sync
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

lumo=$(for _ in $(seq "$runs"); do timed "$bin/lumo-tool" pe add-resource "$work/in.exe" "$work/file.lis"; done | median)
cp "$work/in.exe" "$work/result.exe"
copy=$(for _ in $(seq "$runs"); do timed cp "$work/result.exe" "$work/copy.exe"; done | median)
peer=$(for _ in $(seq "$runs"); do
    timed "$here/peer/node_modules/.bin/resedit" --in "$work/in.exe" --out "$work/peer.exe" \
        --raw "10,FILELIST,@$work/file.lis" --lang 0
done | median)

echo "add 50 MB RCDATA, median of $runs runs"
echo "  lumo-tool pe add-resource  ${lumo} ms"
echo "  cp of the resulting file   ${copy} ms   (lumo-tool: $(awk "BEGIN { printf \"%.1f\", $lumo / $copy }")x)"
echo "  resedit-cli (peer)         ${peer} ms   (lumo-tool $(awk "BEGIN { printf \"%.1f\", $peer / $lumo }")x faster)"
