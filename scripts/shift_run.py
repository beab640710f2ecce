#!/usr/bin/python3
"""One shift of the real window, run by scripts/shift.sh inside a session bus and an X
server (see there for what it does and prints).

Usage: shift_run.py --minutes N --vantu BINARY --example DIR
       shift_run.py --minutes N --client PORT   (the remote client alone, JSON figures)
"""
import argparse
import json
import os
import re
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "examples", "scripting"))
import drive_window  # noqa: E402

READY_LINE = "vantu: main page shows the card's report"
READY_SECONDS = 60
REPLY_TIMEOUT = 5.0
COMMANDS_PER_SECOND = 10
GUI_EVERY_SECONDS = 10
HISTORY_TAB = 6
ACKNOWLEDGED_COLUMN = "確認時間"
MAX_RSS_GROWTH_KB = 5 * 1024
CRASH_TEXTS = ("double free", "corrupted", "Segmentation fault", "Aborted", "core dumped",
               "terminate called", "AddressSanitizer", "QFATAL", "ASSERT")
# Commands without a fixed wait in their handler, and those with one (the stop, start
# and load sequences wait 10 to 500 ms), whose latency is reported apart.
UNWAITED = ("GET_OPCODE_PARAM", "SET_OPCODE_PARAM", "PB")
WAITED = ("PS", "PG", "PL")
# The last reply of each command; PB answers only when the busy state changed.
FINAL = {
    "GET_OPCODE_PARAM": ("GET_OPCODE_PARAM_DONE", "GET_OPCODE_PARAM_FAIL"),
    "SET_OPCODE_PARAM": ("SET_OPCODE_PARAM_DONE", "SET_OPCODE_PARAM_FAIL"),
    "PS": ("PS_DONE",),
    "PG": ("PG_DONE",),
    "PL": ("PL_DONE", "PL_FAIL", "FILE_NOT_EXIST"),
}
PATTERNS = ("beam_short.cfg", "beam_full.cfg", "beam_odd.cfg")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def scenario(seconds):
    """The stress events of simulation.ini's [SCENARIO], repeated every 100 s: a fault
    burst over 12 modules, a supply drop, a chattering Tx fault, a card silent for 15 s;
    and one element overheating for good."""
    lines = ["HOT=20 M045-E2-Q5-HOT"]
    for cycle, t in enumerate(range(20, seconds + 100, 100)):
        for i in range(12):
            lines.append(f"BURST{cycle}_{i}={t}-{t + 5} M{11 * i + 3:03d}-E{i % 4}-Q{i % 8}-TX")
        lines.append(f"SUPPLY{cycle}={t + 10}-{t + 30} M100-E0-Q1-P5V")
        for k in range(10):
            start = t + 35 + 2 * k
            lines.append(f"CHATTER{cycle}_{k}={start}-{start + 1} M020-E1-Q1-TX")
        lines.append(f"SILENT{cycle}={t + 60}-{t + 75} CARD-SILENT")
    return "\n".join(lines) + "\n"


def prepare_station(example, seconds, metrics_port):
    root = tempfile.mkdtemp(prefix="vantu-shift-")
    station = os.path.join(root, "station")
    shutil.copytree(example, station)
    os.makedirs(os.path.join(root, "home"))
    os.makedirs(os.path.join(root, "run"), mode=0o700)
    with open(os.path.join(station, "simulation.ini"), "w") as f:
        # Few random faults besides the scenario's: each fault and clear is a history
        # entry kept in memory, so a high rate would make the RSS figure the history's.
        f.write("[SIMULATION]\nSEED=7\nFAULT_RATE=0.00002\n\n[SCENARIO]\n" + scenario(seconds))
    with open(os.path.join(station, "setup.ini"), "ab") as f:
        f.write(f"\r\n[METRICS]\r\nPORT={metrics_port}\r\n".encode())
    return root


