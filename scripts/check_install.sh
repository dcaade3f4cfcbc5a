#!/usr/bin/env bash
# Installs the libraries of a configured build folder into <build>/install, then builds
# examples/hello against that tree twice, through its CMake package and through pkg-config,
# and runs each build on the display (a virtual X server under `make`), writing a screenshot.
#     scripts/check_install.sh BUILD_FOLDER
set -euo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="$build/install"
out="$build/hello"
rm -rf "$prefix" "$out"
mkdir -p "$out"

cmake --install "$build" --prefix "$prefix" > "$out/install.log"

# The headers are C++20: both ways of building against the library ask for it, so that a
# program that does not set the standard itself still compiles them.
grep -q 'INTERFACE_COMPILE_FEATURES "cxx_std_20"' "$(find "$prefix" -name qn_guiTargets.cmake)" ||
    { echo "check_install: the CMake package does not ask for C++20" >&2; exit 1; }
grep -q '^Cflags:.*-std=c++20' "$(find "$prefix" -name qn_gui.pc)" ||
    { echo "check_install: the pkg-config file does not ask for C++20" >&2; exit 1; }

# Through the CMake package.
cmake -S "$root/examples/hello" -B "$out/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > "$out/cmake.log"
cmake --build "$out/cmake" >> "$out/cmake.log"

# Through pkg-config, as a one-line build.
libdir="$(PKG_CONFIG_PATH="$(dirname "$(find "$prefix" -name qn_gui.pc)")" pkg-config --variable=libdir qn_gui)"
PKG_CONFIG_PATH="$libdir/pkgconfig" c++ "$root/examples/hello/hello.cpp" -o "$out/hello_pkgconfig" \
    $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs qn_gui) -Wl,-rpath,"$libdir"

for program in "$out/cmake/hello" "$out/hello_pkgconfig"; do
    picture="$program.png"
    "$program" --screenshot "$picture"
    [ -s "$picture" ] || { echo "check_install: $program wrote no picture" >&2; exit 1; }
    echo "check_install: $program drew $picture"
done
