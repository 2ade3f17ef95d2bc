"""Works the real main window as a screen reader does, over AT-SPI: closes the tips window
with its OK button, finds the settings button by its role and name, presses it by its
accessible action, and checks that the settings dialog opens and closes again."""
import pyatspi

from reader_tools import application, fail, find, press, wait_for, window

MAIN = "Trackbinder by Brivola 2000"
TIPS = "Víte že ..."
SETUP = "Nastavení Trackbinder"
SETTINGS_BUTTON = "Nastavení parametrů programu"


app = wait_for(application, 60, "Trackbinder on the accessibility bus")
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