def start_station(vantu, root, port):
    env = dict(os.environ, HOME=os.path.join(root, "home"),
               XDG_RUNTIME_DIR=os.path.join(root, "run"), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    stderr = open(os.path.join(root, "stderr.txt"), "wb")
    return subprocess.Popen([vantu, "--simulate", "--port", str(port)],
                            cwd=os.path.join(root, "station"), env=env, stderr=stderr,
                            stdout=subprocess.DEVNULL)


def wait_ready(process, stderr_path):
    deadline = time.monotonic() + READY_SECONDS
    while time.monotonic() < deadline:
        with open(stderr_path, errors="replace") as f:
            if READY_LINE in f.read():
                return True
        if process.poll() is not None:
            return False
        time.sleep(0.1)
    return False


def connect(port):
    deadline = time.monotonic() + READY_SECONDS
    while True:
        try:
            s = socket.create_connection(("127.0.0.1", port), timeout=REPLY_TIMEOUT)
            s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            return s
        except OSError:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.1)


def command_cycle(n):
    """The n-th second's ten commands: three GET, three SET, two PB, a PS, and a PG or,
    every fifth second, a PL."""
    index = 1 + n % 3
    last = f"PL {PATTERNS[n // 5 % 3]}" if n % 5 == 0 else "PG 0"
    return [f"GET_OPCODE_PARAM {index}", f"SET_OPCODE_PARAM {index} {n & 0xFFFF:X}", "PB",
            f"GET_OPCODE_PARAM {index + 1}", f"SET_OPCODE_PARAM {index + 1} A{n & 0xFFF:X}",
            "PS", "GET_OPCODE_PARAM 1", "PB", f"SET_OPCODE_PARAM 1 {n:X}", last]


class Replies:
    """The reply tokens of one connection, with the time each arrived."""

    def __init__(self, sock):
        self.sock = sock
        self.buffer = b""

    def next(self, deadline):
        while b"\r" not in self.buffer:
            left = deadline - time.perf_counter()
            if left <= 0:
                return None
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(4096)
            except socket.timeout:
                return None
            if not chunk:
                raise ConnectionError("the station closed the connection")
            self.buffer += chunk
        token, self.buffer = self.buffer.split(b"\r", 1)
        return token.decode("cp950", errors="replace"), time.perf_counter()


def run_client(port, seconds):
    """Sends ten commands a second for the given time; each command's latency, and the
    commands whose last reply never came."""
    latencies = {word: [] for word in UNWAITED + WAITED}
    lost, unexpected, tokens = [], [], {}
    sock = connect(port)
    print("connected", flush=True)
    replies = Replies(sock)
    last_pb = None
    start = time.perf_counter()
    slot = start
    n = 0
    try:
        while time.perf_counter() - start < seconds:
            for line in command_cycle(n):
                slot = max(slot + 1.0 / COMMANDS_PER_SECOND, time.perf_counter())
                word = line.split()[0]
                sent = time.perf_counter()
                sock.sendall(line.encode() + b"\r")
                if word == "PB":
                    last_pb = sent
                # Read until this command's last reply; PB's own comes among them.
                deadline = sent + REPLY_TIMEOUT if word in FINAL else min(slot, sent + 0.09)
                while True:
                    got = replies.next(deadline)
                    if got is None:
                        if word in FINAL:
                            lost.append(line)
                        break
                    token, at = got
                    first = token.split()[0] if token.strip() else token
                    tokens[first] = tokens.get(first, 0) + 1
                    if token in ("SP_BUSY", "SP_IDLE") and last_pb is not None:
                        latencies["PB"].append(at - last_pb)
                        last_pb = None
                    elif word in FINAL and token in FINAL[word]:
                        latencies[word].append(at - sent)
                        break
                    elif not token.startswith("OPCODE_PARAM "):
                        unexpected.append(f"{line} -> {token}")
                while time.perf_counter() < slot:
                    time.sleep(slot - time.perf_counter())
            n += 1
    except OSError as error:
        lost.append(f"connection: {error}")
    json.dump({"latencies": latencies, "lost": lost, "unexpected": unexpected,
               "tokens": tokens, "commands": n * 10}, sys.stdout)


