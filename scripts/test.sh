#!/usr/bin/env bash
# Installs what is needed, builds the sanitizer build and the normal build,
# starts an X server with RandR and a PulseAudio null sink, and runs every test
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh

jobs="$(nproc)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"

state="$(mktemp -d /tmp/verbaro-svc.XXXXXX)"
cleanup() { bash "$root/scripts/services.sh" stop "$state" || true; }
trap cleanup EXIT
eval "$(bash scripts/services.sh start "$state")"
export VERBARO_REQUIRE_SERVICES=1
export XDG_DATA_HOME="$state/xdg-data" XDG_CONFIG_HOME="$state/xdg-config"
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

ctest --preset asan -j "$jobs" --timeout 900
