#!/usr/bin/env bash
# Building a screensaver from 100 MB of movies with `lumo-tool create`, beside the sum of its parts
# done by hand: copying the movies, `lumo-tool archive pack` of the same folder, and
# `lumo-tool pe add-resource` onto the player program. Median of several runs, in milliseconds.
#   usage: bench/creator-build.sh [BIN_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/movies" "$work/tmp"
# Ten movies of 10 MB: a Flash header, then bytes that do not compress (as video does not).
for i in $(seq 10); do
    { printf 'FWS\x0a'; head -c $((10 * 1024 * 1024 - 4)) /dev/urandom; } >"$work/movies/movie$i.swf"
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now() { date +%s%N; }

create=()
parts=()
for _ in $(seq "$runs"); do
    rm -rf "$work/out" "$work/stage" && mkdir -p "$work/out"
    sync
    start=$(now)
    TMPDIR=$work/tmp "$bin/lumo-tool" create -o "$work/out/Saver.exe" "$work"/movies/*.swf
    create+=($((($(now) - start) / 1000000)))

    sync
    start=$(now)
    mkdir -p "$work/stage"
    cp "$work"/movies/*.swf "$work/stage/"
    "$bin/lumo-tool" archive pack "$work/stage" "$work/file.lis"
    cp "$bin/lumo-player.exe" "$work/Parts.exe"
    "$bin/lumo-tool" pe add-resource "$work/Parts.exe" "$work/file.lis"
    parts+=($((($(now) - start) / 1000000)))
done
c=$(printf '%s\n' "${create[@]}" | median)
p=$(printf '%s\n' "${parts[@]}" | median)
echo "build from 100 MB of movies, median of $runs runs"
echo "  lumo-tool create           ${c} ms"
echo "  the parts by hand          ${p} ms   (create: $(awk "BEGIN { printf \"%.2f\", $c / $p }")x; goal <= 1.2x)"
