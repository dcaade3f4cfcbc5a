#!/usr/bin/env bash
# Drives the showcase as a user would, with xdotool on the test's X server: clicks a tile,
# types Tab and Shift+Tab, drags a scene item onto the drop target, switches pages and
# colour schemes, filters and picks from a context menu, runs a shortcut, rolls over a menu
# bar, opens Help > About from the main menu bar, adds and closes tabs, scrolls a list, moves
# a slider and resizes the window,
# then checks what the showcase reported (--trace prints one line per focus change, layout
# and drop).
#   tests/e2e/demo_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1"

# Tile 1 of the focus chain: panel at x 516, tiles from x 528, y 100, 64 x 44 each, 8 apart.
xdotool mousemove --window "$wid" 560 122 click 1
expect '^focus tile_1$' "a click focuses tile 1"
xdotool key Tab
expect '^focus tile_2$' "Tab moves the focus to tile 2"
xdotool key Tab
expect '^focus tile_4$' "Tab skips the disabled tile 3"
xdotool key shift+Tab
expect '^focus tile_2$' "Shift+Tab moves the focus back to tile 2"
[ "$(grep -c '^focus ' "$trace")" -eq 4 ] || fail "one focus change per key"
# The focus is on tile 2 from here on.

# Drag the first scene item (x 534..778, y 230..260) onto the drop target (from x 796).
xdotool mousemove --window "$wid" 590 244 mousedown 1
for x in 610 660 740 840 940 1040; do xdotool mousemove --window "$wid" "$x" 352; sleep 0.05; done
xdotool mouseup 1
expect '^drop dnd_target /render/final$' "the dragged item reaches the drop target"
expect '^dropped card_1$' "the drag reports the drop"