class Scraper(threading.Thread):
    """GET /metrics once a second."""

    def __init__(self, port, stop):
        super().__init__(daemon=True)
        self.url = f"http://127.0.0.1:{port}/metrics"
        self.stop = stop
        self.ok = self.failed = 0
        self.polls = self.poll_failures = None
        self.first_polls = None
        self.max_age = 0.0

    def value(self, text, name):
        found = re.search(rf"^{name} ([0-9.e+-]+)$", text, re.M)
        return float(found.group(1)) if found else None

    def run(self):
        while not self.stop.wait(1.0):
            try:
                with urllib.request.urlopen(self.url, timeout=REPLY_TIMEOUT) as reply:
                    text = reply.read().decode()
            except OSError:
                self.failed += 1
                continue
            self.ok += 1
            self.polls = self.value(text, "vantu_report_polls_total")
            self.poll_failures = self.value(text, "vantu_report_poll_failures_total")
            if self.first_polls is None:
                self.first_polls = self.polls
            self.max_age = max(self.max_age, self.value(text, "vantu_report_poll_age_seconds") or 0)


def process_figures(pid):
    """RSS in kB, open file descriptors, CPU seconds."""
    with open(f"/proc/{pid}/status") as f:
        rss = int(re.search(r"^VmRSS:\s+(\d+) kB", f.read(), re.M).group(1))
    fds = len(os.listdir(f"/proc/{pid}/fd"))
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return rss, fds, cpu


class Operator:
    """Every 10 s over AT-SPI: the next tab; on the history tab, acknowledge the first
    row (and check that it shows so), and every other visit all entries."""

    def __init__(self):
        self.window = drive_window.Window()
        self.tab_count = len(self.window.tabs)
        self.visits = 0
        self.acknowledged = 0
        self.shown_acknowledged = 0
        self.failures = []
        self.history = None

    def history_controls(self):
        if self.history is None:
            self.history = (self.window.table_with_column(ACKNOWLEDGED_COLUMN),
                            self.window.button("確認選取"), self.window.button("全部確認"))
        return self.history

    @staticmethod
    def shows_acknowledged(table):
        """Whether the selected entry shows its acknowledgement time within 3 s (the
        selection follows its entry while new ones push it down)."""
        column = next(c for c in range(table.nColumns)
                      if table.getColumnDescription(c) == ACKNOWLEDGED_COLUMN)
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            rows = table.getSelectedRows()
            if rows and table.getAccessibleAt(rows[0], column).name:
                return True
            time.sleep(0.1)
        return False

    def step(self):
        tab = self.visits % self.tab_count
        self.visits += 1
        try:
            self.window.choose_tab(tab)
            if tab == HISTORY_TAB:
                table, selected, everything = self.history_controls()
                if table.nRows > 0:
                    table.addRowSelection(0)
                    drive_window.press(selected)
                    self.acknowledged += 1
                    self.shown_acknowledged += self.shows_acknowledged(table)
                if self.visits // self.tab_count % 2:
                    drive_window.press(everything)
        except (RuntimeError, LookupError, SystemExit) as error:
            self.failures.append(f"tab {tab}: {error}")
            self.history = None


def percentiles(values):
    if not values:
        return "no replies"
    ms = sorted(v * 1000 for v in values)
    p99 = ms[min(len(ms) - 1, int(len(ms) * 0.99))]
    return f"n={len(ms)} p50 {statistics.median(ms):.2f} ms, p99 {p99:.2f} ms, max {ms[-1]:.2f} ms"


def fault_entries(root):
    """Lines of the day's fault log: one per history entry the station recorded."""
    log = os.path.join(root, "station", "Log")
    return sum(sum(1 for _ in open(os.path.join(log, name), "rb"))
               for name in os.listdir(log) if name.endswith(".faults.csv"))


