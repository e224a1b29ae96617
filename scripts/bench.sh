#!/bin/sh
# Builds the benchmarks (Release, build/bench), runs every one of them and
# prints ours / peer ratios measured in the same run. Installs the peer
# libraries' Debian packages first when they are missing (needs apt-get and
# root or sudo). Extra arguments go to every benchmark program, e.g.
#   ./scripts/bench.sh --benchmark_min_time=1
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
dir="$root/build/bench"

packages="libbenchmark-dev libboost-dev libpcre2-dev libre2-dev libhyperscan-dev"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "== installing$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update && $sudo apt-get install -y $missing
fi

echo "== building in $dir"
build_in "$dir" "" -DCMAKE_BUILD_TYPE=Release -DXVKIT_BUILD_BENCH=ON \
    -DXVKIT_BUILD_TESTS=OFF -DXVKIT_BUILD_TOOLS=OFF || exit 1

results=""
for program in "$dir"/bench/bench_*; do
    name=$(basename "$program")
    echo "== running $name"
    "$program" --benchmark_out="$dir/$name.json" --benchmark_out_format=json "$@" >/dev/null
    results="$results $dir/$name.json"
done

echo "== ratios (CPU time; ours / peer below 1 means xvkit is faster)"
python3 "$root/scripts/bench_ratios.py" $results
