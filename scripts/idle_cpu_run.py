#!/usr/bin/python3
"""The station's CPU use at rest on each tab, run by scripts/idle-cpu.sh inside a
session bus and an X server (see there for what it does and prints).

Usage: idle_cpu_run.py --vantu BINARY --example DIR [--seconds N]
"""
import argparse
import os
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import shift_run  # noqa: E402

SETTLE_SECONDS = 5
LIMIT_PERCENT = 1.0


def prepare_station(example):
    root = tempfile.mkdtemp(prefix="vantu-idle-")
    shutil.copytree(example, os.path.join(root, "station"))
    os.makedirs(os.path.join(root, "home"))
    os.makedirs(os.path.join(root, "run"), mode=0o700)
    return root


def cpu_seconds(pid):
    return shift_run.process_figures(pid)[2]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--vantu", required=True)
    parser.add_argument("--example", required=True)
    parser.add_argument("--seconds", type=float, default=30)
    args = parser.parse_args()
    root = prepare_station(args.example)
    stderr_path = os.path.join(root, "stderr.txt")
    station = shift_run.start_station(args.vantu, root, shift_run.free_port())
    if not shift_run.wait_ready(station, stderr_path):
        print(f"idle: the station never showed its report\n{open(stderr_path).read()}")
        station.kill()
        return 1
    window = shift_run.drive_window.Window()
    over = []
    for tab, page in enumerate(window.tabs):
        window.choose_tab(tab)
        time.sleep(SETTLE_SECONDS)
        cpu0, t0 = cpu_seconds(station.pid), time.monotonic()
        time.sleep(args.seconds)
        cpu1, t1 = cpu_seconds(station.pid), time.monotonic()
        percent = 100 * (cpu1 - cpu0) / (t1 - t0)
        print(f"tab {tab} {page.name}: {percent:.2f} % of one core "
              f"({cpu1 - cpu0:.2f} s over {t1 - t0:.0f} s)", flush=True)
        if percent >= LIMIT_PERCENT:
            over.append(page.name)
    station.send_signal(signal.SIGTERM)
    station.wait(timeout=60)
    print(f"idle: {'over ' + str(LIMIT_PERCENT) + ' % on ' + ', '.join(over) if over else 'passed'}")
    if not over:
        shutil.rmtree(root, ignore_errors=True)
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
