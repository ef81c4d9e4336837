#!/usr/bin/env bash
# What the accessibility bridge costs the real program: the n = 100000 click ("lanzar n veces")
# of dados on the sdl backend under a private Xvfb with openbox, once without a bus
# (NO_AT_BRIDGE=1) and once on a private accessibility bus with a client that listens to every
# event and reads each event's source, as a screen reader does. For each: the wall time from
# the click to the message window on the screen, and the CPU time the program used for the
# click until it was quiet again; then the program's wake-ups (context switches, all threads)
# over five idle seconds.
#
# Usage: bench/accessibility.sh [build-dir] [runs]   (defaults: build, 5; prints the medians)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
exe="$PWD/$build/app/dados"
[[ -x "$exe" ]] || { echo "no $exe: build the dados target first" >&2; exit 1; }

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
trap 'kill "$wm" "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
read -r -t 10 -u "$fd" number || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >/dev/null 2>&1 &
wm=$!
until wmctrl -m >/dev/null 2>&1; do sleep 0.1; done

cat >"$work/measure.py" <<'PY'
import os, statistics, subprocess, sys, threading, time

exe, runs, mode = sys.argv[1], int(sys.argv[2]), sys.argv[3]

def xdo(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()

def cpu_ns(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/schedstat") as s:
            total += int(s.read().split()[0])
    return total

def switches(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as s:
            for line in s:
                if "ctxt_switches" in line:
                    total += int(line.split()[1])
    return total

def wait_window(name):
    while True:
        ids = xdo("search", "--onlyvisible", "--name", f"^{name}$")
        if ids:
            return ids[0]
        time.sleep(0.005)

def quiet(pid):
    last = cpu_ns(pid)
    while True:
        time.sleep(0.3)
        now = cpu_ns(pid)
        if now - last < 2_000_000:
            return now
        last = now

events = [0]
if mode == "bus":
    # A screen reader's share: every event, and a look at its source.
    import pyatspi
    from gi.repository import GLib
    def on_event(event):
        events[0] += 1
        try:
            event.source.name, event.source.getRole()
        except Exception:
            pass
    for kind in ("object:", "window:", "focus:"):
        pyatspi.Registry.registerEventListener(on_event, kind)
    context = GLib.MainContext.default()
    def serve():
        while True:
            context.iteration(True)
    threading.Thread(target=serve, daemon=True).start()

env = dict(os.environ)
if mode != "bus":
    env["NO_AT_BRIDGE"] = "1"
walls, cpus, idles = [], [], []
for run in range(runs):
    p = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    main = wait_window("Experimento aleatorio con dados")
    time.sleep(1.0)
    info = subprocess.run(["xwininfo", "-id", main], capture_output=True, text=True).stdout
    x = int(info.split("Absolute upper-left X:")[1].split()[0])
    y = int(info.split("Absolute upper-left Y:")[1].split()[0])
    # The n field and "lanzar n veces" where the layout puts them in the client area.
    subprocess.run(["xdotool", "mousemove", str(x + 52), str(y + 234), "click", "1",
                    "key", "End", "BackSpace", "BackSpace", "type", "100000"])
    quiet(p.pid)
    cpu0 = cpu_ns(p.pid)
    start = time.monotonic()
    subprocess.run(["xdotool", "mousemove", str(x + 140), str(y + 236), "click", "1"])
    wait_window("dados")
    walls.append((time.monotonic() - start) * 1000)
    cpus.append((quiet(p.pid) - cpu0) / 1e6)
    before = switches(p.pid)
    time.sleep(5)
    idles.append(switches(p.pid) - before)
    p.kill()
    p.wait()
print(f"{mode:6s} click to message {statistics.median(walls):7.1f} ms wall, "
      f"{statistics.median(cpus):7.1f} ms CPU of the program; idle wake-ups in 5 s: "
      f"{statistics.median(idles)}; events heard: {events[0] // max(runs, 1)} per run")
PY

/usr/bin/python3 "$work/measure.py" "$exe" "$runs" nobus
dbus-run-session -- /usr/bin/python3 "$work/measure.py" "$exe" "$runs" bus 2>/dev/null
