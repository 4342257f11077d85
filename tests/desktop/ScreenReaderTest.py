#!/usr/bin/python3
# The real program as a screen reader reads it, on an AT-SPI bus of its own
# (run by ctest under desktop-with-bus): ScreenReaderTest.py <tidewire> <demo server>
import os, subprocess, sys, tempfile, time

import pyatspi
from gi.repository import GLib

program, server = sys.argv[1:3]
failures, started = [], []

def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    return ok or failures.append(what)

def wait_for(find, seconds):
    """Polls find(), events coming in meanwhile, until it gives something."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            if found := find():
                return found
        except Exception:  # a node went away while it was read
            pass
        time.sleep(0.2)

def nodes(root, depth=40):
    if root is not None and depth:
        yield root
        for i in range(root.childCount):
            yield from nodes(root.getChildAtIndex(i), depth - 1)

def first(root, role, name=None):
    return next((n for n in nodes(root) if n.getRole() == role and name in (None, n.name)), None)

def cells(tree):
    return [r for r in nodes(tree, 2) if r.getRole() in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_CHECK_BOX,
                                                          pyatspi.ROLE_RADIO_BUTTON)]

def has(node, state):
    return node.getState().contains(state)

def act(node, name):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    return name in names and action.doAction(names.index(name))

def click(node):
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)


def scenario(home):
    for command in (["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], ["openbox", "--sm-disable"],
                    [server, "--url-file", home + "/url", "--seed-home", home, "--exit-with", str(os.getpid())]):
        started.append(subprocess.Popen(command))
    base = wait_for(lambda: os.path.exists(home + "/url") and open(home + "/url").read().strip(), 20)
    env = dict(os.environ, TIDEWIRE_HOME=home, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu", TIDEWIRE_FEED_BASE=base)
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    started.append(subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "tidewire"), None), 60)
    if not check(app is not None, "the program is on the accessibility bus"):
        return

    # The first check finds new items: each site's alert is announced.
    alert = wait_for(lambda: first(app, pyatspi.ROLE_NOTIFICATION), 90)
    if check(alert is not None, "an alert is a notification"):
        check(alert.name.startswith("Tidewire") and "new item" in alert.description,
              "its name is its title, its description its text: %r, %r" % (alert.name, alert.description))
        gone = lambda: not has(alert, pyatspi.STATE_SHOWING) or has(alert, pyatspi.STATE_DEFUNCT)
        check(act(alert, "Close") and wait_for(gone, 10), "Close closes it")

    sites, log = first(app, pyatspi.ROLE_TREE, "Sites"), first(app, pyatspi.ROLE_TREE, "Activity log")
    if check(sites is not None and log is not None, "the site tree and the activity list are named"):
        levels = {row.description for row in cells(log)}
        check(levels and levels <= {"Information", "Warning", "Error"}, "activity rows say their level: %s" % levels)
        # A site opens with a click, then one of its items, whose page is read.
        rows = {r.name for r in cells(sites)}
        click(cells(sites)[0])
        item = wait_for(lambda: next(r for r in cells(sites) if r.name not in rows), 20)
        click(item)
        # The web engine's page is a web document, the light view's a document.
        documents = lambda: [first(app, pyatspi.ROLE_DOCUMENT_WEB) or first(app, pyatspi.ROLE_DOCUMENT_FRAME)]
        page = wait_for(lambda: next(d for d in documents() if any(item.name in n.name for n in nodes(d))), 30)
        check(first(page, pyatspi.ROLE_PARAGRAPH) is not None, "the item page's paragraphs are read: %s" % item.name)

    check(act(first(app, pyatspi.ROLE_MENU_ITEM, "Settings"), "Press"), "Settings is pressed")
    dialog = wait_for(lambda: first(app, pyatspi.ROLE_DIALOG), 20)
    tree = dialog and first(dialog, pyatspi.ROLE_TREE, "Options")
    if not check(tree is not None, "the options window is a dialog with a named tree"):
        return
    # Qt's bridge sends a tree item as a table cell with the role name "tree item".
    rows = cells(tree)
    roles = {r.getLocalizedRoleName() for r in rows}
    check({"check box", "radio button", "tree item"} <= roles, "rows are checks, options and folders: %s" % roles)
    check(all(has(r, pyatspi.STATE_EXPANDABLE) for r in rows if r.getLocalizedRoleName() == "tree item"),
          "folders open and close")
    box = next(r for r in rows if r.getRole() == pyatspi.ROLE_CHECK_BOX)
    heard = []
    pyatspi.Registry.registerEventListener(lambda e: heard.append((e.source.name, e.detail1)),
                                           "object:state-changed:checked")
    space = lambda: act(box, "SetFocus") and subprocess.run(["xdotool", "key", "space"], check=True)
    for how, toggle in (("Space", space), ("Toggle", lambda: act(box, "Toggle"))):
        was = has(box, pyatspi.STATE_CHECKED)
        heard.clear()
        toggle()
        check(wait_for(lambda: (box.name, int(not was)) in heard, 10) and has(box, pyatspi.STATE_CHECKED) != was,
              "%s toggles %r and says so (heard %s)" % (how, box.name, heard))


with tempfile.TemporaryDirectory() as home:
    try:
        scenario(home)
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait(10)
sys.exit("%d failed" % len(failures) if failures else print("all passed"))
