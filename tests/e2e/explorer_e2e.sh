#!/usr/bin/env bash
# Uses the showcase's explorer as a user would, with xdotool on the test's X server: types a
# filter, renames a texture in place (F2), drags it onto another context, and undoes the move
# and the rename with Edit > Undo (Ctrl+Z); then checks what the page reported (--trace
# prints "explorer ..." lines: the filter's result, the scene's renames and moves, and
# "explorer row PATH KIND X Y" for the tree's shown rows).
#   tests/e2e/explorer_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page explorer
expect '^explorer rows shown ' "the explorer reports its rows"

# The last reported position of a row, or of the filter field: "X Y".
row_at() { awk -v p="$1" '$1 == "explorer" && $2 == "row" && $3 == p { v = $5 " " $6 } END { print v }' "$trace"; }
field_at() { awk '$1 == "explorer" && $2 == "filter" && $3 == "field" { v = $4 " " $5 } END { print v }' "$trace"; }
click_at() { xdotool mousemove --window "$wid" $1 click 1; }
TEXTURE=/textures/block_0/prop_1_diffuse

# Typing in the filter leaves the texture and the contexts holding it.
click_at "$(field_at)"
xdotool type --delay 30 "prop_1_diffuse"
expect '^explorer filter "prop_1_diffuse" [0-9]+ rows$' "the filter answers each keystroke"
expect "^explorer row $TEXTURE object " "the filtered tree shows the texture"

# A click selects it; F2 opens its name, which is replaced and applied with Return.
click_at "$(row_at $TEXTURE)"
expect "^explorer selection 1 items, first $TEXTURE\$" "a click selects the texture"
xdotool key F2
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 20 "prop_1_diffuse_b"
xdotool key Return
expect "^explorer renamed prop_1_diffuse -> ${TEXTURE}_b\$" "F2 renames the texture in place"
expect "^explorer row ${TEXTURE}_b object " "the renamed texture keeps its row"

# Dragged onto /textures, it moves there.
sleep 0.3
read -r x0 y0 <<<"$(row_at ${TEXTURE}_b)"
read -r x1 y1 <<<"$(row_at /textures)"
drag 1 "$x0" "$y0" "$x1" "$y1"
expect '^explorer moved /textures/prop_1_diffuse_b$' "a drag onto a context moves the texture"

# Undo takes back the move, then the rename, one step each.
xdotool key ctrl+z
expect "^explorer moved ${TEXTURE}_b\$" "Ctrl+Z undoes the move"
xdotool key ctrl+z
expect "^explorer renamed prop_1_diffuse_b -> $TEXTURE\$" "a second Ctrl+Z undoes the rename"
end_session explorer
