#!/usr/bin/env bash
# Tests the Debian package as a learner gets it: lintian, the AppStream
# metadata and desktop entry it installs; then `apt-get install ./<deb>` in a
# clean Debian root made with mmdebstrap, and `verbaro` started there on the
# X and sound servers of the test run, up to the unit menu.
#
#   scripts/package-test.sh [DEB]     (default: build/package/verbaro_*.deb)
#
# Where a clean root cannot be made (no root rights, no mirror), the package
# is installed with `dpkg --root` into an empty folder instead and started
# with this machine's libraries; the script says so. VERBARO_PACKAGE_ROOT=dpkg
# chooses that way from the start.
#
# The minimal Debian root and the downloaded packages are kept in
# $XDG_CACHE_HOME/verbaro-ci (a fresh root is made from them each run; the
# root is made again after a week).
set -euo pipefail
root_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deb="${1:-}"
[ -z "$deb" ] || deb="$(realpath "$deb")"
cd "$root_dir"
if [ -z "$deb" ]; then
    deb="$(ls -1t build/package/verbaro_*.deb 2>/dev/null | head -n1)"
fi
[ -f "$deb" ] || { echo "no package found; build it with scripts/package.sh" >&2; exit 1; }
deb="$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
echo "== Package $deb"

work="$(mktemp -d /tmp/verbaro-pkgtest.XXXXXX)"
svc=""
prog_pid=""
cleanup() {
    if [ -n "$prog_pid" ]; then
        kill -- "-$prog_pid" 2>/dev/null || true
        wait "$prog_pid" 2>/dev/null || true
    fi
    [ -n "$svc" ] && bash "$root_dir/scripts/services.sh" stop "$svc"
    rm -rf "$work"
}
trap cleanup EXIT

# --- Static checks ------------------------------------------------------------
echo "== lintian"
lintian --fail-on error --display-info "$deb"
echo "lintian: no errors"

unpacked="$work/unpacked"
dpkg-deb -x "$deb" "$unpacked"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
echo "== desktop-file-validate"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
echo "desktop entry: valid"

# --- A root with the package installed ----------------------------------------
cache="${XDG_CACHE_HOME:-$HOME/.cache}/verbaro-ci"
base="$cache/bookworm-minbase"
archives="$cache/apt-archives"
root="$work/root"
learner_home=/home/learner
mode=""

make_base() {
    # Debian's own archive, as this machine is set up to reach it.
    local sources=()
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sources+=("$f")
    done
    rm -rf "$base.new"
    mkdir -p "$cache" "$archives/partial"
    mmdebstrap --variant=minbase --mode=root --include=ca-certificates \
        --setup-hook='mkdir -p "$1"/var/cache/apt/archives' \
        --setup-hook="sync-in $archives/ /var/cache/apt/archives/" \
        --customize-hook="sync-out /var/cache/apt/archives/ $archives/" \
        --customize-hook='chroot "$1" useradd --create-home --shell /bin/sh learner' \
        bookworm "$base.new" "${sources[@]}" >"$work/mmdebstrap.log" 2>&1 || {
        tail -n 20 "$work/mmdebstrap.log" >&2
        return 1
    }
    rm -rf "$base"
    mv "$base.new" "$base"
}

clean_root() {
    [ "${VERBARO_PACKAGE_ROOT:-}" != dpkg ] || return 1
    [ "$(id -u)" -eq 0 ] && command -v mmdebstrap >/dev/null || return 1
    if [ ! -d "$base" ] || [ -n "$(find "$base" -maxdepth 0 -mtime +7)" ]; then
        echo "== Making a minimal Debian 12 root (kept in $base)"
        local t0=$SECONDS
        make_base || return 1
        echo "made in $((SECONDS - t0)) s"
    fi
    cp -a "$base" "$root"
}

in_root() {
    # The root's apt keeps its downloads in the cache across runs.
    unshare --mount --fork sh -c '
        root="$1"; archives="$2"; shift 2
        mount --bind "$archives" "$root/var/cache/apt/archives"
        mount -t proc proc "$root/proc"
        mount --rbind /dev "$root/dev"
        exec chroot "$root" "$@"' in_root "$root" "$archives" "$@"
}

t0=$SECONDS
if clean_root; then
    mode="clean root"
    echo "== apt-get install ./$(basename "$deb") in a clean Debian 12 root"
    cp "$deb" "$root/tmp/"
    in_root sh -c "apt-get update -qq && cd /tmp &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -o Dpkg::Options::=--force-unsafe-io ./$(basename "$deb")" \
        >"$work/apt.log" 2>&1 || { tail -n 40 "$work/apt.log" >&2; echo "apt-get install failed" >&2; exit 1; }
    grep -E "^(Setting up verbaro|Unpacking verbaro)" "$work/apt.log" || true
    in_root dpkg -s verbaro | grep -E "^(Status|Version)"
else
    mode="dpkg --root"
    echo "== No clean root (it needs root rights, mmdebstrap and a mirror; or VERBARO_PACKAGE_ROOT=dpkg):"
    echo "   installing with dpkg --root into an empty folder, run with this machine's libraries"
    apt-get install -s -qq "$deb" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; echo "the package's dependencies cannot be met here" >&2; exit 1; }
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
    touch "$root/var/lib/dpkg/status"
    dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log" >&2; exit 1; }
    learner_home="$work/home"
fi
echo "installed ($mode) in $((SECONDS - t0)) s"

