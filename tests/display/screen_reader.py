#!/usr/bin/python3
# Reads the running program's screens through the accessibility interface (AT-SPI), as a screen
# reader does, and presses its buttons. Used by the whole-road test.
#   screen_reader.py number [PREVIOUS]  the number the drill shows (waits for one other than PREVIOUS)
#   screen_reader.py press CAPTION     presses the button with that caption
#   screen_reader.py find TEXT         prints the first label that contains TEXT
#   screen_reader.py find-line TEXT    prints the first list line that contains TEXT
import sys
import time

import pyatspi


def nodes():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "divisor-drill":
            stack = [app]
            while stack:
                node = stack.pop()
                if node is None:
                    continue
                yield node
                # Hidden panels (the answers, the wait panels) are not looked into.
                if node is not app and not showing(node):
                    continue
                try:
                    stack.extend(list(node))
                except Exception:
                    pass


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def wait(find, what):
    for _ in range(600):  # a limit that only catches a hang
        try:
            found = find()
        except Exception:
            found = None
        if found is not None:
            return found
        time.sleep(0.05)
    sys.exit("screen_reader: no " + what + " on the screen")


def number(previous):
    def find():
        for node in nodes():
            if node.description == "出題の数" and showing(node) and node.name.isdigit() and node.name != previous:
                return node.name
        return None
    return wait(find, "new number")


def press(caption):
    def find():
        for node in nodes():
            if node.getRoleName() == "push button" and node.name.replace("&", "") == caption and showing(node):
                return node
        return None
    button = wait(find, "button " + caption)
    button.queryAction().doAction(0)


def find_label(text, roles=("label",)):
    def find():
        for node in nodes():
            if node.getRoleName() in roles and text in node.name and showing(node):
                return node.name
        return None
    return wait(find, "label with " + text)


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "number":
        print(number(sys.argv[2] if len(sys.argv) > 2 else ""))
    elif command == "press":
        press(sys.argv[2])
    elif command == "find":
        print(find_label(sys.argv[2]))
    elif command == "find-line":
        print(find_label(sys.argv[2], ("list item", "table cell")))
