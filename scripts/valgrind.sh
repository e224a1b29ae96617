#!/bin/sh
# Runs every test program of a plain build under valgrind memcheck; any
# memory error or leak fails the script. Slow: not part of scripts/test.sh.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/valgrind"
mkdir -p "$root/build"
if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug >"$dir.log" 2>&1 ||
    ! cmake --build "$dir" -j "${JOBS:-2}" >>"$dir.log" 2>&1; then
    cat "$dir.log"
    echo "== valgrind build failed"
    exit 1
fi
status=0
for test in $(find "$dir/tests" -type f -name '*_test' -perm -u+x | sort); do
    echo "== $(basename "$test")"
    valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
        "$test" --gtest_brief=1 >"$test.valgrind.log" 2>&1 || {
        tail -40 "$test.valgrind.log"
        status=1
    }
done
exit $status
