#!/usr/bin/env bash
# Builds the fuzz harnesses and runs each for the given seconds (default 10) on a copy of its seed
# corpus. Any crash, leak or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
scripts/build.sh fuzz >/dev/null

# Seeds made here rather than committed: an icon file, and real programs when they are at hand.
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
mkdir -p "$seeds/ico" "$seeds/pe" "$seeds/swf"
cp fuzz/corpus/swf/* "$seeds/swf/"
python3 tools/make_icons.py "$seeds/ico/lumo.ico" "$seeds/ico.png" && rm -f "$seeds/ico.png"
# The first bytes of third-party movies, when the corpus is at hand.
for movie in ../shared/corpus/swf/*.swf; do
    [[ -f "$movie" ]] && head -c 4096 "$movie" > "$seeds/swf/$(basename "$movie")"
done
for program in build/bin/lumo-player.exe /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/hostname.exe; do
    [[ -f "$program" ]] && cp "$program" "$seeds/pe/"
done

for harness in reg_hive:fuzz/corpus/reg param_file:fuzz/corpus/param play_list:fuzz/corpus/playlist rle_block:fuzz/corpus/rle \
               storage:fuzz/corpus/storage archive:fuzz/corpus/archive archive_roundtrip:fuzz/corpus/archive \
               pe_image:"$seeds/pe" icon_file:"$seeds/ico" swf_header:"$seeds/swf"; do
    name=${harness%%:*}
    corpus=$(mktemp -d)
    cp "${harness#*:}"/* "$corpus"/ 2>/dev/null || true
    echo "fuzz_$name: ${seconds}s"
    mkdir -p build-fuzz/artifacts
    build-fuzz/bin/fuzz_"$name" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix=build-fuzz/artifacts/ \
        "$corpus" 2>&1 | tail -n 1
    rm -rf "$corpus"
done
