"""User journeys through the real Torvik program against pellix-sim.

What the user sees is read through the accessibility tree (AT-SPI): labels by their text,
buttons by their caption, the message log as the text of the log box. The program has no test
hooks; the simulator's transcript tells what crossed the wire.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

import pyatspi

TIMEOUT = 40.0


class JourneyFailed(Exception):
    pass


def debug(msg):
    if os.environ.get("E2E_DEBUG"):
        print(msg, flush=True)


def wait_for(what, predicate, timeout=TIMEOUT, interval=0.25):
    end = time.time() + timeout
    last = None
    while time.time() < end:
        try:
            last = predicate()
        except Exception as e:  # the tree changes while it is read
            last = e
        if last and not isinstance(last, Exception):
            return last
        time.sleep(interval)
    raise JourneyFailed(f"timed out waiting for {what} (last: {last!r})")


def walk(node, depth=0):
    if node is None or depth > 16:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


class Torvik:
    def __init__(self, program, workdir):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        self.log_file = open(os.path.join(workdir, "torvik.log"), "w")
        self.proc = subprocess.Popen([program], env=env, stdout=self.log_file,
                                     stderr=subprocess.STDOUT)
        self.app = wait_for("the Torvik application on the accessibility bus", self._find_app)
        # The splash hands over to the main window about 1.2 s after start.
        wait_for("the main window", lambda: self.node("frame", lambda n: n.startswith("Torvik ")))
        wait_for("the start-up lines", lambda: "启动成功" in self.log_text())

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Torvik":
                return app
        return None

    def alive(self):
        return self.proc.poll() is None

    def node(self, role, name_test):
        for n in walk(self.app):
            try:
                if n.getRoleName() == role and name_test(n.name):
                    return n
            except Exception:
                continue
        return None

    def label_starting(self, prefix):
        n = self.node("label", lambda name: name.startswith(prefix))
        return n.name if n else None

    def press(self, caption):
        button = wait_for(f"the button {caption!r}",
                          lambda: self.node("push button", lambda n: n == caption))
        button.queryAction().doAction(0)

    def switch_caption(self):
        n = self.node("push button", lambda name: name in ("连接 AHRS", "端口已打开", "端口已关闭"))
        return n.name if n else None

    def log_text(self):
        for n in walk(self.app):
            try:
                if n.getRoleName() == "text":
                    t = n.queryText()
                    text = t.getText(0, t.characterCount)
                    if "启动成功" in text or "Clear...." in text:
                        return text
            except Exception:
                continue
        return ""

    def stop(self):
        if self.alive():
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        self.log_file.close()


class Simulator:
    def __init__(self, sim, workdir, *options):
        self.path, self.workdir = sim, workdir
        self.transcript = os.path.join(workdir, "transcript.txt")
        self.err = open(os.path.join(workdir, "sim.log"), "w")
        self.proc = subprocess.Popen(
            [sim, "module", "--dir", workdir, "--port", "1", "--transcript", self.transcript,
             *options], stdout=subprocess.PIPE, stderr=self.err, text=True)
        self.device = self.proc.stdout.readline().strip()
        if not self.device:
            raise JourneyFailed("pellix-sim printed no device path")
        wait_for("the ports/com1 link", lambda: os.path.lexists(os.path.join(workdir, "ports", "com1")))

    def lines(self):
        try:
            with open(self.transcript, encoding="utf-8", errors="replace") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def sent_frames(self, frame_type):
        """Frames of one type the simulator wrote, as lists of bytes."""
        data = bytearray()
        for line in self.lines():
            parts = line.split()
            if len(parts) > 2 and parts[1] == "TX":
                data += bytes(int(h, 16) for h in parts[2:])
        frames, i = [], 0
        while i + 4 < len(data):
            if data[i] == 0xA5 and data[i + 1] == 0x5A:
                length = data[i + 2]
                end = i + 1 + length  # the tail: L bytes after the length byte
                if end < len(data) and data[i + 3] == frame_type and data[end] == 0xAA:
                    frames.append(list(data[i + 2:end]))
                    i = end
                    continue
            i += 1
        return frames

    def signal(self, sig):
        self.proc.send_signal(sig)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        self.err.close()


def sm16(frame, index):
    v = frame[index] << 8 | frame[index + 1]
    return v if v < 0x8000 else -(v & 0x7FFF)


def one_decimal(v):
    return f"{v:.1f}"


def imu_texts(sim):
    """The altitude, temperature and pressure label texts the sent ReportIMU frames stand for."""
    texts = set()
    for f in sim.sent_frames(0xA1):
        if len(f) >= 15:  # length, type, 14 payload bytes, sum
            texts.add("高度:" + one_decimal(sm16(f, 8) / 10) + "m")
            texts.add("温度:" + one_decimal(sm16(f, 10) / 10) + "度")
            texts.add("气压:" + str(sm16(f, 12) * 10) + "Pa")
    return texts


def connect(torvik):
    torvik.press("连接 AHRS")
    wait_for("the open-port report", lambda: torvik.switch_caption() == "端口已打开")
    wait_for("the open report in the log", lambda: "端口打开成功 ..." in torvik.log_text())


def labels_follow_the_simulator(torvik, sim):
    for prefix in ("高度:", "温度:", "气压:"):
        text = wait_for(f"the label {prefix}", lambda: torvik.label_starting(prefix))
        def shown():
            now = torvik.label_starting(prefix)
            sent = imu_texts(sim)
            debug(f"{now!r} among {len(sent)} sent texts, e.g. {sorted(sent)[-3:]}")
            return now in sent
        wait_for(f"{prefix} showing a value the simulator sent", shown)


def journey_connect_and_watch(torvik, sim):
    connect(torvik)
    labels_follow_the_simulator(torvik, sim)
    # The values keep moving with the simulated module.
    first = torvik.label_starting("航向:")
    wait_for("the heading to change", lambda: torvik.label_starting("航向:") != first)
    rate = wait_for("a frame rate", lambda: re.match(r"(\d+) 帧每秒", torvik.node(
        "label", lambda n: n.endswith(" 帧每秒")).name))
    if int(rate.group(1)) < 5:
        raise JourneyFailed(f"frame rate too low: {rate.group(0)}")


def journey_altitude_zero(torvik, sim):
    connect(torvik)
    labels_follow_the_simulator(torvik, sim)
    torvik.press("清零")
    wait_for("the command in the transcript",
             lambda: any(" RX A5 5A 04 E2 E6 AA" in l for l in sim.lines()))
    wait_for("the two command lines", lambda: "气压高度标零 命令已经发送！" in torvik.log_text()
             and "命令格式(HEX): A5 5A 04 E2 E6 AA" in torvik.log_text())

    def near_zero():
        t = torvik.label_starting("高度:")
        m = re.match(r"高度:(-?[\d.]+)m", t or "")
        return m and abs(float(m.group(1))) < 5
    wait_for("the altitude near 0 m", near_zero)


def journey_checksum_burst(torvik, sim):
    connect(torvik)
    labels_follow_the_simulator(torvik, sim)
    if "校验失败" in torvik.log_text():
        raise JourneyFailed("checksum message before any fault was injected")
    sim.signal(signal.SIGUSR1)
    wait_for("the checksum message",
             lambda: "校验失败,数据包中存在误码字节,请检查连接线或更换转接器." in torvik.log_text())
    # Good frames after the burst are still shown.
    labels_follow_the_simulator(torvik, sim)


def journey_unplug(torvik, sim):
    connect(torvik)
    labels_follow_the_simulator(torvik, sim)
    wait_for("the port to close after the unplug",
             lambda: torvik.switch_caption() == "端口已关闭", timeout=60)
    wait_for("the closed report", lambda: "已关闭 COM1 端口" in torvik.log_text())
    if "设备已断开" not in torvik.log_text():
        raise JourneyFailed("no line saying the device was lost")
    time.sleep(1.0)
    if not torvik.alive():
        raise JourneyFailed("Torvik ended after the unplug")
    # The adapter is plugged in again: the switch reconnects and data flows once more.
    sim.stop()
    again = Simulator(sim.path, sim.workdir)
    try:
        torvik.press("端口已关闭")
        wait_for("the port open again", lambda: torvik.switch_caption() == "端口已打开")
        labels_follow_the_simulator(torvik, again)
    finally:
        again.stop()


JOURNEYS = {
    "connect_and_watch": (journey_connect_and_watch, []),
    "altitude_zero": (journey_altitude_zero, []),
    "checksum_burst": (journey_checksum_burst, []),
    "unplug": (journey_unplug, ["--unplug-after", "12000"]),
}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--sim", required=True)
    ap.add_argument("--dir", required=True)
    ap.add_argument("journey", choices=sorted(JOURNEYS))
    args = ap.parse_args()
    run, sim_options = JOURNEYS[args.journey]

    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    sim = torvik = None
    try:
        sim = Simulator(args.sim, args.dir, *sim_options)
        torvik = Torvik(args.program, args.dir)
        run(torvik, sim)
        print(f"journey {args.journey}: passed")
        return 0
    except JourneyFailed as e:
        print(f"journey {args.journey}: FAILED: {e}")
        if torvik:
            print("--- Torvik's message log ---\n" + torvik.log_text().replace("\r\n", "\n"))
        for name in ("torvik.log", "sim.log"):
            path = os.path.join(args.dir, name)
            if os.path.exists(path):
                print(f"--- {name} ---\n" + open(path, errors="replace").read()[-3000:])
        return 1
    finally:
        if torvik:
            torvik.stop()
        if sim:
            sim.stop()
        bus.terminate()


if __name__ == "__main__":
    sys.exit(main())
