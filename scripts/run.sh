#!/usr/bin/env bash
# Installs what is missing, builds, starts the instrument simulator (on a pseudo-terminal and on
# UDP 127.0.0.2:5025) and then the program. Closing the program stops the simulator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/release"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DTELVANE_TESTS=OFF -DTELVANE_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
Run it on a desktop session, or under a virtual display:
    xvfb-run -a -s '-screen 0 1280x1024x24' $0
MSG
    exit 1
fi

udp=127.0.0.2:5025
sim_out=$(mktemp)
"$build/telvane-sim" --pty --udp "$udp" --rate 5 >"$sim_out" 2>&1 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; rm -f "$sim_out"' EXIT
for _ in $(seq 50); do
    grep -q '^pty: ' "$sim_out" && break
    kill -0 $sim_pid 2>/dev/null || { cat "$sim_out" >&2; exit 1; }
    sleep 0.1
done
pty=$(sed -n 's/^pty: //p' "$sim_out")
if [ -z "$pty" ]; then
    echo "The instrument simulator did not start:" >&2
    cat "$sim_out" >&2
    exit 1
fi

cat <<MSG
The instrument simulator is running. In the program, choose $pty in the Port list (or choose
"Network" and type $udp), then press "Quick Start": after the identification (about two
seconds) readings appear on the "Graphics" chart, and the "Form" tab shows them as a table.
The buttons on the left change the function or ask for the time; File > Save writes the table
to a file.
MSG
TELVANE_EXTRA_PORTS="$pty" "$build/telvane-scpi"
