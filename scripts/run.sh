#!/bin/sh
# Builds the library in release mode and runs the main program.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DXVKIT_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j "${JOBS:-2}" >/dev/null
exec "$root/build/release/examples/xvkit-dates" "$@"
