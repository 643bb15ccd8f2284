#!/usr/bin/python3
"""Torvik's CPU and memory while connected to a fast stream.

Starts pellix-sim (module, both frames at --rate Hz: 200 ReportIMU and 200 ReportMotion frames
a second by default) and the built Torvik in a fresh program directory, clicks the connect
switch with xdotool as a user would, then samples the program's CPU time and resident memory
for --seconds. Prints the share of one core and the memory growth. With --atspi the program
runs with its accessibility bridge on and is connected through it (what the end-to-end tests
see; every label change then also becomes a D-Bus event). Run under an X server:

    xvfb-run -a dbus-run-session -- /usr/bin/python3 bench/torvik_cpu.py --seconds 300
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
from journeys import Simulator, Torvik, connect  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


class Plain:
    """Torvik without the accessibility bridge, driven by pointer clicks."""

    def __init__(self, program):
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        self.proc = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)

    def click_connect(self, device):
        for _ in range(60):
            out = subprocess.run(["xdotool", "search", "--name", "^Torvik www"],
                                 capture_output=True, text=True).stdout.split()
            if out:
                break
            time.sleep(0.5)
        else:
            raise SystemExit("no Torvik window")
        time.sleep(1)
        # The connect switch sits at the top left, under the menu bar.
        subprocess.run(["xdotool", "mousemove", "--window", out[0], "60", "48", "click", "1"])
        for _ in range(40):
            fds = [os.path.realpath(f"/proc/{self.proc.pid}/fd/{f}")
                   for f in os.listdir(f"/proc/{self.proc.pid}/fd")]
            if device in fds:
                return
            time.sleep(0.25)
        raise SystemExit("the connect click did not open " + device)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(10)


def main():
    root = os.path.join(here, "..")
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", default=os.path.join(root, "build", "bin", "Torvik"))
    ap.add_argument("--sim", default=os.path.join(root, "build", "bin", "pellix-sim"))
    ap.add_argument("--rate", default="200")
    ap.add_argument("--seconds", type=float, default=300)
    ap.add_argument("--atspi", action="store_true")
    args = ap.parse_args()

    work = tempfile.mkdtemp(prefix="torvik-cpu.")
    shutil.copy(args.program, work)
    program = os.path.join(work, os.path.basename(args.program))
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    sim = Simulator(args.sim, work, "--rate", args.rate, "--output", "both")
    torvik = Torvik(program, work) if args.atspi else Plain(program)
    try:
        if args.atspi:
            connect(torvik)
        else:
            torvik.click_connect(sim.device)
        time.sleep(5)  # settle: the first frames, the first chart points
        pid = torvik.proc.pid
        c0, t0, m0 = cpu_seconds(pid), time.monotonic(), rss_mb(pid)
        samples = []
        while time.monotonic() - t0 < args.seconds:
            time.sleep(min(30, args.seconds / 10))
            samples.append((time.monotonic() - t0, cpu_seconds(pid) - c0, rss_mb(pid)))
            print(f"{samples[-1][0]:6.0f} s  cpu {100 * samples[-1][1] / samples[-1][0]:5.1f} %"
                  f"  rss {samples[-1][2]:7.1f} MB", flush=True)
        wall = time.monotonic() - t0
        cpu = cpu_seconds(pid) - c0
        frames = sum(1 for _ in sim.lines())
        print(f"Torvik over {wall:.0f} s at {args.rate} Hz x 2 frames: "
              f"{100 * cpu / wall:.1f} % of one core; resident {m0:.1f} MB -> {rss_mb(pid):.1f} MB; "
              f"{frames} transcript lines")
    finally:
        torvik.stop()
        sim.stop()
        bus.terminate()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
