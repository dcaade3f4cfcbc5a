#!/usr/bin/env bash
# Uses the showcase's viewport frames as a user would, with xdotool on the test's X server:
# splits the OpenGL view's quarter in four from its toolbar, drags the node graph's tab into
# one of the new frames, maximises that frame with Shift+Space and restores it, saves the
# layout (Ctrl+Alt+S), closes a frame, and restores the saved layout (Ctrl+Alt+R); keeps more
# snapshots of the OpenGL view than the image history holds and pins one; then checks
# what the page reported (--trace prints "layout shape ...", "layout frame PATH x y w h",
# "layout tabrow PATH x y", "layout tab PATH INDEX TITLE x y" and "layout button PATH
# "TOOLTIP" x y" after every change).
#   tests/e2e/layout_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
export HOME="$(mktemp -d)"  # the saved layout goes beside a preferences file of its own
start_showcase "$1" --page layout
expect '^layout shape Q\(S1,S1,S1,S1\)$' "the page starts in quarters, one editor each"

# The last reported place of a frame's button, tab row or tab: "X Y".
button_at() { awk -v p="$1" -v b="\"$2\"" '$1 == "layout" && $2 == "button" && $3 == p {
    rest = substr($0, index($0, "\"")); if (index(rest, b) == 1) { n = split($0, f, " "); v = f[n - 1] " " f[n] } } END { print v }' "$trace"; }
tabrow_at() { awk -v p="$1" '$1 == "layout" && $2 == "tabrow" && $3 == p { v = $4 " " $5 } END { print v }' "$trace"; }
tab_at() { awk -v p="$1" -v t="$2" '$1 == "layout" && $2 == "tab" && $3 == p && $5 == t { v = $(NF - 1) " " $NF } END { print v }' "$trace"; }
frame_width() { awk -v p="$1" '$1 == "layout" && $2 == "frame" && $3 == p { v = $6 } END { print v }' "$trace"; }
reports() { grep -c '^layout shape ' "$trace"; }

xdotool mousemove --window "$wid" $(button_at 0.3 "Split Quads") click 1
expect '^layout shape Q\(S1,S1,S1,Q\(S1,S0,S0,S0\)\)$' "the quarter's toolbar splits it in four"
sleep 0.3

# The node graph's tab dragged onto the tab row of the new frame at the top right.
read -r x0 y0 <<<"$(tab_at 0.0 Node)"
read -r x1 y1 <<<"$(tabrow_at 0.3.1)"
[ -n "$x0" ] && [ -n "$x1" ] || fail "the trace names the tab and the tab row"
# The drop lands where the drag loop last saw the pointer: it is given time to see the end.
xdotool mousemove --window "$wid" "$x0" "$y0" mousedown 1
for step in $(seq 1 12); do
    xdotool mousemove --window "$wid" $((x0 + (x1 - x0) * step / 12)) $((y0 + (y1 - y0) * step / 12))
    sleep 0.05
done
sleep 0.3
xdotool mouseup 1
expect '^layout shape Q\(S0,S1,S1,Q\(S1,S1,S0,S0\)\)$' "a tab dragged onto another frame moves there"
sleep 0.3

# Shift+Space over the frame shows it alone, and again puts it back.
read -r x y <<<"$(tabrow_at 0.3.1)"
xdotool mousemove --window "$wid" "$x" $((y + 60))
before=$(reports)
xdotool key shift+space
expect '^layout shape ' "maximising reports the frames" $((before + 1))
[ "$(frame_width 0.3.1)" -gt 1000 ] || fail "the maximised frame fills the page (width $(frame_width 0.3.1))"
before=$(reports)
xdotool key shift+space
expect '^layout shape ' "restoring reports the frames" $((before + 1))
[ "$(frame_width 0.3.1)" -lt 400 ] || fail "the restored frame is a quarter of a quarter again"

# Saved, changed, restored.
xdotool key ctrl+alt+s
expect '^layout saved to ' "Ctrl+Alt+S saves the layout"
xdotool mousemove --window "$wid" $(button_at 0.1 "Close Tabs") click 1
expect '^layout shape V\(' "closing a quarter regroups the frames"
xdotool key ctrl+alt+r
expect '^layout restored$' "Ctrl+Alt+R restores the saved layout"
expect '^layout shape Q\(S0,S1,S1,Q\(S1,S1,S0,S0\)\)$' "the restored frames are those saved" 2
# Seven snapshots: the history keeps the six newest. The newest, pinned, no longer counts:
# two more snapshots leave six unpinned ones beside it.
read -r bx by tx ty <<<"$(awk '$1 == "history" && $2 == "at" { v = $3 " " $4 " " $5 " " $6 } END { print v }' "$trace")"
[ -n "$bx" ] || fail "the trace places the history strip"
for i in 1 2 3 4 5 6 7; do xdotool mousemove --window "$wid" "$bx" "$by" click 1; sleep 0.15; done
expect '^history 6 items: 7 - view 6 - view 5 - view 4 - view 3 - view 2 - view$' "the history keeps the six newest"
xdotool mousemove --window "$wid" "$tx" "$ty" click 1
expect '^history 6 items: \*7 - view ' "a click on a thumbnail pins it"
for i in 1 2; do xdotool mousemove --window "$wid" "$bx" "$by" click 1; sleep 0.15; done
expect '^history 7 items: 9 - view 8 - view \*7 - view 6 - view 5 - view 4 - view 3 - view$' "the pinned one stays, the oldest go"
end_session layout
