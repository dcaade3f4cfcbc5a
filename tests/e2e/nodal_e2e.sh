#!/usr/bin/env bash
# Drives the showcase's node-graph page as a user would, with xdotool on the test's X server:
# adds two nodes with the N key, connects them by dragging from a plug to a plug, cuts the
# link with a right-button knife, undoes the cut from the menu bar, moves a node by its
# title, undoes the move, lays the graph out with the L key and undoes that, enters and
# leaves a subnet, stores a bookmark and goes back to it, and frames the whole graph with the
# A key; then checks what the
# showcase reported (--trace prints a line per added node, selection, move, zoom and
# undo-history change, with the number of links).
#   tests/e2e/nodal_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
export HOME="$(mktemp -d)"  # the bookmark goes into a preferences file of its own
start_showcase "$1" --page nodal

# An empty part of the graph, right of the sample and left of the minimap in the view's
# bottom-right corner: a click there gives the view the keys.
xdotool mousemove --window "$wid" 1000 680 click 1
sleep 0.2
xdotool mousemove --window "$wid" 1090 330
sleep 0.1
xdotool key n
expect '^nodal add node_1 ' "N adds a node under the pointer"
# The second time the showcase is stopped while the pointer moves and N is typed, so that it
# reads both at once (the toolkit holds the motion back behind the key): the node still goes
# under the pointer.
kill -STOP "$pid"
xdotool mousemove --window "$wid" 1180 470
xdotool key n
kill -CONT "$pid"
expect '^nodal add node_2 ' "N adds a second node"
# "nodal add NAME in X Y out X Y title X Y", in window pixels.
field() { awk -v name="$1" -v n="$2" '$1 == "nodal" && $2 == "add" && $3 == name { print $n; exit }' "$trace"; }
out1x="$(field node_1 8)"
out1y="$(field node_1 9)"
in2x="$(field node_2 5)"
in2y="$(field node_2 6)"
title2x="$(field node_2 11)"
title2y="$(field node_2 12)"
[ "$in2x" -eq 1180 ] && [ "$in2y" -gt 450 ] && [ "$in2y" -lt 490 ] ||
    fail "N typed right after a move adds the node under the pointer (its input plug is at $in2x $in2y)"

# Connect: from node 1's output plug to node 2's input plug.
drag 1 "$out1x" "$out1y" "$in2x" "$in2y"
expect '^nodal history Connect links [0-9]+$' "dragging from a plug to a plug connects them"
links="$(grep '^nodal history Connect links' "$trace" | tail -n 1 | awk '{print $NF}')"

# Cut: a right-button stroke across the new link, halfway down.
middle_y=$(((out1y + in2y) / 2))
drag 3 $((in2x - 120)) "$middle_y" $((in2x + 140)) "$middle_y"
expect "^nodal history Disconnect links $((links - 1))$" "the knife cuts the link"

# Undo from the menu bar: the link is back.
xdotool mousemove --window "$wid" 163 9 click 1
expect "^nodal history Connect links ${links}$" "Undo brings the cut link back" 2

# Move node 2 by its title, then undo the move.
drag 1 "$title2x" "$title2y" $((title2x + 60)) $((title2y + 30))
expect '^nodal selection 1$' "pressing a node's title selects it"
expect '^nodal moved$' "dragging the title moves the node"
expect "^nodal history Move Nodes links ${links}$" "the move is an undo step"
xdotool mousemove --window "$wid" 163 9 click 1
expect "^nodal history Connect links ${links}$" "Undo takes the move back" 3

# L, with nothing selected, lays every node out in columns as one undo step; Undo puts them back.
xdotool mousemove --window "$wid" 1000 680 click 1
expect '^nodal selection 0$' "a click on empty space clears the selection"
xdotool key l
expect "^nodal history Layout links ${links}$" "L lays the graph out as one undo step"
xdotool mousemove --window "$wid" 163 9 click 1
expect "^nodal history Connect links ${links}$" "Undo takes the layout back" 4

# Subnets: I with the pointer over the "prop_4_textures" subnet enters it, U leaves it. The showcase
# traces where each subnet and bookmark button is after a frame that moved them.
place() { awk -v kind="$1" -v name="$2" '$1 == "nodal" && $2 == kind && $3 == name { x = $4; y = $5 } END { print x, y }' "$trace"; }
read -r subnet_x subnet_y <<<"$(place subnet prop_4_textures)"
[ -n "$subnet_x" ] || fail "the showcase traces the prop_4_textures subnet"
xdotool mousemove --window "$wid" 1000 680 click 1  # the view takes the keys back from the menu bar
sleep 0.2
xdotool mousemove --window "$wid" "$subnet_x" "$subnet_y"
sleep 0.1
xdotool key i
expect '^nodal scope 1 prop_4_textures$' "I over a subnet enters it"
xdotool key u
expect '^nodal scope 0 $' "U leaves it"

# Bookmarks: Ctrl+B asks for a name ("mark2", after the page's own "Start"), Return stores
# the viewpoint; after A frames everything, a click on the new button goes back to it.
xdotool mousemove --window "$wid" 1000 680
sleep 0.1
xdotool key ctrl+b
sleep 0.5
xdotool key Return
expect '^nodal bookmark mark2 ' "Ctrl+B and Return add a bookmark button"
zoom_line="$(grep '^nodal zoom ' "$trace" | tail -n 1)"
zoom_line="${zoom_line:-nodal zoom 100}"
xdotool key a
expect '^nodal zoom ' "A frames the whole graph" "$(($(grep -c '^nodal zoom ' "$trace") + 1))"
returns="$(($(grep -c -x "$zoom_line" "$trace") + 1))"
read -r mark_x mark_y <<<"$(place bookmark mark2)"
xdotool mousemove --window "$wid" "$mark_x" "$mark_y" click 1
expect "^${zoom_line}\$" "a click on the bookmark goes back to its viewpoint" "$returns"

# Frame everything: the view zooms out to show the whole graph.
xdotool mousemove --window "$wid" 1000 680
sleep 0.1
xdotool key a
expect '^nodal zoom [1-9][0-9]?$' "A frames the whole graph"

end_session nodal
