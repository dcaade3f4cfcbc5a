#!/usr/bin/env bash
# Checks that the usage examples in the comments of the headers under host/ and gui/ call
# only what those headers declare, with fitting argument counts (see header_examples.py).
# Usage: tests/lint/header_examples.sh [SOURCE_ROOT]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec python3 "$here/header_examples.py" "${1:-$here/../..}"
