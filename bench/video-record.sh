#!/usr/bin/env bash
# The videos a build records for Windows without the Flash control: recording speed as a multiple
# of real time (lumo-record, the web engine's start included) and the size of a minute of video at
# the default quality, for a 550 x 400, 24 fps movie with sound: ffmpeg's busy test card (detail
# in every frame, the hard case) and a flat-coloured card (the vector art most movies are).
#   usage: bench/video-record.sh [BIN_DIR] [SECONDS] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
seconds=${2:-20}
runs=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ffmpeg -v error -f lavfi -i "testsrc2=size=550x400:rate=24" -f lavfi -i "sine=frequency=440:sample_rate=44100" \
    -t "$seconds" -c:v flv1 -q:v 3 -c:a libmp3lame -ar 44100 "$work/busy.swf"
ffmpeg -v error -f lavfi -i "smptebars=size=550x400:rate=24" -f lavfi -i "sine=frequency=440:sample_rate=44100" \
    -filter_complex "[0:v]drawbox=x='mod(t*80,500)':y=150:w=50:h=100:color=white:t=fill[v]" -map "[v]" -map 1:a \
    -t "$seconds" -c:v flv1 -q:v 3 -c:a libmp3lame -ar 44100 "$work/flat.swf"

echo "recording a ${seconds} s movie of 550 x 400 at 24 fps with sound, median of $runs runs"
for movie in busy flat; do
    times=()
    for run in $(seq "$runs"); do
        start=$(date +%s%N)
        "$bin/lumo-record" --width 550 --height 400 --fps 24 --seconds "$seconds" "$work/$movie.swf" \
            "$work/$movie.avi" >/dev/null 2>&1
        times+=($((($(date +%s%N) - start) / 1000000)))
    done
    ms=$(printf '%s\n' "${times[@]}" | median)
    bytes=$(stat -c %s "$work/$movie.avi")
    awk -v ms="$ms" -v s="$seconds" -v b="$bytes" -v m="$movie" 'BEGIN {
        printf "  %-5s %6.1f s, %.2f x real time, %5.1f MB a minute of video\n", m, ms / 1000, ms / 1000 / s, b / s * 60 / 1e6 }'
done
