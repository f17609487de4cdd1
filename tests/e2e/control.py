#!/usr/bin/python3
"""Finds a control of a running program as a screen reader does, over the accessibility
bus (AT-SPI), by its window's name, its role and its own name, and prints where it is.

    control.py [--showing] [--character N] WINDOW ROLE NAME

prints the control's rectangle on the screen, "X Y WIDTH HEIGHT" (that of its Nth
character with --character), or "hidden" when it is not showing. With --showing it
waits until the control shows. Fails, saying what it looked for, when no such control
shows within 20 seconds. ROLE is AT-SPI's name for it: "push button", "text", "frame".
"""
import argparse
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--showing", action="store_true")
parser.add_argument("--character", type=int)
parser.add_argument("window")
parser.add_argument("role")
parser.add_argument("name")
arguments = parser.parse_args()


def descendants(node):
    yield node
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            yield from descendants(child)


def find():
    desktop = Atspi.get_desktop(0)
    for application in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
        for window in (application.get_child_at_index(i) for i in range(application.get_child_count())):
            if window is None or window.get_name() != arguments.window:
                continue
            for node in descendants(window):
                if node.get_role_name() == arguments.role and node.get_name() == arguments.name:
                    return node
    return None


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


deadline = time.monotonic() + 20
while True:
    try:
        control = find()
    except gi.repository.GLib.Error:
        control = None  # a window that went while it was read
    if control is not None and (showing(control) or not arguments.showing):
        break
    if time.monotonic() > deadline:
        sys.exit(f"control.py: no {'showing ' if arguments.showing else ''}{arguments.role} "
                 f"'{arguments.name}' in a window '{arguments.window}'")
    time.sleep(0.1)

if not showing(control):
    print("hidden")
elif arguments.character is None:
    box = control.get_extents(Atspi.CoordType.SCREEN)
    print(box.x, box.y, box.width, box.height)
else:
    box = control.get_character_extents(arguments.character, Atspi.CoordType.SCREEN)
    print(box.x, box.y, box.width, box.height)
