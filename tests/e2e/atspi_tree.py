#!/usr/bin/python3
"""Prints the accessible tree of one application as assistive technology reads it.

Usage: atspi_tree.py APPLICATION TIMEOUT_SECONDS [ROLE NAME]

Waits (up to the timeout) until the application is registered with the accessibility
registry and shows a push button, then prints one line per accessible object:
depth, role name, name and action names, separated by tabs. With ROLE and NAME it
first performs the "press" action of the first object of that role and name.
"""
import sys
import time

import pyatspi


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.name == name:
            return application
    return None


def walk(node, depth, visit):
    if node is None or depth > 40:
        return
    visit(node, depth)
    for index in range(node.childCount):
        walk(node.getChildAtIndex(index), depth + 1, visit)


def action_names(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def has_button(application):
    found = []
    walk(application, 0, lambda node, depth: found.append(node.getRoleName() == "push button"))
    return any(found)


def main():
    name, timeout = sys.argv[1], float(sys.argv[2])
    deadline = time.monotonic() + timeout
    application = None
    while application is None or not has_button(application):
        if time.monotonic() > deadline:
            desktop = pyatspi.Registry.getDesktop(0)
            names = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
            print("no application named %s among %s" % (name, names), file=sys.stderr)
            return 1
        time.sleep(0.1)
        application = find_application(name)
    if len(sys.argv) >= 5:
        pressed = []

        def press(node, depth):
            if not pressed and node.getRoleName() == sys.argv[3] and node.name == sys.argv[4]:
                node.queryAction().doAction(action_names(node).index("Press"))
                pressed.append(node)
        walk(application, 0, press)
        if not pressed:
            print("nothing to press named %s" % sys.argv[4], file=sys.stderr)
            return 1
    walk(application, 0, lambda node, depth: print(
        "%d\t%s\t%s\t%s" % (depth, node.getRoleName(), node.name, ",".join(action_names(node)))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
