#!/usr/bin/python3
"""Reads the station's window over AT-SPI: the tab titles, the main page's fault
totals and one cell of the whole-antenna grid. Waits up to a minute for the window.

Usage: read_main_page.py [ROW COLUMN]   (the grid cell; 30 50 by default)
"""
import sys
import time

import pyatspi

ANTENNA_SHAPE = (60, 115)
TOTALS_HEADER = "故障總數"
WAIT_SECONDS = 60


def find_all(node, wanted):
    """Every descendant for which wanted(node) holds, depth first."""
    found = []
    for child in node:
        if child is None:
            continue
        if wanted(child):
            found.append(child)
        # The cells of a table are reached through its table interface instead.
        if child.getRole() != pyatspi.ROLE_TABLE:
            found.extend(find_all(child, wanted))
    return found


def antenna_grid(app):
    for table in find_all(app, lambda n: n.getRole() == pyatspi.ROLE_TABLE):
        grid = table.queryTable()
        if (grid.nRows, grid.nColumns) == ANTENNA_SHAPE:
            return grid
    return None


def station():
    """The station's application once its window has built the main page: a script
    can start right after the station and wait here."""
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "vantu" and antenna_grid(app):
                return app
        time.sleep(0.2)
    sys.exit(f"read_main_page.py: no VANTU window on the accessibility bus after {WAIT_SECONDS} s")


def main():
    row, column = (int(sys.argv[1]), int(sys.argv[2])) if len(sys.argv) == 3 else (30, 50)
    app = station()

    tabs = find_all(app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB)
    print("tabs:", " | ".join(tab.name.strip() for tab in tabs))

    tables = [t.queryTable() for t in find_all(app, lambda n: n.getRole() == pyatspi.ROLE_TABLE)]
    for table in tables:
        # The module status list: a label column followed by its fault total (the
        # interface columns share the header but show a state, not a number).
        for col in range(1, table.nColumns):
            if table.getColumnDescription(col) != TOTALS_HEADER:
                continue
            for r in range(table.nRows):
                total = table.getAccessibleAt(r, col).name.strip()
                if total.isdigit():
                    print("fault total:", table.getAccessibleAt(r, col - 1).name, "=", total)

    cell = antenna_grid(app).getAccessibleAt(row, column)
    print(f"cell {row},{column}: text={cell.name!r} tooltip={cell.description!r}")


if __name__ == "__main__":
    main()
