#!/bin/sh
# Builds the library and the concurrency test with ThreadSanitizer and runs
# it; any reported race fails the script.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
dir="$root/build/tsan"
if ! build_in "$dir" concurrency_test -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
        -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread; then
    echo "== tsan build failed"
    exit 1
fi
TSAN_OPTIONS=halt_on_error=1:exitcode=66 "$dir/tests/concurrency/concurrency_test"
