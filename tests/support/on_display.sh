#!/bin/sh
# Runs a test command on the X display ctest allotted to it (resource "display", see
# scripts/run_tests.sh): "id:d99,..." means DISPLAY=:99; "current", or no allotment (a run
# without a resource file, or listing a suite's tests), keeps the DISPLAY there is.
allotted="${CTEST_RESOURCE_GROUP_0_DISPLAY:-}"
case "$allotted" in
    id:d[0-9]*)
        number="${allotted#id:d}"
        DISPLAY=":${number%%,*}"
        export DISPLAY
        ;;
esac
exec "$@"
