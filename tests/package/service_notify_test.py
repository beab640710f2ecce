#!/usr/bin/python3
"""Runs the command line of the vantu-headless@ unit as systemd would, with
NOTIFY_SOCKET on a test socket and a watchdog: the station must say READY=1, feed
the watchdog, and say STOPPING=1 and exit 0 on SIGTERM.

Usage: service_notify_test.py UNIT_FILE VANTU_BINARY EXAMPLE_STATION
"""
import os
import shlex
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

WAIT_SECONDS = 60


def exec_start(unit_file, vantu, station):
    with open(unit_file, encoding="utf-8") as unit:
        line = next(l for l in unit if l.startswith("ExecStart="))
    words = shlex.split(line.removeprefix("ExecStart="))
    return [vantu if w == "/usr/bin/vantu" else w.replace("/var/lib/vantu/%i", station)
            for w in words]


def messages(listener, until):
    """Yields each notification until the deadline."""
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        listener.settimeout(deadline - time.monotonic())
        try:
            yield listener.recv(4096).decode()
        except socket.timeout:
            break
    sys.exit(f"FAIL: no {until} within {WAIT_SECONDS} s")


def wait_for(listener, wanted, count=1):
    for text in messages(listener, wanted):
        if wanted in text.split("\n"):
            count -= 1
            if count == 0:
                return


def main():
    unit_file, vantu, example = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as scratch:
        station = os.path.join(scratch, "station")
        shutil.copytree(example, station)
        os.makedirs(os.path.join(scratch, "run"), mode=0o700)
        notify = os.path.join(scratch, "notify")
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        listener.bind(notify)
        env = dict(os.environ, NOTIFY_SOCKET=notify, WATCHDOG_USEC="400000", HOME=scratch,
                   XDG_RUNTIME_DIR=os.path.join(scratch, "run"))
        command = exec_start(unit_file, vantu, station)
        with open(os.path.join(scratch, "stderr.txt"), "w") as err:
            process = subprocess.Popen(command, env=env, cwd=station, stdout=subprocess.DEVNULL,
                                       stderr=err)
            try:
                wait_for(listener, "READY=1")
                wait_for(listener, "WATCHDOG=1", count=3)
                process.send_signal(signal.SIGTERM)
                wait_for(listener, "STOPPING=1")
                status = process.wait(timeout=WAIT_SECONDS)
            finally:
                process.kill()
        if status != 0:
            sys.exit(f"FAIL: exit status {status}: " + open(err.name).read())
        print("READY=1, WATCHDOG=1 and STOPPING=1 heard from:", shlex.join(command))


if __name__ == "__main__":
    main()
