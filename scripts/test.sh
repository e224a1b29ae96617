#!/bin/sh
# Runs the hostile-input checks (fuzzers for 15 s each, ThreadSanitizer), then
# the whole test suite twice: a normal optimised (-O3) build with warnings as
# errors and an unoptimised (-O0) AddressSanitizer + UBSan build, so the
# output ends with CTest's summary.
# Exits non-zero on any failure.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
jobs=${JOBS:-2}
status=0

run_suite() {
    name=$1
    shift
    dir="$root/build/test-$name"
    echo "== $name build"
    if ! build_in "$dir" "" "$@"; then
        echo "== $name build failed"
        status=1
        return
    fi
    ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 600 || status=1
}

mkdir -p "$root/build"
echo "== hostile input: fuzzers (15 s each) and ThreadSanitizer"
"$root/scripts/fuzz.sh" 15 || status=1
"$root/scripts/tsan.sh" || status=1
# The normal build is the release build that scripts/run.sh makes.
run_suite normal -DCMAKE_BUILD_TYPE=Release -DXVKIT_SANITIZE=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite sanitize -DCMAKE_BUILD_TYPE=Debug -DXVKIT_SANITIZE=ON
exit $status
