#!/usr/bin/python3
"""The real program as a screen reader reads it, through a real AT-SPI bus.

Run by ctest under desktop-with-bus (a session bus and an X server of its own):
    ScreenReaderTest.py <tidewire> <tidewire-demo-server>
One scenario: an alert is announced by name and closes by its action; the
trees are named and activity rows say their level; a shown item page can be
read; the options window is a dialog whose tree rows are check boxes and
option buttons that tell their state, and say when Space or "Toggle" changes it.
"""
import os, subprocess, sys, tempfile, time

import pyatspi
from gi.repository import GLib

program, server = sys.argv[1:3]
failures = []
started = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_for(find, seconds):
    """Polls find() (events keep coming meanwhile) until it gives something."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            found = find()
        except Exception:  # a node went away while it was read
            found = None
        if found:
            return found
        time.sleep(0.2)
    return None


def start(*command, **kw):
    process = subprocess.Popen(command, **kw)
    started.append(process)
    return process


def nodes(root, depth=40):
    if root is None or depth == 0:
        return
    yield root
    for i in range(root.childCount):
        yield from nodes(root.getChildAtIndex(i), depth - 1)


def first(root, role, name=None):
    return next((n for n in nodes(root) if n.getRole() == role and (name is None or n.name == name)), None)


def has(node, state):
    return node.getState().contains(state)


def act(node, name):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    return name in names and action.doAction(names.index(name))


def text_of(root):
    """What a screen reader reads out: names, and the text of text objects."""
    texts = []
    for n in nodes(root):
        texts.append(n.name)
        try:
            texts.append(n.queryText().getText(0, -1))
        except NotImplementedError:
            pass
    return " ".join(texts)


def click(node):
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)


def scenario(home):
    # The session's accessibility bus, as a desktop starts it for a screen reader.
    start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
    start("openbox", "--sm-disable")
    url_file = os.path.join(home, "server.url")
    start(server, "--url-file", url_file, "--seed-home", home, "--exit-with", str(os.getpid()))
    check(wait_for(lambda: os.path.exists(url_file) and open(url_file).read().strip(), 20), "the demo server is up")
    env = dict(os.environ, TIDEWIRE_HOME=home, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu", TIDEWIRE_FEED_BASE=open(url_file).read().strip())
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    start(program, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for(lambda: next((a for a in desktop if a and a.name == "tidewire"), None), 60)
    if not check(app is not None, "the program is on the accessibility bus"):
        return

    # The first check finds new items: each site's alert is a notification
    # named by its title, and its close action closes it.
    alert = wait_for(lambda: first(app, pyatspi.ROLE_NOTIFICATION), 90)
    if check(alert is not None, "an alert is a notification"):
        check(alert.name.startswith("Tidewire") and "new item" in alert.description,
              "the alert's name is its title, its description the text: %r, %r" % (alert.name, alert.description))
        check(act(alert, "Close") and wait_for(lambda: alert.name == "" or not has(alert, pyatspi.STATE_SHOWING), 10),
              "the alert closes by its action")

    sites = first(app, pyatspi.ROLE_TREE_TABLE, "Sites") or first(app, pyatspi.ROLE_TREE, "Sites")
    log = first(app, pyatspi.ROLE_TREE_TABLE, "Activity log") or first(app, pyatspi.ROLE_TREE, "Activity log")
    check(sites is not None and log is not None, "the site tree and the activity list are named")
    if log is not None:
        levels = {row.description for row in nodes(log, 2) if row.getRole() == pyatspi.ROLE_TABLE_CELL}
        check(levels and levels <= {"Information", "Warning", "Error"}, "activity rows say their level: %s" % levels)

    # A site opens with a click, then one of its items; its page is read.
    if sites is not None:
        cells = lambda: [r for r in nodes(sites, 2) if r.getRole() == pyatspi.ROLE_TABLE_CELL]
        rows = cells()
        click(rows[0])
        item = wait_for(lambda: next((r for r in cells() if r.name not in {s.name for s in rows}), None), 20)
        if check(item is not None, "the site's items are shown"):
            click(item)
            title = item.name
            page = wait_for(lambda: (lambda d: d if d and title in text_of(d) else None)(
                first(app, pyatspi.ROLE_DOCUMENT_WEB)), 30)
            check(page is not None and first(page, pyatspi.ROLE_PARAGRAPH) is not None,
                  "the item page's paragraphs can be read (%s)" % title)

    # The options dialog, opened from the menu.
    check(act(first(app, pyatspi.ROLE_MENU_ITEM, "Settings"), "Press"), "Settings can be pressed")
    dialog = wait_for(lambda: first(app, pyatspi.ROLE_DIALOG), 20)
    if not check(dialog is not None, "the options window is a dialog"):
        return
    tree = first(dialog, pyatspi.ROLE_TREE, "Options")
    if not check(tree is not None, "the option tree is named"):
        return
    rows = [r for r in nodes(tree, 2) if r != tree and r.name]
    # Qt's bridge sends a tree item as a table cell with the role name "tree item".
    roles = {r.getLocalizedRoleName() for r in rows}
    check({"check box", "radio button", "tree item"} <= roles, "rows are check boxes, option buttons and folders: %s"
          % roles)
    check(all(has(r, pyatspi.STATE_EXPANDABLE) for r in rows if r.getLocalizedRoleName() == "tree item"),
          "folders can be opened")
    box = next(r for r in rows if r.getRole() == pyatspi.ROLE_CHECK_BOX)
    heard = []
    pyatspi.Registry.registerEventListener(lambda e: heard.append((e.source.name, e.detail1)),
                                           "object:state-changed:checked")
    for how in ("Space", "Toggle"):
        was = has(box, pyatspi.STATE_CHECKED)
        heard.clear()
        if how == "Space":
            act(box, "SetFocus")
            subprocess.run(["xdotool", "key", "space"], check=True)
        else:
            act(box, "Toggle")
        check(wait_for(lambda: (box.name, int(not was)) in heard, 10) and has(box, pyatspi.STATE_CHECKED) != was,
              "%s toggles %r and says so (heard %s)" % (how, box.name, heard))


def main():
    with tempfile.TemporaryDirectory() as home:
        try:
            scenario(home)
        finally:
            for process in reversed(started):
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
