"""What the screen reader scripts share: finding the program, its windows and its controls
over AT-SPI, and pressing a control by its accessible action."""
import sys
import time

import pyatspi


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(probe, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree changes under us while windows come and go
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail("no " + what + " within %d s" % seconds)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Trackbinder":
            return app
    return None


def showing(accessible):
    states = accessible.getState()
    return states.contains(pyatspi.STATE_SHOWING) or states.contains(pyatspi.STATE_VISIBLE)


def window(app, name):
    for i in range(app.childCount):
        child = app.getChildAtIndex(i)
        if child is not None and child.name == name and showing(child):
            return child
    return None


def find(root, role, name, depth=0):
    if depth > 12 or root is None:
        return None
    if root.getRole() == role and root.name == name:
        return root
    for i in range(root.childCount):
        found = find(root.getChildAtIndex(i), role, name, depth + 1)
        if found is not None:
            return found
    return None


def press(button, what):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail("%s offers no press action, only %s" % (what, names))
    started = time.monotonic()
    action.doAction(names.index("Press"))
    # A press that opens a modal window must not hold the reader until it closes.
    if time.monotonic() - started > 3:
        fail("pressing %s held the reader for %.1f s" % (what, time.monotonic() - started))
