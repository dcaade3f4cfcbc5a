#!/usr/bin/env bash
# Draws the showcase on a virtual X server and writes its pictures into a folder:
#   scripts/screenshots.sh path/to/qn_demo path/to/screenshots
set -euo pipefail
demo="$1"
out="$2"
mkdir -p "$out"
shoot() {  # name, then qn_demo options
    local name="$1"; shift
    xvfb-run -a -s "-screen 0 1600x1200x24" "$demo" --screenshot "$out/$name.png" "$@"
    echo "screenshots: $out/$name.png"
}
shoot showcase
shoot showcase_narrow --resize 1000x620
shoot showcase_light --scheme light
shoot look_dark --page look
shoot look_light --page look --scheme light
shoot drawing --page drawing
shoot opengl --page opengl
shoot windows --page windows
shoot preferences --page preferences
shoot menus --page menus
shoot controls --page controls
shoot controls_narrow --page controls --resize 1000x620
shoot fields --page fields
shoot spreadsheet --page spreadsheet
shoot text --page text
shoot tree --page tree
shoot curves --page curves
shoot explorer --page explorer
shoot nodal --page nodal
# The whole graph before and after the view's layout (L), framed (A).
shoot nodal_before_layout --page nodal --nodal-action "fit all"
shoot nodal_after_layout --page nodal --nodal-action layout --nodal-action "fit all"
shoot layout --page layout --snapshots 3
