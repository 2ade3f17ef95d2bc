"""Reads the playlist of the real main window as a screen reader does, over AT-SPI: adds the
shown folder's MP3s with the window's own buttons, finds the playlist as a list, reads its
entries as list items with their texts, clicks one and reads it back as the selected one."""
import subprocess
import sys

import pyatspi

from reader_tools import application, fail, find, press, wait_for, window

MAIN = "Trackbinder by Brivola 2000"
FILES = sys.argv[1:]  # the MP3 names in the folder the window shows, in the list's order


def entries(playlist):
    return [playlist.getChildAtIndex(i) for i in range(playlist.childCount)]


app = wait_for(application, 60, "Trackbinder on the accessibility bus")
main = wait_for(lambda: window(app, MAIN), 15, "main window")
press(wait_for(lambda: find(main, pyatspi.ROLE_PUSH_BUTTON, "Vyber vše"), 10, "'Vyber vše'"),
      "'Vyber vše'")
press(wait_for(lambda: find(main, pyatspi.ROLE_PUSH_BUTTON, ">>> Přidat >>>"), 10,
               "'>>> Přidat >>>'"), "'>>> Přidat >>>'")

playlist = wait_for(lambda: find(main, pyatspi.ROLE_LIST, "Playlist"), 10,
                    "list named 'Playlist'")
wait_for(lambda: playlist.childCount == len(FILES), 10, "%d entries in the playlist" % len(FILES))
names = [item.name for item in entries(playlist)]
if [name.rsplit("/", 1)[-1] for name in names] != FILES:
    fail("the entries read %s, expected paths ending in %s" % (names, FILES))

# A real click on the second entry, where the reader says it is on the screen.
second = playlist.getChildAtIndex(1)
box = second.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                str(box.y + box.height // 2), "click", "1"], check=True)
wait_for(lambda: pyatspi.STATE_SELECTED in playlist.getChildAtIndex(1).getState().getStates(),
         10, "second entry read as selected after the click")
for i, item in enumerate(entries(playlist)):
    if i != 1 and pyatspi.STATE_SELECTED in item.getState().getStates():
        fail("entry %d reads as selected, only the clicked one is" % i)
if pyatspi.STATE_FOCUSED not in playlist.getChildAtIndex(1).getState().getStates():
    fail("the clicked entry is current but does not read as focused")
print("the playlist reads as a list of its entries, the clicked one selected")
