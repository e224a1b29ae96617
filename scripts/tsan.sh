#!/bin/sh
# Builds the library and the concurrency test with ThreadSanitizer and runs
# it; any reported race fails the script.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/tsan"
mkdir -p "$root/build"
if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
        -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
        >"$dir.log" 2>&1 ||
    ! cmake --build "$dir" -j "${JOBS:-2}" --target concurrency_test >>"$dir.log" 2>&1; then
    cat "$dir.log"
    echo "== tsan build failed"
    exit 1
fi
TSAN_OPTIONS=halt_on_error=1:exitcode=66 "$dir/tests/concurrency/concurrency_test"
