#!/usr/bin/env bash
# Edits the showcase's sheet of every cell kind as a user would, with xdotool on the test's X
# server: sorts by a column, selects a cell, edits a number with units in place, ticks a check
# box, copies a cell and pastes it into another, and undoes the paste and the number through
# Edit > Undo (Ctrl+Z); then checks what the page reported (--trace prints "spreadsheet cells
# ..." lines, and "spreadsheet cells at <column> x y w h" for the sheet's first row).
#   tests/e2e/spreadsheet_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page spreadsheet
expect '^spreadsheet cells at 12 ' "the cell sheet tells where its cells are"
sleep 0.5

# "spreadsheet cells at COLUMN x y w h" (the last said): the middle of a column's cell in row `row`.
at() { awk -v c="$1" -v n="$2" '$1 == "spreadsheet" && $2 == "cells" && $3 == "at" && $4 == c { v = $n } END { print v }' "$trace"; }
cx() { echo $(($(at "$1" 5) + $(at "$1" 7) / 2)); }
cy() { echo $(($(at "$1" 6) + $(at "$1" 8) * $2 + $(at "$1" 8) / 2)); }
title_y() { echo $(($(at 0 6) - 10)); }
SIZE=4 VISIBLE=1 SHADING=5 DIGITS=12

# A click on the Size title sorts by size; a second one descending.
xdotool mousemove --window "$wid" "$(cx $SIZE)" "$(title_y)" click 1
expect "^spreadsheet cells sort $SIZE 1\$" "a title click sorts the cells by size"
xdotool mousemove --window "$wid" "$(cx $SIZE)" "$(title_y)" click 1
expect "^spreadsheet cells sort $SIZE -1\$" "a second click sorts them descending"

# A click selects the first row's size; a double click edits it: 3 metres typed.
xdotool mousemove --window "$wid" "$(cx $SIZE)" "$(cy $SIZE 0)" click 1
expect "^spreadsheet cells selection 1 cells in 1 rows, cursor $SIZE 0\$" "a click selects a size"
xdotool click --repeat 2 --delay 80 1
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 20 "3"
xdotool key Return
expect "^spreadsheet cells edit $SIZE 0 \"3" "a double click edits the number and Return applies it"

# A double click on a shading opens its list; Up and Return choose the entry above.
xdotool mousemove --window "$wid" "$(cx $SHADING)" "$(cy $SHADING 3)" click --repeat 2 --delay 80 1
sleep 0.5
xdotool key Up Return
expect "^spreadsheet cells edit $SHADING 3 \"(smooth|flat|wireframe)\"\$" "the list of a shading cell chooses"

# The check box of the second row switches with one click.
xdotool mousemove --window "$wid" "$(cx $VISIBLE)" "$(cy $VISIBLE 1)" click 1
expect "^spreadsheet cells edit $VISIBLE 1 \"(true|false)\"\$" "a click switches a check box"

# Ctrl+C on the first row's digits, Ctrl+V on the third row's: the value goes across.
xdotool mousemove --window "$wid" "$(cx $DIGITS)" "$(cy $DIGITS 0)" click 1
expect "^spreadsheet cells selection 1 cells in 1 rows, cursor $DIGITS 0\$" "a click selects the digits"
xdotool key ctrl+c
xdotool mousemove --window "$wid" "$(cx $DIGITS)" "$(cy $DIGITS 2)" click 1
expect "^spreadsheet cells selection 1 cells in 1 rows, cursor $DIGITS 2\$" "a click selects other digits"
xdotool key ctrl+v
expect "^spreadsheet cells edit $DIGITS 2 \"[0-9]+\"\$" "Ctrl+V pastes the copied digits"
pasted="$(grep -E "^spreadsheet cells edit $DIGITS 2 " "$trace" | tail -n 1 | sed 's/.* "\(.*\)"$/\1/')"

# Undo takes back the paste, the check box, the list's choice and the number, one a step.
before=$(grep -c -E "^spreadsheet cells edit " "$trace")
xdotool key ctrl+z
expect "^spreadsheet cells edit $DIGITS 2 \"[0-9]+\"\$" "Ctrl+Z undoes the paste" 2
restored="$(grep -E "^spreadsheet cells edit $DIGITS 2 " "$trace" | tail -n 1 | sed 's/.* "\(.*\)"$/\1/')"
[ "$restored" != "$pasted" ] || fail "the undone paste brings the old digits back ($restored)"
xdotool key ctrl+z
expect "^spreadsheet cells edit $VISIBLE 1 " "a second Ctrl+Z undoes the check box" 2
xdotool key ctrl+z
expect "^spreadsheet cells edit $SHADING 3 " "a third Ctrl+Z undoes the list's choice" 2
xdotool key ctrl+z
expect "^spreadsheet cells edit $SIZE 0 " "a fourth Ctrl+Z undoes the number" 2
[ "$(grep -c -E "^spreadsheet cells edit " "$trace")" -eq $((before + 4)) ] || fail "each undo changes one cell"
end_session spreadsheet
