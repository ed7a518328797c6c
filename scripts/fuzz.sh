#!/usr/bin/env bash
# Builds the fuzz harnesses and runs each for the given seconds (default 10) on a copy of its seed
# corpus. Any crash, leak or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
scripts/build.sh fuzz >/dev/null
for harness in reg_hive:reg param_file:param rle_block:rle storage:storage archive:archive archive_roundtrip:archive; do
    name=${harness%%:*}
    corpus=$(mktemp -d)
    cp fuzz/corpus/"${harness##*:}"/* "$corpus"/
    echo "fuzz_$name: ${seconds}s"
    build-fuzz/bin/fuzz_"$name" -max_total_time="$seconds" -print_final_stats=0 "$corpus" 2>&1 | tail -n 1
    rm -rf "$corpus"
done