def crash_lines(stderr_path):
    with open(stderr_path, errors="replace") as f:
        return [line.rstrip() for line in f if any(t in line for t in CRASH_TEXTS)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--minutes", type=float, default=2)
    parser.add_argument("--vantu")
    parser.add_argument("--example")
    parser.add_argument("--client", type=int)
    args = parser.parse_args()
    seconds = int(args.minutes * 60)
    if args.client:
        run_client(args.client, seconds)
        return 0
    port, metrics_port = free_port(), free_port()
    root = prepare_station(args.example, seconds, metrics_port)
    stderr_path = os.path.join(root, "stderr.txt")
    print(f"shift: {args.minutes:g} min of `vantu --simulate` on {os.environ.get('DISPLAY')}, "
          f"station {root}, remote port {port}, metrics port {metrics_port}", flush=True)
    station = start_station(args.vantu, root, port)
    failures = []
    if not wait_ready(station, stderr_path):
        print(f"shift: the station never showed its report\n{open(stderr_path).read()}")
        station.kill()
        return 1

    operator = Operator()
    for _ in range(operator.tab_count):
        operator.step()
    stop = threading.Event()
    scraper = Scraper(metrics_port, stop)
    scraper.start()
    # The client is a process of its own, so the AT-SPI calls here never delay a reply's
    # timing there. The start figures count its connection and a scrape's, as the end
    # figures do.
    client = subprocess.Popen([sys.executable, __file__, "--minutes", str(args.minutes),
                               "--client", str(port)], stdout=subprocess.PIPE, text=True)
    client.stdout.readline()
    while scraper.ok + scraper.failed == 0:
        time.sleep(0.1)
    rss0, fds0, cpu0 = process_figures(station.pid)
    entries0 = fault_entries(root)
    started = time.monotonic()
    next_step = started + GUI_EVERY_SECONDS
    while time.monotonic() - started < seconds and station.poll() is None:
        time.sleep(max(0.0, min(next_step, started + seconds) - time.monotonic()))
        if time.monotonic() >= next_step:
            operator.step()
            next_step += GUI_EVERY_SECONDS
    elapsed = time.monotonic() - started
    alive = station.poll() is None
    if alive:
        rss1, fds1, cpu1 = process_figures(station.pid)
        entries1 = fault_entries(root)
    stop.set()
    client_results = json.loads(client.communicate(timeout=60)[0])
    if alive:
        station.send_signal(signal.SIGTERM)
    try:
        status = station.wait(timeout=60)
    except subprocess.TimeoutExpired:
        station.kill()
        status = "hung on SIGTERM, killed"
    crashes = crash_lines(stderr_path)

    print(f"crashes: {'none' if alive and status == 0 and not crashes else 'YES'} "
          f"(exit status {status}{' after SIGTERM' if alive else ', died during the shift'})")
    for line in crashes:
        print(f"  stderr: {line}")
    if not alive or status != 0 or crashes:
        failures.append("crash")
    lost = client_results["lost"]
    print(f"replies: {client_results['commands']} commands, {len(lost)} lost"
          + "".join(f"\n  lost: {line}" for line in lost[:10]))
    if lost:
        failures.append("lost reply")
    for line in client_results["unexpected"][:10]:
        print(f"  unexpected: {line}")
    print("  tokens: " + ", ".join(f"{t} {n}" for t, n in sorted(client_results["tokens"].items())))
    lat = client_results["latencies"]
    print("latency outside the handlers' waits (GET_OPCODE_PARAM, SET_OPCODE_PARAM, PB): "
          + percentiles([v for w in UNWAITED for v in lat[w]]))
    for word in UNWAITED + WAITED:
        print(f"  {word}: {percentiles(lat[word])}")
    polls = (scraper.polls or 0) - (scraper.first_polls or 0)
    print(f"metrics: {scraper.ok} scrapes, {scraper.failed} failed; {polls:.0f} report polls "
          f"({polls / elapsed:.1f}/s), {scraper.poll_failures or 0:.0f} poll failures in all, "
          f"longest poll age seen {scraper.max_age:.1f} s")
    print(f"GUI over AT-SPI: {operator.visits} tab changes, {operator.acknowledged} entries "
          f"acknowledged ({operator.shown_acknowledged} shown as such within 3 s), "
          f"{len(operator.failures)} failed"
          + "".join(f"\n  failed: {line}" for line in operator.failures[:10]))
    if alive:
        growth = rss1 - rss0
        print(f"RSS: start {rss0 / 1024:.1f} MB, end {rss1 / 1024:.1f} MB "
              f"(growth {growth / 1024:+.2f} MB)")
        print(f"  meanwhile the fault history grew by {entries1 - entries0} entries")
        print(f"open files: start {fds0}, end {fds1}")
        print(f"CPU: {cpu1 - cpu0:.1f} s over {elapsed:.0f} s "
              f"({100 * (cpu1 - cpu0) / elapsed:.0f} % of one core)")
        if growth > MAX_RSS_GROWTH_KB:
            failures.append("RSS growth over 5 MB")
    print(f"shift: {'FAILED: ' + ', '.join(failures) if failures else 'passed'}")
    if not failures:
        shutil.rmtree(root, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
