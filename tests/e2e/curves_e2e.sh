#!/usr/bin/env bash
# Edits the showcase's animation curves as a user would, with xdotool on the test's X server:
# picks and selects a key, drags it to a later frame, drags another and puts it back with
# Escape, selects keys with a rectangle, and scrubs the timeline; then checks what the page
# reported (--trace prints "curves ..." lines, "curves key <curve> <index> x y" where keys are
# drawn and "curves timeline x y w h" where the ruler is). Then it adds a key to a tone curve
# with a click and drags a key of the colour gradient.
#   tests/e2e/curves_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page curves
expect '^curves key 2 4 ' "the editor tells where its keys are"
expect '^curves timeline ' "the ruler tells where it is"
expect '^curves fcurve handle 0 2 ' "the function-curve editor tells where its keys are"
expect '^curves gradient handle 3 ' "the gradient editor tells where its keys are"
sleep 0.5

# The last "curves key C K x y" said: field 5 is x, 6 is y.
key() { awk -v c="$1" -v k="$2" -v n="$3" '$1 == "curves" && $2 == "key" && $3 == c && $4 == k { v = $n } END { print v }' "$trace"; }
# "curves timeline x y w h": fields 3 to 6.
ruler() { awk -v n="$1" '$1 == "curves" && $2 == "timeline" { v = $n } END { print v }' "$trace"; }

# A click on the prop's second key selects it alone.
x=$(key 2 1 5) y=$(key 2 1 6)
xdotool mousemove --window "$wid" "$x" "$y"
sleep 0.2
xdotool click 1
expect '^curves selection 1 keys 0 curves$' "a click on a key selects it"

# Dragging it 60 pixels right moves it to a later frame.
drag 1 "$x" "$y" $((x + 60)) "$y"
expect '^curves moved 1 keys, first to frame ' "a drag moves the key"
frame=$(grep -E '^curves moved 1 keys' "$trace" | tail -n 1 | awk '{ print $NF }')
[ "${frame%.*}" -gt 25 ] || fail "the key went to a later frame than 25 (frame $frame)"

# The camera's third key dragged and Escape pressed before the release: it goes back. The
# showcase is stopped while the pointer moves and Escape goes down, so that it reads them at
# once (the toolkit holds the motion back behind the key): the drag still comes first.
cx=$(key 0 2 5) cy=$(key 0 2 6)
xdotool mousemove --window "$wid" "$cx" "$cy"
sleep 0.2
xdotool mousedown 1
sleep 0.2
kill -STOP "$pid"
for step in 1 2 3 4; do xdotool mousemove --window "$wid" $((cx + step * 10)) $((cy - step * 8)); sleep 0.05; done
xdotool keydown Escape
kill -CONT "$pid"
sleep 0.2
xdotool keyup Escape
xdotool mouseup 1
expect '^curves move cancelled 1 keys$' "Escape puts the dragged key back"

# A rectangle dragged up from empty space below the last keys of every curve selects them.
lx=$(key 2 4 5)
top=$(($(key 1 5 6) - 60)) bottom=$(($(ruler 4) - 20))
drag 1 $((lx + 15)) "$bottom" $((lx - 15)) "$top"
expect '^curves selection [2-9] keys 0 curves$' "a rectangle selects the keys inside it"

# A press on the ruler at its middle scrubs; the release sets the frame near 50.
rx=$(($(ruler 3) + $(ruler 5) / 2)) ry=$(($(ruler 4) + $(ruler 6) / 2))
xdotool mousemove --window "$wid" "$rx" "$ry" click 1
expect '^curves timeline frame (4[5-9]|5[0-5])$' "the ruler sets the frame where it is clicked"
# A click on the red tone curve after its last key adds a key there.
# The last "curves fcurve handle C K x y" said (x is field 6), and "curves gradient handle K x y"
# (x is field 5).
fhandle() { awk -v c="$1" -v k="$2" -v n="$3" '$1 == "curves" && $2 == "fcurve" && $3 == "handle" && $4 == c && $5 == k { v = $n } END { print v }' "$trace"; }
ghandle() { awk -v k="$1" -v n="$2" '$1 == "curves" && $2 == "gradient" && $3 == "handle" && $4 == k { v = $n } END { print v }' "$trace"; }
fx=$(($(fhandle 0 2 6) + 15)) fy=$(fhandle 0 2 7)
xdotool mousemove --window "$wid" "$fx" "$fy"
sleep 0.2
xdotool click 1
expect '^curves fcurve key value changed 1 keys added$' "a click on a curve adds a key"

# The gradient's second key dragged 40 pixels right moves to a later position.
gx=$(ghandle 1 5) gy=$(ghandle 1 6)
drag 1 "$gx" "$gy" $((gx + 40)) "$gy"
expect '^curves gradient key position changed first to 0\.[4-6]' "a drag moves the gradient key"

end_session curves
