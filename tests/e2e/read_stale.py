#!/usr/bin/python3
"""Prints what the running station's window says of its report's age: the data-age
label beside the tabs and how many health marks are heard as stale."""
import sys

import pyatspi


def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        if child.getRole() != pyatspi.ROLE_TABLE:
            yield from walk(child)


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name.lower() == "vantu":
        names = [node.name for node in walk(app)]
        age = next((n for n in names if n.startswith("資料") or n.startswith("尚無")), "")
        stale = sum('資料過期' in n and not n.startswith('資料') for n in names)
        print(f"age={age} stale_marks={stale}")
        sys.exit(0)
sys.exit("read_stale.py: no VANTU window on the accessibility bus")
