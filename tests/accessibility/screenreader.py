#!/usr/bin/python3
"""Reads the real Velmira the way a screen reader does, over AT-SPI, in English and in German.

Usage: screenreader.py VELMIRA_EXECUTABLE. Needs an X display and a D-Bus session bus of its own
(scripts/with-desktop); exits 77 (skipped) without a display. Prints the accessible tree it read.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

SKIP = 77
# The controls' internal identifiers: a screen reader must never read one of them aloud.
INTERNAL = {"frmMain", "frmOptions", "frmAbout", "Toolbar1", "Toolbar2", "Toolbar3",
            "Toolbar1Start", "Toolbar1Stop", "Toolbar2Load", "Toolbar2Save", "Toolbar3About",
            "Label1", "Label2", "Label3", "Label4", "txtNames", "int3rval", "mnuLoad", "mnuSave",
            "chkMin(0)", "chkMin(1)", "chkMin0", "chkMin1", "chkResetNick", "Slider1", "cmdOk",
            "Image1", "Shape1", "Shape2"}
failures = []
# Pop-up menus are no children of the application: they are seen as they show.
shown = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait_for(what, find, timeout=60):
    """Polls the accessible tree until find() gives something; the program answers over D-Bus,
    so there is no signal in this process to wait on."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree changes while it is read
            found = None
        if found:
            print("ok   " + what, flush=True)
            return found
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    check(False, "within %d s: %s" % (timeout, what))
    raise SystemExit(finish())


def walk(node, depth=0, out=None):
    out = [] if out is None else out
    if node is None:
        return out
    node.clearCache()
    out.append((depth, node))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, out)
    return out


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def find(app, role, name, showing=True):
    nodes = walk(app) + [n for menu in shown for n in walk(menu)]
    for _, node in nodes:
        if node.getRoleName() == role and node.name == name and (
                not showing or node.getState().contains(pyatspi.STATE_SHOWING)):
            return node
    return None


def focused_name(app, before):
    """The name of the focused control once it differs from the last one in `before`."""
    for _, node in walk(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED) and node.name:
            last = before[-1] if before else "Load"
            return node.name if node.name != last else None
    return None


def focus(node, what):
    node.queryComponent().grabFocus()
    wait_for(what, lambda: node.clearCache() or node.getState().contains(pyatspi.STATE_FOCUSED))


def enabled(node):
    node.clearCache()
    return node.getState().contains(pyatspi.STATE_ENABLED)


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)


