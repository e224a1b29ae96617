#!/bin/sh
# Runs every test program of a plain (unsanitized) build under valgrind
# memcheck; any memory error or leak fails the script. The locale tests find
# their compiled locales through LOCPATH. Slow: not part of scripts/test.sh.
#   ./scripts/valgrind.sh
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
dir="$root/build/valgrind"
if ! build_in "$dir" "" -DCMAKE_BUILD_TYPE=Debug -DXVKIT_SANITIZE=OFF; then
    echo "== valgrind build failed"
    exit 1
fi
export LOCPATH="$dir/locales"
status=0
programs=0
failed=0
for test in $(find "$dir/tests" -type f -name '*_test' -perm -u+x | sort); do
    programs=$((programs + 1))
    if valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
            --errors-for-leak-kinds=definite,indirect "$test" --gtest_brief=1 \
            >"$test.valgrind.log" 2>&1; then
        echo "== $(basename "$test"): clean"
    else
        echo "== $(basename "$test"): FAILED"
        tail -40 "$test.valgrind.log"
        failed=$((failed + 1))
        status=1
    fi
done
echo "== memcheck: $programs test programs, $failed with errors or leaks"
exit $status
