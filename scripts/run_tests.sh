#!/usr/bin/env bash
# Runs the tests of a build folder with ctest, JOBS at a time. Each interface test asks ctest
# for an X display (resource "display"): with a DISPLAY they take turns on it; without one,
# one virtual X server per job is started here, so interface tests run side by side, each on
# a server of its own (pointer, focus and clipboard are per server).
#     scripts/run_tests.sh BUILD_FOLDER JOBS [ctest arguments ...]
set -euo pipefail
build="$1"; jobs="$2"; shift 2
work="$(mktemp -d)"
servers=()
stop_servers() {
    for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap stop_servers EXIT

ids=()
if [ -n "${DISPLAY:-}" ]; then
    ids=(current)
else
    for i in $(seq 1 "$jobs"); do
        # The server writes its display number to the file once it accepts clients.
        Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display$i" 2>"$work/xvfb$i.log" &
        servers+=($!)
    done
    for i in $(seq 1 "$jobs"); do
        for _ in $(seq 1 200); do [ -s "$work/display$i" ] && break; sleep 0.05; done
        number="$(tr -dc 0-9 < "$work/display$i")"
        [ -n "$number" ] || { echo "run_tests: Xvfb did not start:"; cat "$work/xvfb$i.log"; exit 1; }
        ids+=("d$number")
    done
fi

spec="$work/displays.json"
{
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"display": ['
    sep=""
    for id in "${ids[@]}"; do printf '%s{"id": "%s", "slots": 1}' "$sep" "$id"; sep=", "; done
    printf ']}]}\n'
} > "$spec"

cd "$build"
ctest --output-on-failure --timeout 600 -j "$jobs" --resource-spec-file "$spec" "$@"
