"""Works the real main window as a screen reader does, over AT-SPI: closes the tips window
with its OK button, finds the settings button by its role and name, presses it by its
accessible action, and checks that the settings dialog opens and closes again."""
import sys
import time

import pyatspi

MAIN = "Trackbinder by Brivola 2000"
TIPS = "Víte že ..."
SETUP = "Nastavení Trackbinder"
SETTINGS_BUTTON = "Nastavení parametrů programu"


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


app = wait_for(application, 30, "Trackbinder on the accessibility bus")
tips = wait_for(lambda: window(app, TIPS), 30, "tips window")
ok = wait_for(lambda: find(tips, pyatspi.ROLE_PUSH_BUTTON, "OK"), 10, "OK button in the tips")
press(ok, "the tips' OK button")

main = wait_for(lambda: window(app, MAIN), 15, "main window after the tips")
settings = wait_for(lambda: find(main, pyatspi.ROLE_PUSH_BUTTON, SETTINGS_BUTTON), 10,
                    "push button named '%s'" % SETTINGS_BUTTON)
press(settings, "the settings button")
setup = wait_for(lambda: window(app, SETUP), 15, "settings dialog after the press")

close = wait_for(lambda: find(setup, pyatspi.ROLE_PUSH_BUTTON, "Zavřít"), 10,
                 "'Zavřít' button in the settings dialog")
press(close, "'Zavřít'")
wait_for(lambda: window(app, SETUP) is None, 10, "closing of the settings dialog")
print("the settings button was found by role and name, pressed, and the dialog opened")
