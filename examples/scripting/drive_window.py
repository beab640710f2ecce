#!/usr/bin/python3
"""Works the running station's window over AT-SPI, as an operator would with the mouse:
chooses tabs, presses buttons, selects rows, and waits for a question box.

Usage:
  drive_window.py tab INDEX              choose the tab (0 is the main page)
  drive_window.py press TEXT [GROUP]     press the button with that text (inside GROUP)
  drive_window.py toggle TEXT            toggle the check box or radio button with that text
  drive_window.py wait-text TEXT         wait until some widget shows exactly TEXT
  drive_window.py wait-question          wait until a question or message box is open

Each command waits up to 30 s for what it needs and exits 1 when it never came.
"""
import sys
import time

import pyatspi

WAIT_SECONDS = 30


def find_all(node, wanted):
    """Every descendant for which wanted(node) holds, depth first, tables left out."""
    found = []
    for child in node:
        if child is None:
            continue
        if wanted(child):
            found.append(child)
        if child.getRole() != pyatspi.ROLE_TABLE:
            found.extend(find_all(child, wanted))
    return found


def wait_for(what, look):
    """Calls look() until it gives something; exits when it never does."""
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        try:
            found = look()
        # Widgets come and go while the pages are built: look again.
        except (StopIteration, IndexError, LookupError, RuntimeError):
            found = None
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"drive_window.py: no {what} within {WAIT_SECONDS} s")


def station():
    def look():
        return next((a for a in pyatspi.Registry.getDesktop(0)
                     if a is not None and a.name.lower() == "vantu"), None)
    return wait_for("VANTU window on the accessibility bus", look)


class Window:
    """The station's widgets, looked up once: each look-up is a round trip to the GUI
    thread of the station."""

    def __init__(self):
        self.app = station()
        self.tabs = wait_for("tabs", lambda: find_all(
            self.app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB))

    def choose_tab(self, index):
        press(self.tabs[index])

    def button(self, text, group=None):
        def in_group(node):
            parent = node.parent
            while parent is not None and group is not None:
                if parent.getRole() == pyatspi.ROLE_PANEL and parent.name == group:
                    return True
                parent = parent.parent
            return group is None

        return wait_for(f"button {text!r}", lambda: next(
            b for b in find_all(self.app, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                                and n.name == text) if in_group(b)))

    def toggle_button(self, text):
        roles = (pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON)
        return wait_for(f"check box or radio button {text!r}", lambda: next(
            b for b in find_all(self.app, lambda n: n.getRole() in roles and n.name == text)))

    def table_with_column(self, header):
        def look():
            for node in find_all(self.app, lambda n: n.getRole() == pyatspi.ROLE_TABLE):
                table = node.queryTable()
                if any(table.getColumnDescription(c) == header for c in range(table.nColumns)):
                    return table
            return None
        return wait_for(f"table with the column {header!r}", look)

    def wait_text(self, text):
        wait_for(f"widget showing {text!r}",
                 lambda: find_all(self.app, lambda n: n.name == text))

    def wait_question(self):
        wait_for("question box", lambda: find_all(
            self.app, lambda n: n.getRole() == pyatspi.ROLE_ALERT and
            n.getState().contains(pyatspi.STATE_SHOWING)))


def press(button):
    button.queryAction().doAction(0)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    command, args = sys.argv[1], sys.argv[2:]
    window = Window()
    if command == "tab":
        window.choose_tab(int(args[0]))
    elif command == "press":
        press(window.button(*args))
    elif command == "toggle":
        press(window.toggle_button(args[0]))
    elif command == "wait-text":
        window.wait_text(args[0])
    elif command == "wait-question":
        window.wait_question()
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
