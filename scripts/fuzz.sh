#!/usr/bin/env bash
# scripts/fuzz.sh [seconds | smoke]: builds the "fuzz" preset (clang, libFuzzer,
# ASan + UBSan; the parsers' fuzz targets only) and runs each target for the
# given time (default 15 s) on its seeds in fuzz/corpus/<target>. Fails when
# a target crashes, leaks, times out or runs out of memory; the input that
# did it is kept in build/fuzz/artifacts/. New inputs found go to a scratch
# folder: the seeds in the repository do not change. Longer runs by hand:
# fuzz/README.md.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
# "smoke" (what CI runs): a fixed seed and a fixed number of inputs per
# target, about 10 s each here, so a run finds the same thing on every
# machine and a new chmlib fault cannot turn CI red at random.
mode="${1:-15}"
seconds="$mode"
declare -A smoke_runs=([agent]=50000 [chm]=50000 [grammar]=50000 [ini]=20000 [jpeg]=50000
    [registry]=3000 [swf]=50000 [wave]=10000)
jobs="$(nproc)"

cache_args=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
    cache_args=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset fuzz "${cache_args[@]}" >/dev/null
cmake --build --preset fuzz -j "$jobs"

bin="$root/build/fuzz/fuzz"
artifacts="$root/build/fuzz/artifacts"
scratch="$(mktemp -d /tmp/verbaro-fuzz.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$artifacts"
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_target() {
    local target="$1" dict=()
    [ -f "fuzz/dict/$target.dict" ] && dict=(-dict="fuzz/dict/$target.dict")
    mkdir -p "$scratch/$target"
    local budget=(-max_total_time="$seconds")
    [ "$mode" = smoke ] && budget=(-seed=1 -runs="${smoke_runs[$target]}" -max_total_time=120)
    if "$bin/${target}_fuzzer" "${budget[@]}" -timeout=10 -rss_limit_mb=2048 \
        -malloc_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
        "${dict[@]}" "$scratch/$target" "fuzz/corpus/$target" >"$scratch/$target.log" 2>&1; then
        echo "fuzz $target: $(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$scratch/$target.log" |
            grep -Eo '[0-9]+$') runs, clean"
    else
        echo "fuzz $target: FAILED (input kept in $artifacts)"
        tail -n 60 "$scratch/$target.log"
        return 1
    fi
}

targets=(agent chm grammar ini jpeg registry swf wave)
failed=0
pids=()
for target in "${targets[@]}"; do
    run_target "$target" &
    pids+=($!)
    # As many targets at once as there are cores.
    if ((${#pids[@]} >= jobs)); then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit "$failed"
