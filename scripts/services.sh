#!/usr/bin/env bash
# Starts or stops the services the trainer and its tests use on a machine
# without a desktop: an X server whose RandR can switch modes (Xorg with the
# dummy driver) and a PulseAudio server with a null sink.
#
#   scripts/services.sh start STATE_DIR   prints the environment to eval
#   scripts/services.sh stop STATE_DIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cmd="${1:?start or stop}"
state="${2:?state folder}"

start_x() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xorg ":$n" -config "$here/xorg/dummy.conf" -noreset -nolisten tcp -novtswitch -sharevts \
        -logfile "$state/xorg.log" >"$state/xorg.out" 2>&1 &
    echo $! >"$state/xorg.pid"
    for _ in $(seq 1 100); do
        DISPLAY=":$n" xrandr >/dev/null 2>&1 && break
        sleep 0.1
    done
    DISPLAY=":$n" xrandr >/dev/null 2>&1 || { cat "$state/xorg.out" >&2; echo "Xorg did not start" >&2; exit 1; }
    echo "export DISPLAY=:$n"
}

start_pulse() {
    mkdir -p "$state/pulse"
    local sock="$state/pulse/native"
    # The unix socket path must be short; the state folder is ours alone.
    env -u PULSE_SERVER XDG_RUNTIME_DIR="$state/pulse" pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$sock" \
        --load="module-null-sink sink_name=nullsink sink_properties=device.description=NullSink" \
        --load="module-null-source source_name=nullsource" \
        >"$state/pulse.log" 2>&1 &
    echo $! >"$state/pulse.pid"
    for _ in $(seq 1 100); do
        PULSE_SERVER="unix:$sock" pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    PULSE_SERVER="unix:$sock" pactl info >/dev/null 2>&1 || { cat "$state/pulse.log" >&2; echo "PulseAudio did not start" >&2; exit 1; }
    PULSE_SERVER="unix:$sock" pactl set-default-sink nullsink
    PULSE_SERVER="unix:$sock" pactl set-default-source nullsource
    echo "export PULSE_SERVER=unix:$sock"
}

stop_pid() {
    local f="$state/$1.pid"
    [ -f "$f" ] || return 0
    kill "$(cat "$f")" 2>/dev/null || true
    rm -f "$f"
}

case "$cmd" in
start)
    mkdir -p "$state"
    state="$(cd "$state" && pwd)"
    [ "${VERBARO_NO_X:-}" = 1 ] || start_x
    start_pulse
    ;;
stop)
    stop_pid xorg
    stop_pid pulse
    ;;
*)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
