#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds, starting from
# the seeds in tests/fuzz/seeds/<target>. The working corpus and any crash reproducers
# stay in the build folder. Fails when a target finds a crash, a leak or a hang.
set -euo pipefail
build="${1:-build-fuzz}"
seconds="${2:-60}"
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

status=0
for target in "$build"/bin/fuzz_*; do
    [ -x "$target" ] || continue
    name="$(basename "$target")"
    corpus="$build/corpus/${name#fuzz_}"
    artifacts="$build/artifacts/${name#fuzz_}/"
    mkdir -p "$corpus" "$artifacts"
    seeds="$top/tests/fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    echo "== $name for ${seconds}s"
    if ! "$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$artifacts" -print_final_stats=1 2>"$build/$name.log"; then
        echo "$name FAILED; see $build/$name.log and $artifacts"
        tail -n 30 "$build/$name.log"
        status=1
    else
        grep -E '^(stat::number_of_executed_units|Done)' "$build/$name.log" || tail -n 2 "$build/$name.log"
    fi
done
exit $status
