#!/usr/bin/env bash
# Start-up of dados on the sdl backend under a private Xvfb: the time from starting the
# process to its first frame handed to the display, the CPU time it had used by then, and its
# resident memory (VmRSS) right after that frame. The program reports the frame itself
# (DADOS_REPORT_FIRST_FRAME=1, a CLOCK_MONOTONIC time on standard error); the start time is
# taken on the same clock just before the process is spawned.
#
# Usage: bench/startup.sh [build-dir] [runs]   (defaults: build, 5; prints each run and the median)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
exe="$build/app/dados"
[[ -x "$exe" ]] || { echo "no $exe: build the dados target first" >&2; exit 1; }

# A display of our own: Xvfb picks a free number and writes it to the pipe.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
read -r -t 10 -u "$fd" number || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

python3 - "$exe" "$runs" <<'PY'
import os, statistics, subprocess, sys, time

exe, runs = sys.argv[1], int(sys.argv[2])
env = dict(os.environ, DADOS_REPORT_FIRST_FRAME="1")
times, rss, cpus = [], [], []
for run in range(runs):
    start = time.monotonic_ns()
    p = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    frame = None
    for line in p.stderr:
        if "first frame at monotonic" in line:
            seconds, nanos = line.split()[-1].split(".")
            frame = int(seconds) * 10**9 + int(nanos)
            break
    kib = None
    cpu = 0
    if frame is not None:
        with open(f"/proc/{p.pid}/status") as status:
            for entry in status:
                if entry.startswith("VmRSS:"):
                    kib = int(entry.split()[1])
        # Time on a CPU so far, all threads: on a busy machine the wall time also holds waiting.
        for task in os.listdir(f"/proc/{p.pid}/task"):
            with open(f"/proc/{p.pid}/task/{task}/schedstat") as schedstat:
                cpu += int(schedstat.read().split()[0])
    p.terminate()
    p.wait()
    if frame is None or kib is None:
        sys.exit(f"run {run + 1}: dados ended without reporting a first frame")
    times.append((frame - start) / 1e6)
    rss.append(kib / 1024)
    cpus.append(cpu / 1e6)
    print(f"run {run + 1}: first frame {times[-1]:.1f} ms (on CPU {cpus[-1]:.1f} ms), VmRSS {rss[-1]:.1f} MB")
print(f"median: first frame {statistics.median(times):.1f} ms (on CPU {statistics.median(cpus):.1f} ms), "
      f"VmRSS {statistics.median(rss):.1f} MB")
PY
