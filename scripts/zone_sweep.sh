#!/bin/sh
# Compares QNZoneTZ with the C runtime for every zone of the database under
# /usr/share/zoneinfo (or $TZDIR): every TZif file that is not a link, outside
# the posix/ and right/ copies. period(), extract() and instants() are
# compared over the whole range 1901-2037 (around every change, the wall-clock
# times it skips or repeats, and every 12 hours), the QNZone answers over
# 1970-2036 from each zone's exactFrom year on. Prints the zones that disagree
# and the totals; exits non-zero when a zone disagrees.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
dir="$root/build/sweep"
zoneinfo=${TZDIR:-/usr/share/zoneinfo}
if ! build_in "$dir" zone_sweep -DCMAKE_BUILD_TYPE=Release; then
    echo "== sweep build failed"
    exit 1
fi
cd "$zoneinfo" || exit 1
find . -type f ! -path './posix/*' ! -path './right/*' ! -name posixrules ! -name localtime |
    sed 's|^\./||' | sort |
    while read -r name; do
        # Only compiled zone files (the folder also holds tables and notes).
        [ "$(head -c 4 "$name")" = TZif ] && echo "$name"
    done | "$dir/tests/datetime/zone_sweep"
