#!/usr/bin/env bash
# Runs bench_window_rate the way a desktop user with assistive technologies runs the program:
# on a virtual X display, with a session bus, the accessibility bus started on it, and Qt's
# accessibility bridge on. Options go to the benchmark (--rate, --seconds, --page; --help).
#   bench/window_rate.sh build/release --rate 20000 --seconds 60
set -euo pipefail
dir=${1:?usage: bench/window_rate.sh BUILD_DIR [options]}
shift
exe=$dir/bench/bench_window_rate
[ -x "$exe" ] || { echo "no $exe: build the target bench_window_rate first" >&2; exit 1; }

missing=()
for p in xvfb xauth at-spi2-core; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The accessibility bus is started on demand; a desktop session starts it at log-in, and the
# program's bridge only comes up once it is there.
exec dbus-run-session -- bash -c '
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null
    exec xvfb-run -a -s "-screen 0 1280x1024x24" \
        env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"' \
    window_rate "$exe" "$@"
