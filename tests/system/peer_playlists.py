#!/usr/bin/env python3
"""Playlists saved here, read by GNOME's playlist parser (and mpv for M3U8 and PLS) to the
same files, titles and lengths; the parser's own, opened here and saved again."""
import os, shutil, subprocess, sys, tempfile

TOOL = sys.argv[1]
try:
    import gi
    gi.require_version("TotemPlParser", "1.0")
    from gi.repository import Gio, TotemPlParser
    assert shutil.which("mpv")
except (ImportError, ValueError, AssertionError):
    sys.exit(print("SKIP: mpv, gir1.2-totemplparser-1.0 or python3-gi is missing") or 77)

# Beside the playlist, below it and above it, with what URIs and XML escape.
SONGS = [("lists/01 Rock & Roll #1 (100%).mp3", 40, "Rock & Roll", "Kapela"),
         ("lists/cd 1/a;b=c [live] 'x'.mp3", 80, "Živě", "Ona"),
         ("music/Žluťoučký kůň.mp3", 120, "Kůň", "Pěl")]
failures, checks = [], 0


def check(what, got, wanted):
    global checks
    checks += 1
    if got != wanted:
        failures.append(what)
        print(f"FAIL {what}:\n  got    {got}\n  wanted {wanted}")


def run(*args):
    return subprocess.run([TOOL, *args], check=True, capture_output=True, text=True).stdout


def totem_reads(playlist):
    entries = []
    parser = TotemPlParser.Parser()
    parser.connect("entry-parsed", lambda _, uri, meta: entries.append((
        Gio.File.new_for_uri(uri).get_path() if "://" in uri else uri, dict(meta))))
    parser.parse(Gio.File.new_for_path(playlist).get_uri(), False)
    return entries


def mpv_reads(playlist):
    script = playlist + ".lua"
    with open(script, "w") as out:
        out.write('mp.register_event("start-file", function()\n'
                  '  for _, e in ipairs(mp.get_property_native("playlist")) do\n'
                  '    print("ENTRY\\t" .. e.filename .. "\\t" .. (e.title or "")) end\n'
                  '  mp.command("quit") end)\n')
    shown = subprocess.run(["mpv", "--no-config", "--ao=null", "--vo=null", f"--script={script}",
                            f"--playlist={playlist}"], capture_output=True, text=True, timeout=60)
    entries = [line.split("\t")[1:] for line in shown.stdout.splitlines() if "ENTRY\t" in line]
    return [(os.path.normpath(path), title.strip()) for path, title in entries]


root = tempfile.mkdtemp()
lists = os.path.join(root, "lists")
files = [os.path.join(root, name) for name, *_ in SONGS]
for path in files:
    os.makedirs(os.path.dirname(path), exist_ok=True)
lengths = [int(run("mp3", path, str(frames), title, artist))
           for path, (_, frames, title, artist) in zip(files, SONGS)]
infos = [f"{artist} - {title}" for *_, title, artist in SONGS]

# What the parser gives of each entry, by format.
FIELDS = {"m3u": lambda i: {},
          "m3u8": lambda i: {"title": infos[i]},
          "pls": lambda i: {"title": infos[i], "duration": str(round(lengths[i] / 1000))},
          "xspf": lambda i: {"title": SONGS[i][2], "author": SONGS[i][3],
                             "duration-ms": str(lengths[i])}}
for form, fields in FIELDS.items():
    # The parser takes a relative XSPF location for a plain path, undecoded: one reaches
    # it only through names that need no escapes.
    for mode in ("rel", "full") if form != "xspf" else ("full",):
        playlist = os.path.join(lists, f"saved-{mode}.{form}")
        run("save", playlist, mode, *files)
        read = totem_reads(playlist)
        check(f"{form} {mode}: the parser's files", [path for path, _ in read], files)
        check(f"{form} {mode}: the parser's fields",
              [{k: meta.get(k) for k in fields(i)} for i, (_, meta) in enumerate(read)],
              [fields(i) for i in range(len(files))])
        if form in ("m3u8", "pls"):  # mpv shows no PLS titles
            check(f"{form} {mode}: mpv's entries", mpv_reads(playlist),
                  list(zip(files, infos if form == "m3u8" else [""] * 3)))

for form, kind in [("pls", TotemPlParser.ParserType.PLS),
                   ("xspf", TotemPlParser.ParserType.XSPF),
                   ("m3u8", TotemPlParser.ParserType.M3U),
                   ("m3u", TotemPlParser.ParserType.M3U)]:  # extended, as players write .m3u
    written = TotemPlParser.Playlist()
    for path, info in zip(files, infos):
        entry = written.append()
        written.set_value(entry, "url", Gio.File.new_for_path(path).get_uri())
        written.set_value(entry, "title", info)
    peer, again = (os.path.join(lists, f"{name}.{form}") for name in ("peer", "again"))
    TotemPlParser.Parser().save(written, Gio.File.new_for_path(peer), "Peer", kind)
    opened = subprocess.run([TOOL, "resave", peer, again], capture_output=True, text=True)
    check(f"peer {form}: opened here", [os.path.normpath(p) for p in opened.stdout.splitlines()], files)
    if opened.returncode == 0 and form == "xspf":
        # The parser reads a relative XSPF location as a name, undecoded ("a%20b.mp3"), so
        # the XSPF saved again, whose relative locations are encoded, is read back here.
        check(f"peer {form}: saved again", [os.path.normpath(p) for p in
                                            run("resave", again, again + ".xspf").splitlines()], files)
    elif opened.returncode == 0:
        check(f"peer {form}: saved again", [path for path, _ in totem_reads(again)], files)

shutil.rmtree(root)
print(f"{checks - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
