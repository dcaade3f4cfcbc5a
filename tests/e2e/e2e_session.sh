# What the end-to-end sessions share, sourced by each of them: starting the showcase with
# its trace on the test's X server, waiting for trace lines, dragging as a hand would, and
# ending the session.
#
#   source "$(dirname "$0")/e2e_session.sh"
#   start_showcase "$1" --page nodal        # sets demo, trace, pid and wid
#   expect '^nodal zoom ' "A frames the graph"
#   end_session nodal

fail() { echo "FAIL: $*"; echo "--- trace ---"; cat "$trace"; kill "$pid" 2>/dev/null; rm -f "$trace"; exit 1; }

# Waits until the trace holds at least `count` (default 1) lines matching the pattern.
expect() {
    local pattern="$1" what="$2" count="${3:-1}"
    for _ in $(seq 1 100); do
        [ "$(grep -c -E "$pattern" "$trace")" -ge "$count" ] && return 0
        sleep 0.1
    done
    fail "$what (fewer than $count lines matching '$pattern')"
}

# Drags with the button from (x0, y0) to (x1, y1) in steps, as a hand would.
drag() {
    local button="$1" x0="$2" y0="$3" x1="$4" y1="$5"
    xdotool mousemove --window "$wid" "$x0" "$y0" mousedown "$button"
    for step in 1 2 3 4 5 6; do
        xdotool mousemove --window "$wid" $((x0 + (x1 - x0) * step / 6)) $((y0 + (y1 - y0) * step / 6))
        sleep 0.05
    done
    xdotool mouseup "$button"
}

# Starts the showcase (path, then its options) at 1320 x 760 with the trace on, and waits for
# its window.
start_showcase() {
    demo="$1"
    shift
    trace="$(mktemp)"
    "$demo" --trace --size 1320x760 "$@" >"$trace" 2>${E2E_STDERR:-/dev/null} &
    pid=$!
    expect '^ready$' "the showcase starts"
    wid="$(xdotool search --sync --name '^qn_gui showcase$' | head -n 1)"
    [ -n "$wid" ] || fail "the showcase window exists"
    sleep 0.3
}

end_session() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -f "$trace"
    echo "$1 end-to-end: ok"
}
