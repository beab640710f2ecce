#!/usr/bin/python3
"""Runs the vantu-headless@ unit's ExecStart as systemd would, with NOTIFY_SOCKET on a
test socket and a watchdog: READY=1, WATCHDOG=1, then on SIGTERM STOPPING=1 and exit 0.
Usage: service_notify_test.py UNIT_FILE VANTU_BINARY EXAMPLE_STATION"""
import os, shlex, shutil, signal, socket, subprocess, sys, tempfile

unit_file, vantu, example = sys.argv[1:4]
with tempfile.TemporaryDirectory() as scratch:
    station = os.path.join(scratch, "station")
    shutil.copytree(example, station)
    os.makedirs(os.path.join(scratch, "run"), mode=0o700)
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    listener.bind(os.path.join(scratch, "notify"))
    listener.settimeout(60)
    line = next(l for l in open(unit_file, encoding="utf-8") if l.startswith("ExecStart="))
    command = [vantu if w == "/usr/bin/vantu" else w.replace("/var/lib/vantu/%i", station)
               for w in shlex.split(line.removeprefix("ExecStart="))]
    env = dict(os.environ, NOTIFY_SOCKET=os.path.join(scratch, "notify"),
               WATCHDOG_USEC="400000", HOME=scratch, XDG_RUNTIME_DIR=os.path.join(scratch, "run"))
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
    try:
        for wanted in ["READY=1", "WATCHDOG=1", "WATCHDOG=1", "STOPPING=1"]:
            if wanted == "STOPPING=1":
                process.send_signal(signal.SIGTERM)
            while wanted not in listener.recv(4096).decode().split("\n"):
                pass
        status = process.wait(timeout=60)
    finally:
        process.kill()
    if status != 0:
        sys.exit(f"FAIL: exit status {status}")
print("READY=1, WATCHDOG=1 and STOPPING=1 from:", shlex.join(command))
