#!/usr/bin/env bash
# Installs what is needed, builds the trainer and its demo installation, and
# starts Verbaro on it. On a machine without a display or sound server it
# starts a virtual X server and a PulseAudio null sink itself, saves
# screenshots of the program's first windows and says where.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

program="$root/build/default/demo/program"
shots="$root/build/default/demo/screenshots"
[ -x "$program/Verbaro.exe" ] || { echo "the demo installation was not built" >&2; exit 1; }

# The trainer's windows are made of the folder's control libraries
# (Glyphon.ocx, Fitform.ocx): register them for this user first, as the
# installed program's starter does on a first start.
"$root/build/default/tools/usersetup/usersetup" "$program" ||
    echo "demo: the per-user set-up of $program is incomplete" >&2

have_display() { [ -n "${DISPLAY:-}" ] && xrandr >/dev/null 2>&1; }
have_sound() { pactl info >/dev/null 2>&1; }

if have_display && have_sound; then
    echo "Starting $program/Verbaro.exe"
    exec "$program/Verbaro.exe"
fi

state="$(mktemp -d /tmp/verbaro-demo.XXXXXX)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    bash "$root/scripts/services.sh" stop "$state" || true
}
trap cleanup EXIT
if have_display; then export VERBARO_NO_X=1; fi
eval "$(bash scripts/services.sh start "$state")"
mkdir -p "$shots"
rm -f "$shots"/*.png

"$program/Verbaro.exe" &
pid=$!
# The splash window, as soon as it is mapped.
for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name '^Verbaro$' >/dev/null 2>&1 && break
    sleep 0.05
done
# Once it has painted (a mapped window is black for a moment).
for _ in $(seq 1 40); do
    import -window root "$shots/1-first-window.png"
    mean="$(convert "$shots/1-first-window.png" -format '%[fx:int(mean*1000)]' info:)"
    [ "${mean:-0}" -gt 0 ] && break
    sleep 0.02
done
# The unit menu, once start-up is over.
sleep 4
import -window root "$shots/2-unit-menu.png"
echo "Verbaro ran on a virtual display; screenshots of its first windows:"
ls -1 "$shots"/*.png
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=""
