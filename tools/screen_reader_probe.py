"""Drives the Qt window through AT-SPI as a screen reader user would and
checks what is said: the end of a run is announced once with its summary,
and the status line reads as text. Run by check-screen-reader.sh on a
private display and bus; prints each check and exits 1 on a failure."""

import functools
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

print = functools.partial(print, flush=True)
window_binary, work = sys.argv[1], sys.argv[2]
page = os.path.join(work, "page.htm")
with open(page, "w") as out:
    out.write('<font face="Arial">Colour</font>\n')
summary = "OK. Files : 1, Replaced files : 1, Errors : 0"
failures = []
announced = []


def check(what, ok, seen=""):
    print(("ok    " if ok else "FAIL  ") + what + ("" if ok else "  (seen: %r)" % (seen,)))
    if not ok:
        failures.append(what)


def find(node, role, name=None):
    """The first descendant with the role (and name), breadth first."""
    queue = [node]
    while queue:
        current = queue.pop(0)
        if current is None:
            continue
        if current.getRoleName() == role and (name is None or current.name == name):
            return current
        queue.extend(list(current))
    return None


def wait_for(get, seconds=20):
    """Waits for get() to give something, handling the bus's events meanwhile."""
    end = time.time() + seconds
    context = GLib.MainContext.default()
    while time.time() < end:
        found = get()
        if found:
            return found
        for _ in range(100):
            if not context.iteration(False):
                break
        time.sleep(0.1)
    return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "quillmere":
            return app
    return None


def on_showing(event):
    try:  # objects of closed dialogs are gone by the time the event is read
        if event.detail1 == 1 and event.source.getRoleName() == "notification":
            announced.append(event.source.name)
    except GLib.GError:
        pass


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "50", *names], check=False)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "10", text], check=False)


def press(node):
    node.queryAction().doAction(0)


def drive():
    app = wait_for(application)
    check("the window is on the accessibility bus", app is not None)
    if app is None:
        return
    main = wait_for(lambda: find(app, "dialog", "Quillmere"))
    # "Add files" is the default button: Return opens the file dialog, where
    # the path is typed into the name field.
    window_id = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                "^Quillmere$"], capture_output=True, text=True).stdout.split()
    if window_id:
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id[0]], check=False)
    key("Return")
    dialog = wait_for(lambda: find(app, "dialog", "Open"))
    check("the open-file dialog opens", dialog is not None)
    if dialog is None:
        return
    time.sleep(0.5)
    type_text(page)
    key("Return")
    wait_for(lambda: find(main, "label", "OK.Selected files : 1"))
    press(find(main, "check box", "Type and size of fonts"))
    # START from the keyboard: a run takes the window's thread until it ends.
    find(main, "push button", "START").queryComponent().grabFocus()
    key("space")
    wait_for(lambda: announced, 10)
    check("the run's end is announced once, with its summary", announced == [summary], announced)
    # The status line read through its text interface, and by its name.
    texts = [label.queryText().getText(0, -1) for label in main
             if label is not None and label.getRoleName() == "label"]
    check("the status line reads as text", summary in texts, texts)
    # The name's change may reach this side of the bus a moment later.
    def named():
        main.clearCache()
        return find(main, "label", summary)
    check("the status line is named by its text", wait_for(named, 10) is not None)
    with open(page) as result:
        check("the page was cleaned", result.read() == "Colour\n")


def main():
    process = subprocess.Popen([window_binary], cwd=work)
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    # As a screen reader does: listening for name changes keeps the names
    # this side of the bus up to date.
    pyatspi.Registry.registerEventListener(lambda event: None, "object:property-change")

    def step():
        try:
            drive()
        except Exception as error:  # report, never hang the run
            check("no error while driving the window", False, repr(error))
        pyatspi.Registry.stop()
        return False

    GLib.timeout_add(500, step)
    pyatspi.Registry.start()
    process.terminate()
    process.wait(10)
    print("%d check(s) failed" % len(failures) if failures else "all checks passed")
    sys.exit(1 if failures else 0)


main()