# The page list down the left side (rows of 26 pixels from y 62: Widgets, Look, Drawing,
# OpenGL, Windows, Menus, Controls, Fields, Spreadsheet, Text, Preferences, Node graph) and the header's scheme switch at the right
# edge: the pages, a zoom of the OpenGL text and scene views with the wheel, two message boxes answered from
# the keyboard, the light scheme, and back to the widgets.
xdotool mousemove --window "$wid" 70 101 click 1
expect '^page look$' "the page list shows the Look page"
xdotool mousemove --window "$wid" 70 127 click 1
expect '^page drawing$' "the page list shows the Drawing page"
xdotool mousemove --window "$wid" 70 153 click 1
expect '^page opengl$' "the page list shows the OpenGL page"
xdotool mousemove --window "$wid" 540 200 click 4
expect '^zoom 115$' "the wheel zooms the OpenGL text view in"
xdotool mousemove --window "$wid" 540 500 click 4
expect '^scene zoom 5[78]$' "the wheel zooms the node-graph scene in"
xdotool mousemove --window "$wid" 70 179 click 1
expect '^page windows$' "the page list shows the windows page"
# The box opens centred on the main window; keys go to the window under the pointer.
xdotool mousemove --window "$wid" 290 237 click 1
sleep 0.5
xdotool mousemove --window "$wid" 660 380 key Escape
expect '^message box answer ANSWER_NO$' "Escape answers a Yes/No box with No"
xdotool mousemove --window "$wid" 855 109 click 1
sleep 0.5
xdotool mousemove --window "$wid" 660 380 key Return
expect '^about closed ANSWER_OK$' "Return closes the About box"
# The Menus page: a click focuses the context area, a right click opens its menu, typed
# text filters it (Sphere lies two levels down), Enter picks the result; then the page's
# Ctrl+D runs from the focused area. On the menu bar, File opens on a click, pointing at
# Edit moves the open menu there, and Down + Return runs its first item.
xdotool mousemove --window "$wid" 70 205 click 1
expect '^page menus$' "the page list shows the menus page"
xdotool mousemove --window "$wid" 940 422 click 1
sleep 0.2
xdotool click 3
sleep 0.5
xdotool type sph
sleep 0.3
xdotool key Return
expect '^menu click Sphere$' "typing filters the context menu and Return picks the result"
xdotool key ctrl+d
expect '^action Duplicate$' "Ctrl+D runs the page's action"
xdotool mousemove --window "$wid" 765 100 click 1
sleep 0.4
xdotool mousemove --window "$wid" 790 100
sleep 0.1
xdotool mousemove --window "$wid" 825 100
sleep 0.4
xdotool key Down Return
for _ in $(seq 1 50); do [ "$(grep -c '^action Duplicate$' "$trace")" -eq 2 ] && break; sleep 0.1; done
[ "$(grep -c '^action Duplicate$' "$trace")" -eq 2 ] || fail "the menu bar's Edit menu runs Duplicate"
# The main menu bar over the header: Help opens on a click, Up lights its last item (About),
# Return runs it, and Return closes the About box.
xdotool mousemove --window "$wid" 120 10 click 1
sleep 0.4
xdotool key Up Return
expect '^main menu Help>About$' "Help > About runs from the main menu bar"
sleep 0.5
xdotool mousemove --window "$wid" 660 380 key Return
for _ in $(seq 1 50); do [ "$(grep -c '^about closed ANSWER_OK$' "$trace")" -eq 2 ] && break; sleep 0.1; done
[ "$(grep -c '^about closed ANSWER_OK$' "$trace")" -eq 2 ] || fail "Return closes the About box opened from the menu"
# The Controls page: the add-tab tab opens a document, a tab's cross closes it, the wheel
# scrolls the list down (about three rows: the offset moves in whole slider pixels), and a
# click on the Red slider's track moves it there; the toolbar's drop-down list chooses.
xdotool mousemove --window "$wid" 70 231 click 1
expect '^page controls$' "the page list shows the controls page"
xdotool mousemove --window "$wid" 679 163 click 1
expect '^tab added Untitled 1$' "the add-tab tab opens a new document"
expect '^tab selected Untitled 1$' "the new document is selected"
xdotool mousemove --window "$wid" 243 163 click 1
expect '^tab closed Kitchen$' "the close button closes the Kitchen tab"
xdotool mousemove --window "$wid" 840 400 click 5
expect '^list offset [1-9][0-9]*$' "the wheel scrolls the list down"
xdotool mousemove --window "$wid" 1130 245 click 1
expect '^slider Red 0\.[0-9]+$' "a click near the left of the Red slider sets a low value"
xdotool mousemove --window "$wid" 1170 101 click 1
sleep 0.4
xdotool key Up Return
expect '^display mode Bounds$' "the toolbar's drop-down list opens on a click and Up, Return picks its last entry"
xdotool mousemove --window "$wid" 70 283 click 1
expect '^page spreadsheet$' "the page list shows the spreadsheet"
# Its Name title (x 202..480, y 108..127) sorts; a cell of the second row (y 150..172) selects.
xdotool mousemove --window "$wid" 300 117 click 1
expect '^spreadsheet sort 0 1$' "a title click sorts the spreadsheet by its column"
xdotool mousemove --window "$wid" 300 161 click 1
expect '^spreadsheet selection 1 cells in 1 rows, cursor 0 1$' "a click selects one cell"
xdotool key Down
expect '^spreadsheet selection 1 cells in 1 rows, cursor 0 2$' "Down moves the cursor to the next row"
# A double click on that third row (y 173..195) edits its name in place; Return keeps it.
xdotool mousemove --window "$wid" 300 184 click --repeat 2 --delay 80 1
sleep 0.3
xdotool type renamed
xdotool key Return
expect '^spreadsheet edit 0 2 "renamed"$' "a double click edits the cell and Return keeps the text"
# The filter edit (x 984..1160) and the tree switch (x 1172..1310) beside the status line (y 701..722).
xdotool mousemove --window "$wid" 1070 711 click 1 type camera
expect '^spreadsheet filter "camera" [1-9][0-9]* rows$' "typed words highlight the matching names"
xdotool mousemove --window "$wid" 1240 711 click 1
expect '^spreadsheet tree on [1-9][0-9]* rows shown$' "the check button shows the contexts as a tree"
xdotool mousemove --window "$wid" 70 335 click 1
expect '^page preferences$' "the page list shows the preferences"
xdotool mousemove --window "$wid" 1257 39 click 1
expect '^scheme light$' "the scheme button switches to the light scheme"
xdotool mousemove --window "$wid" 70 75 click 1
expect '^page widgets$' "the page list shows the widgets again"

# Two seconds of work that keeps the window alive: a click during it is refused (the
# interface is disabled), and the interface comes back afterwards.
xdotool mousemove --window "$wid" 940 582 click 1
expect '^computation started$' "the computation starts"
sleep 0.8
xdotool mousemove --window "$wid" 560 122 click 1
expect '^computation done ok$' "the computation ends"
sleep 0.3
[ "$(grep -c '^focus tile_1$' "$trace")" -eq 1 ] || fail "a click during the computation is refused"
xdotool mousemove --window "$wid" 560 122 click 1
for _ in $(seq 1 50); do [ "$(grep -c '^focus tile_1$' "$trace")" -eq 2 ] && break; sleep 0.1; done
[ "$(grep -c '^focus tile_1$' "$trace")" -eq 2 ] || fail "the interface takes clicks again"

# Narrow the window: the panels on the right follow its right edge.
xdotool windowsize "$wid" 1040 640
expect '^layout focus_panel 516 64 516 96$' "the focus panel follows the window's width"
expect '^layout tile_right 930 100 90 44$' "the right-edge tile keeps its distance to the right edge"
expect '^layout scene_panel 516 418 516 190$' "the scene panel follows the window's bottom edge"

end_session demo
