#!/usr/bin/env bash
# Edits the script on the showcase's Text page as a user would, with xdotool on the test's X
# server: a line typed into the editor, a search from the find field, a replace-all, the line
# commented with Ctrl+Shift+C, and every step undone with Ctrl+Z; then checks what the page
# reported (--trace prints "text modified <count> lines <n> line <l>: <text>" after every
# change, "text found ..." and "text replaced ...", and where its widgets are at start).
#   tests/e2e/text_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page text

# "text at NAME x y w h": the widgets' boxes.
at() { awk -v name="$1" -v n="$2" '$1 == "text" && $2 == "at" && $3 == name { print $n; exit }' "$trace"; }
middle_x() { echo $(($(at "$1" 4) + $(at "$1" 6) / 2)); }
middle_y() { echo $(($(at "$1" 5) + $(at "$1" 7) / 2)); }

# Line 6 of the script is empty: a click far right on it puts the caret there.
line_h="$(awk '$1 == "text" && $2 == "line_height" { print $3; exit }' "$trace")"
ex=$(($(at editor 4) + 300))
ey=$(($(at editor 5) + 1 + 5 * line_h + line_h / 2))
xdotool mousemove --window "$wid" "$ex" "$ey" click 1
sleep 0.1
xdotool type --delay 20 "var total = 42;"
expect '^text modified .* line 6: var total = 42;$' "the typed line shows in the editor"

# Return in the find field searches from the caret and wraps to the match.
xdotool mousemove --window "$wid" "$(middle_x find)" "$(middle_y find)" click 1
sleep 0.1
xdotool type --delay 20 "total"
xdotool key Return
expect "^text found 'total' at line 6$" "the search finds the typed word"

# Replace all, from the replace field and its button.
xdotool mousemove --window "$wid" "$(middle_x replace)" "$(middle_y replace)" click 1
sleep 0.1
xdotool type --delay 20 "sum"
xdotool mousemove --window "$wid" "$(middle_x replace_all)" "$(middle_y replace_all)" click 1
expect "^text replaced 1 'total' with 'sum'$" "replace all reports one replacement"
expect '^text modified .* line 6: var sum = 42;$' "the line holds the replacement"

# The editor has the focus back: comment the line, then undo everything.
xdotool key ctrl+shift+c
expect '^text modified .* line 6: //var sum = 42;$' "Ctrl+Shift+C comments the line"
xdotool key ctrl+z
expect '^text modified .* line 6: var sum = 42;$' "the first undo removes the comment" 2
xdotool key ctrl+z
expect '^text modified .* line 6: var total = 42;$' "the second undo takes the replacement back" 2
xdotool key ctrl+z
expect '^text modified 0 lines .* line 6: $' "the third undo removes the typed text at once"

end_session text
