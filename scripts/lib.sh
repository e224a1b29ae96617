# Sourced by the scripts after they set $root (the source tree).
# shellcheck shell=sh
: "${root:?lib.sh needs root, the source tree}"

# build_in DIR TARGET [CMAKE_ARGS...]: configures the source tree in DIR with
# CMAKE_ARGS and builds TARGET there (every target when TARGET is empty),
# with $JOBS jobs (default 2), logging both steps to DIR.log. On failure
# prints the log and returns non-zero.
build_in() {
    build_dir=$1
    build_target=$2
    shift 2
    mkdir -p "$(dirname "$build_dir")"
    if ! cmake -S "$root" -B "$build_dir" "$@" >"$build_dir.log" 2>&1 ||
        ! cmake --build "$build_dir" -j "${JOBS:-2}" ${build_target:+--target "$build_target"} \
            >>"$build_dir.log" 2>&1; then
        cat "$build_dir.log"
        return 1
    fi
}
