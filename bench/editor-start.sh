#!/usr/bin/env bash
# Cold start of the editor to a visible main window, on an X display (DISPLAY, or a private Xvfb),
# with fresh settings each time. Prints the median of several runs in milliseconds, and the time until
# the preview's web engine has started as well.   usage: bench/editor-start.sh [BIN_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
runs=${2:-5}
if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

visible=()
engine=()
for run in $(seq "$runs"); do
    home=$work/$run
    mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
    start=$(date +%s%N)
    XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime "$bin/lumo" \
        >"$home/log" 2>&1 &
    pid=$!
    xdotool search --sync --onlyvisible --name '^Lumo ScreenSaver v1.0$' >/dev/null
    visible+=($((($(date +%s%N) - start) / 1000000)))
    # The engine's helper process appears once the preview starts its page.
    until pgrep -P "$pid" -f QtWebEngineProcess >/dev/null; do sleep 0.01; done
    engine+=($((($(date +%s%N) - start) / 1000000)))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
echo "cold start, median of $runs runs"
echo "  main window visible     $(printf '%s\n' "${visible[@]}" | median) ms   (goal <= 1000 ms)"
echo "  preview engine started  $(printf '%s\n' "${engine[@]}" | median) ms"
