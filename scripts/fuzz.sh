#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a fixed time
# (default 60 seconds): ./scripts/fuzz.sh [seconds]. New inputs go to a scratch
# directory; the seed corpus in fuzz/corpus/<target> is only read. A crash
# leaves its input as crash-* in build/fuzz/artifacts and fails the script.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
seconds=${1:-60}
dir="$root/build/fuzz"
CXX=${FUZZ_CXX:-clang++-14}
export CXX
if ! build_in "$dir" "" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXVKIT_BUILD_FUZZ=ON \
        -DXVKIT_BUILD_TESTS=OFF -DXVKIT_BUILD_TOOLS=OFF; then
    echo "== fuzz build failed"
    exit 1
fi
status=0
mkdir -p "$dir/artifacts"
for seeds in "$root"/fuzz/corpus/*; do
    target=$(basename "$seeds")_fuzzer
    scratch=$(mktemp -d)
    # Zone files run to a few kilobytes; every other input is short text.
    case $target in
        zone_file_fuzzer) max_len=8192 ;;
        *) max_len=256 ;;
    esac
    echo "== $target for ${seconds}s"
    if ! "$dir/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
            -artifact_prefix="$dir/artifacts/" -print_final_stats=1 "$scratch" "$seeds" \
            >"$dir/$target.log" 2>&1; then
        tail -40 "$dir/$target.log"
        echo "== $target failed"
        status=1
    fi
    grep -E "stat::number_of_executed_units" "$dir/$target.log"
    rm -rf "$scratch"
done
exit $status