def start(velmira, lang, home):
    env = dict(os.environ, LANG=lang, LC_ALL="", LANGUAGE="", HOME=home,
               XDG_CONFIG_HOME=os.path.join(home, ".config"), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    return subprocess.Popen([velmira, "--messenger=builtin"], env=env)


def dump(app):
    for depth, node in walk(app):
        print("  %s%s %r %r" % ("  " * depth, node.getRoleName(), node.name, node.description))


def english(app):
    main = wait_for("the main window", lambda: find(app, "frame", "Velmira 4.1"))
    dump(app)
    heard = {text for _, node in walk(app) for text in (node.name, node.description)}
    check(not heard & INTERNAL, "no identifier is read aloud: %s" % sorted(heard & INTERNAL))
    names = wait_for("the names box", lambda: find(app, "text", "Names, one per line"))
    check(names.description != "", "the names box has a description")
    focus(names, "the names box takes the focus under its own name")
    for bar in ("Names lists", "Help", "Rotation"):
        check(find(app, "tool bar", bar) is not None, "tool bar %r" % bar)
    # Tab goes left to right as the controls stand on the screen, then into the names box.
    load = find(app, "push button", "Load")
    focus(load, "Load focused")
    order = []
    for _ in range(5):
        key("Tab")
        order.append(wait_for("focus moved by Tab", lambda: focused_name(app, order)))
    check(order == ["Save", "About", "Start", "Names, one per line", "Load"],
          "Tab order %s" % order)
    start_button = find(app, "push button", "Start")
    check(start_button is not None and "Alt+Down" in start_button.description,
          "Start tells how to reach the options")
    # The keyboard way into Options and out again.
    focus(start_button, "Start focused")
    key("alt+Down")
    options = wait_for("Options opened by Alt+Down", lambda: find(app, "dialog", "Options"))
    check(options.description != "", "Options has a description")
    order = [wait_for("the slider focused first", lambda: focused_name(app, ["-"]))]
    for _ in range(3):
        key("Tab")
        order.append(wait_for("focus moved by Tab", lambda: focused_name(app, order)))
    check(order == ["Interval in seconds", "Reset name when stopped.", "Taskbar", "OK"],
          "Options tab order %s" % order)
    key("Escape")
    wait_for("Options closed by Escape", lambda: find(app, "dialog", "Options") is None)
    # About, by keyboard too: its links are links, and Escape closes it.
    about = find(app, "push button", "About")
    focus(about, "About focused")
    key("space")
    wait_for("the About dialog", lambda: find(app, "dialog", "About Velmira"))
    for link in ("Author's home page", "Velmira web site"):
        node = find(app, "link", link)
        check(node is not None and node.getState().contains(pyatspi.STATE_FOCUSABLE),
              "focusable link %r" % link)
    key("Escape")
    wait_for("About closed by Escape", lambda: find(app, "dialog", "About Velmira") is None)
    return main


def german(app):
    wait_for("the German main window", lambda: find(app, "push button", "Starten"))
    stop = find(app, "push button", "Stopp")
    begin = find(app, "push button", "Starten")
    for role, text in (("push button", "Laden"), ("push button", "Speichern"),
                       ("text", "Namen, einer pro Zeile")):
        check(find(app, role, text) is not None, "German %s %r" % (role, text))
    # By keyboard through Load's menu into the file dialog, whose buttons are Qt's own texts.
    load = find(app, "push button", "Laden")
    focus(load, "Laden focused")
    key("space")
    wait_for("Load's menu in German", lambda: find(app, "menu item", "Aus Datei"))
    key("Up")
    key("Return")
    wait_for("the file dialog's title in German", lambda: find(app, "dialog", "Vorlage laden …"))
    press(wait_for("Qt's own Cancel in German", lambda: find(app, "push button", "Abbrechen")))
    wait_for("the file dialog cancelled", lambda: find(app, "dialog", "Vorlage laden …") is None)
    check(enabled(begin) and not enabled(stop), "idle: Starten enabled, Stopp not")
    names = find(app, "text", "Namen, einer pro Zeile")
    check(names.queryText().getText(0, -1) == "jeden Namen in eine neue Zeile schreiben...",
          "the first names in German")
    names.queryEditableText().setTextContents("Anna\nBert")
    press(begin)
    wait_for("Stopp enabled after Starten", lambda: enabled(stop) and not enabled(begin))
    press(stop)
    wait_for("Starten enabled after Stopp", lambda: enabled(begin) and not enabled(stop))

def run(velmira, lang, body):
    with tempfile.TemporaryDirectory() as home:
        process = start(velmira, lang, home)
        try:
            app = wait_for("Velmira on the accessibility bus", lambda: application(process.pid))
            body(app)
        finally:
            process.send_signal(signal.SIGTERM)
            code = process.wait(timeout=60)
        check(code == 0, "%s: Velmira ended with 0 (got %s)" % (lang, code))


def finish():
    if failures:
        print("%d failure(s): %s" % (len(failures), "; ".join(failures)))
        return 1
    return 0


def on_showing(event):
    if event.detail1 and event.source.getRoleName() in ("menu", "popup menu"):
        shown.append(event.source)


def main():
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    if not os.environ.get("DISPLAY"):
        print("no X display: run under scripts/with-desktop")
        return SKIP
    run(sys.argv[1], "C.UTF-8", english)
    run(sys.argv[1], "de_DE.UTF-8", german)
    helped = subprocess.run([sys.argv[1], "--help"], capture_output=True, text=True,
                            env=dict(os.environ, LANG="de_DE.UTF-8", LC_ALL="", LANGUAGE=""))
    check("Der zu steuernde Messenger-Client" in helped.stdout, "--help in German")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
