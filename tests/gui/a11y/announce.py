#!/usr/bin/python3
"""The result list as a screen reader hears it over AT-SPI: its rows' names and formats, and each
keyboard move of the selection announced on the row it lands on.

Usage: announce.py FORM (the program of AnnounceForm.cpp), on a display with an accessibility bus.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# The rows of the search "bell" over the test sites: name (with the error of a page that cannot be
# read) and formats (the description).
ROWS = [("Bell One, alpha.example", "MIDI"), ("Bell Two, alpha.example", "WAV"),
        ("Bell Three, beta.example, Cannot retreive page from the Internet.", ""),
        ("Gong, gamma.example", "WAV, MP3")]
# A key pressed in the list (no row is selected at first), and the row the selection lands on.
MOVES = [("Down", 0), ("Down", 1), ("End", 3), ("Up", 2), ("Home", 0), ("PgDown", 3)]

heard = []


def wait_for(what, seconds=10):
    end = time.monotonic() + seconds
    while not what() and time.monotonic() < end:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)
    return what()


def fail(why):
    print("FAIL:", why, file=sys.stderr)
    print("heard:", heard, file=sys.stderr)
    sys.exit(1)


def on_event(event):
    heard.append((event.type, event.source.name, event.source.getIndexInParent(), event.detail1))


def announced(index):
    """The row, named and at its place in the list, was told selected and focused."""
    told = {kind for kind, name, at, detail in heard
            if name == ROWS[index][0] and at == index and detail == 1}
    return told >= {"object:state-changed:selected", "object:state-changed:focused"}


def result_list(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return pyatspi.findDescendant(
                app, lambda node: node is not None and node.getRole() == pyatspi.ROLE_LIST
                and node.name == "Search results")
    return None


def main():
    pyatspi.Registry.registerEventListener(
        on_event, "object:state-changed:selected", "object:state-changed:focused")
    form = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True)
    try:
        for line in form.stdout:
            print(line, end="")
            if line.strip() == "ready":
                break
        else:
            fail("the form ended before it was ready")
        if not wait_for(lambda: result_list(form.pid) is not None):
            fail("no result list on the accessibility bus")
        rows = result_list(form.pid)
        seen = [(rows[i].name, rows[i].description) for i in range(rows.childCount)]
        if seen != ROWS:
            fail(f"rows {seen}, expected {ROWS}")
        for key, index in MOVES:
            heard.clear()
            form.stdin.write(key + "\n")
            form.stdin.flush()
            if not wait_for(lambda: announced(index), 5):
                fail(f"{key}: row {index} not announced")
        form.stdin.write("quit\n")
        form.stdin.flush()
        if form.wait(30) != 0:
            fail(f"the form ended with {form.returncode}")
    finally:
        if form.poll() is None:
            form.kill()
            form.wait()
    print("PASS: rows named, every move announced")


main()
