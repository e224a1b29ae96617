#!/bin/sh
# Builds the library and the xvkit tool in release mode and runs the tool:
# `./scripts/run.sh` shows the tour; `./scripts/run.sh COMMAND ARGS...` runs
# any other subcommand (see `./scripts/run.sh --help`).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DXVKIT_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j "${JOBS:-2}" >/dev/null
exec "$root/build/release/tools/xvkit" "$@"
