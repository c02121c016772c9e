#!/usr/bin/env bash
# Installs what is needed; builds the sanitizer build (the tests) and the
# package build (the installed program, its Debian package and the
# benchmarks); starts an X server with RandR and a PulseAudio null sink; runs
# every test under AddressSanitizer and UndefinedBehaviorSanitizer; runs each
# parser's fuzz target briefly (scripts/fuzz.sh); then tests the package
# (scripts/package-test.sh). Prints how long each step took.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

step_start=$SECONDS
step() {
    echo "== $1 took $((SECONDS - step_start)) s (total $SECONDS s)"
    step_start=$SECONDS
}

bash scripts/deps.sh
step "deps"

jobs="$(nproc)"
# Compiler cache: a rebuild, and a fresh clone on the same machine, compile
# only what changed. Paths are hashed relative to the clone, and the build
# folder is left out of the hash (it only names where debug info was made).
cache_args=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
    cache_args=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset asan "${cache_args[@]}" >/dev/null
cmake --build --preset asan -j "$jobs"
step "sanitizer build"
cmake --preset package "${cache_args[@]}" >/dev/null
cmake --build --preset package -j "$jobs"
cpack --preset package >/dev/null
step "package build"

state="$(mktemp -d /tmp/verbaro-svc.XXXXXX)"
cleanup() { bash "$root/scripts/services.sh" stop "$state" || true; }
trap cleanup EXIT
eval "$(bash scripts/services.sh start "$state")"
export VERBARO_REQUIRE_SERVICES=1
(
    export XDG_DATA_HOME="$state/xdg-data" XDG_CONFIG_HOME="$state/xdg-config"
    export ASAN_OPTIONS="detect_leaks=1"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ctest --preset asan -j "$jobs" --timeout 900
)
step "tests"

bash scripts/fuzz.sh smoke
step "fuzz smoke runs"

bash scripts/package-test.sh "$(ls -1t build/package/verbaro_*.deb | head -n1)"
step "package test"