# --- Start `verbaro` up to the unit menu ----------------------------------------
if [ -z "${DISPLAY:-}" ] || [ -z "${PULSE_SERVER:-}" ]; then
    svc="$work/svc"
    eval "$(bash "$root_dir/scripts/services.sh" start "$svc")"
fi
pulse_socket="${PULSE_SERVER#unix:}"
output="$(xrandr | sed -n 's/^\(\S\+\) connected.*/\1/p' | head -n1)"
start_mode="$(xrandr | sed -n 's/^ *\([0-9]\+x[0-9]\+\).*\*.*/\1/p' | head -n1)"
restore_screen() { [ -n "$output" ] && [ -n "$start_mode" ] && xrandr --output "$output" --mode "$start_mode" || true; }

# Starts one of the package's starters as the learner; its process group is $prog_pid.
start_starter() {
    local starter="$1"
    if [ "$mode" = "clean root" ]; then
        mkdir -p "$root/tmp/.X11-unix" "$root/run/verbaro-pulse"
        setsid unshare --mount --fork sh -c '
            root="$1"; pulse_dir="$2"; display="$3"; socket="$4"; starter="$5"
            mount -t proc proc "$root/proc"
            mount --rbind /dev "$root/dev"
            mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
            mount --bind "$pulse_dir" "$root/run/verbaro-pulse"
            exec chroot --userspec=learner:learner "$root" env -i PATH=/usr/bin:/bin \
                HOME=/home/learner DISPLAY="$display" LANG=C.UTF-8 \
                PULSE_SERVER="unix:/run/verbaro-pulse/$socket" "$starter"' \
            start "$root" "$(dirname "$pulse_socket")" "$DISPLAY" "$(basename "$pulse_socket")" \
            "$starter" >"$work/$starter.log" 2>&1 &
    else
        mkdir -p "$learner_home"
        setsid env -u QT_QPA_PLATFORM HOME="$learner_home" \
            XDG_DATA_HOME="$learner_home/.local/share" \
            "$root/usr/bin/$starter" >"$work/$starter.log" 2>&1 &
    fi
    prog_pid=$!
}
stop_starter() {
    kill -- "-$prog_pid" 2>/dev/null || true
    wait "$prog_pid" 2>/dev/null || true
    prog_pid=""
}
if [ "$mode" = "clean root" ]; then
    data_home="$root/home/learner/.local/share/verbaro"
else
    data_home="$learner_home/.local/share/verbaro"
fi

echo "== Starting verbaro ($mode)"
start_starter verbaro

# The unit menu: the one window titled "Verbaro", 1024 x 768 on the switched screen.
found=""
for _ in $(seq 1 300); do
    if ! kill -0 "$prog_pid" 2>/dev/null; then break; fi
    box="$(xdotool search --onlyvisible --name '^(提示|警告|错误|讯息)$' 2>/dev/null | head -n1 || true)"
    if [ -n "$box" ]; then
        echo "verbaro shows a message box: $(xdotool getwindowname "$box")" >&2
        break
    fi
    ids="$(xdotool search --onlyvisible --name '^Verbaro$' 2>/dev/null || true)"
    if [ "$(printf '%s\n' "$ids" | grep -c .)" = 1 ] &&
        xdotool getwindowgeometry "$ids" 2>/dev/null | grep -q "1024x768"; then
        found="$ids"
        break
    fi
    sleep 0.2
done
screen_now="$(xrandr | sed -n 's/^ *\([0-9]\+x[0-9]\+\).*\*.*/\1/p' | head -n1)"
stop_starter
restore_screen

fail() {
    local what="$1"
    shift
    echo "FAIL: $*" >&2
    echo "--- the starter's output" >&2
    cat "$work/$what.log" >&2 2>/dev/null || true
    exit 1
}
[ -n "$found" ] || fail verbaro "the unit menu did not appear"
[ "$screen_now" = 1024x768 ] || fail verbaro "the screen was $screen_now, not 1024x768"
echo "unit menu shown (window $found, screen $screen_now)"

# The first start made the learner's copy of the lesson database and
# registered the control libraries and the installation for the learner.
[ -f "$data_home/data/qvedbdemo.aaa" ] || fail verbaro "no per-user lesson database in $data_home"
grep -q "Glyphon.ocx" "$data_home/HKEY_CLASSES_ROOT.reg" || fail verbaro "Glyphon.ocx is not registered"
grep -q "Fitform.ocx" "$data_home/HKEY_CLASSES_ROOT.reg" || fail verbaro "Fitform.ocx is not registered"
grep -q "Verbaro.exe" "$data_home/HKEY_LOCAL_MACHINE.reg" || fail verbaro "the installation is not registered"
echo "per-user copy of the lesson database and registrations: present"

# The CD start program: its window comes up from the installed folder.
echo "== Starting verbaro-cd ($mode)"
start_starter verbaro-cd
launcher=""
for _ in $(seq 1 150); do
    kill -0 "$prog_pid" 2>/dev/null || break
    launcher="$(xdotool search --onlyvisible --name '^Verbaro V1.0$' 2>/dev/null | head -n1 || true)"
    [ -n "$launcher" ] && break
    sleep 0.2
done
stop_starter
restore_screen
[ -n "$launcher" ] || fail verbaro-cd "the CD start program's window did not appear"
echo "CD start program's window shown (window $launcher)"
echo "== Package test passed ($mode) in $SECONDS s"
