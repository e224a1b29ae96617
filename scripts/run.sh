#!/bin/sh
# Builds the library, the xvkit tool and the test locales in release mode
# (build/release) and runs the tool: `./scripts/run.sh` shows the tour;
# `./scripts/run.sh COMMAND ARGS...` runs any other subcommand (see
# `./scripts/run.sh --help`). The tool finds the compiled locales (en_US,
# de_DE, fr_FR, en_IN, ja_JP, sv_SE...) through XVKIT_LOCPATH when the C
# runtime has no locale of the name asked for.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
dir="$root/build/release"
if ! build_in "$dir" "" -DCMAKE_BUILD_TYPE=Release -DXVKIT_BUILD_TESTS=OFF >&2; then
    echo "run.sh: the build failed (log in $dir.log)" >&2
    exit 2
fi
XVKIT_LOCPATH="$dir/locales" exec "$dir/tools/xvkit" "$@"
