#!/usr/bin/python3
"""Reads the real Velmira the way a screen reader does, over AT-SPI, in English and in German.

Usage: screenreader.py VELMIRA_EXECUTABLE. Needs an X display and a D-Bus session bus of its own
(scripts/with-desktop); exits 77 (skipped) without a display. Prints the accessible tree it read.

A loaded machine can keep the accessibility bus and its registry from answering for a long while,
and the AT-SPI library ends the process outright when its registration on that bus goes
unanswered. So this script first waits until the registry answers, then reads in a child process
of its own (started again when that process could not register), and starts Velmira again when
Velmira could not reach the registry. Every wait has a deadline and says what it waited for.
scripts/with-desktop gives each private desktop an accessibility bus of its own, so that desktops
started at the same time do not take the bus over from each other.
"""
import ctypes
import os
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi
from gi.repository import Atspi, Gio, GLib

SKIP = 77
# Deadlines in seconds: generous, as a machine with every core busy needs them; waits end as soon
# as what they wait for is there.
REGISTRY_WAIT = 240  # the accessibility bus and registry answering, and this reader registered
APP_WAIT = 180  # Velmira started and listed by the registry
STEP_WAIT = 120  # each step in the window: a control shown, focused, enabled
CALL_TIMEOUT_MS = 30000  # one D-Bus call to the registry or to Velmira
# The controls' internal identifiers: a screen reader must never read one of them aloud.
INTERNAL = {"frmMain", "frmOptions", "frmAbout", "Toolbar1", "Toolbar2", "Toolbar3",
            "Toolbar1Start", "Toolbar1Stop", "Toolbar2Load", "Toolbar2Save", "Toolbar3About",
            "Label1", "Label2", "Label3", "Label4", "txtNames", "int3rval", "mnuLoad", "mnuSave",
            "chkMin(0)", "chkMin(1)", "chkMin0", "chkMin1", "chkResetNick", "Slider1", "cmdOk",
            "Image1", "Shape1", "Shape2"}
# Qt's warning when Velmira's registration with the registry failed: it then never shows there.
QT_REGISTRY_ERROR = "Error in contacting registry"
failures = []
# Pop-up menus are no children of the application: they are seen as they show.
shown = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait_for(what, find, timeout=STEP_WAIT):
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


def applications():
    desktop = pyatspi.Registry.getDesktop(0)
    return [app for app in desktop if app is not None]


def application(pid):
    for app in applications():
        if app.get_process_id() == pid:
            return app
    return None


def listed():
    """The applications the registry lists, for a message."""
    try:
        return ", ".join("%s (pid %s)" % (app.name, app.get_process_id())
                         for app in applications()) or "none"
    except Exception as error:  # the registry itself does not answer
        return "unknown: %s" % error


def wait_for_application(program, deadline):
    """Velmira's accessible application once the registry lists it; None when Velmira said that it
    could not register with the registry (it is then started again)."""
    what = "Velmira (pid %d) listed by the accessibility registry" % program.process.pid
    while True:
        try:
            found = application(program.process.pid)
        except Exception:  # the registry or the program does not answer yet
            found = None
        if found:
            print("ok   " + what, flush=True)
            return found
        code = program.process.poll()
        if code is not None:
            check(False, "%s: Velmira ended with %s before that" % (what, code))
            raise SystemExit(finish())
        if time.monotonic() >= deadline:
            check(False, "within %d s: %s%s; the registry lists: %s" % (
                APP_WAIT, what, " (Qt said: %s)" % QT_REGISTRY_ERROR
                if program.unregistered.is_set() else "", listed()))
            raise SystemExit(finish())
        if program.unregistered.is_set():
            return None
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)


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


LIBC = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG = 1


def end_with_reader():
    """Runs in Velmira's process before its program starts: Velmira gets SIGTERM when the reader
    that started it dies, so that no Velmira outlives a reader ended by the AT-SPI library."""
    LIBC.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class Velmira:
    """One run of the program. Its stderr is passed on and watched for Qt's word that Velmira
    could not register with the accessibility registry."""

    def __init__(self, executable, lang, home):
        env = dict(os.environ, LANG=lang, LC_ALL="", LANGUAGE="", HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, ".config"), QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        self.unregistered = threading.Event()
        self.process = subprocess.Popen([executable, "--messenger=builtin"], env=env,
                                        stderr=subprocess.PIPE, text=True, errors="replace",
                                        preexec_fn=end_with_reader)
        self.stderr = threading.Thread(target=self._pass_stderr, daemon=True)
        self.stderr.start()

    def _pass_stderr(self):
        for line in self.process.stderr:
            sys.stderr.write(line)
            sys.stderr.flush()
            if QT_REGISTRY_ERROR in line:
                self.unregistered.set()

    def end(self):
        """Ends the program the normal way and gives its exit code."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            code = self.process.wait(timeout=STEP_WAIT)
        except subprocess.TimeoutExpired:
            check(False, "Velmira ended within %d s of SIGTERM" % STEP_WAIT)
            self.process.kill()
            code = self.process.wait()
        self.stderr.join()
        return code


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
    check(names.queryText().getText(0, -1) == "jeden Namen in eine neue Zeile schreiben …",
          "the first names in German")
    names.queryEditableText().setTextContents("Anna\nBert")
    press(begin)
    wait_for("Stopp enabled after Starten", lambda: enabled(stop) and not enabled(begin))
    press(stop)
    wait_for("Starten enabled after Stopp", lambda: enabled(begin) and not enabled(stop))
    # Alt and the underlined letter press a button; Ctrl+Q ends Velmira.
    key("alt+s")
    wait_for("Stopp enabled after Alt+S", lambda: enabled(stop) and not enabled(begin))
    key("alt+o")
    wait_for("Starten enabled after Alt+O", lambda: enabled(begin) and not enabled(stop))
    pid = app.get_process_id()
    key("ctrl+q")
    # Ended, not only gone from the registry: the rest of its shutdown is its own.
    wait_for("Velmira ended by Ctrl+Q", lambda: process_ended(pid))


def process_ended(pid):
    """True once the process has exited (a zombie not yet reaped counts as ended)."""
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] == "Z"
    except FileNotFoundError:
        return True


def run(velmira, lang, body):
    deadline = time.monotonic() + APP_WAIT
    for attempt in range(1, 1000):
        with tempfile.TemporaryDirectory() as home:
            program = Velmira(velmira, lang, home)
            try:
                app = wait_for_application(program, deadline)
                if app is not None:
                    body(app)
            finally:
                code = program.end()
        if app is not None:
            check(code == 0, "%s: Velmira ended with 0 (got %s)" % (lang, code))
            return
        print("     Velmira could not register with the accessibility registry (try %d): "
              "starting it again" % attempt, flush=True)


def wait_for_registry(deadline):
    """Waits until the accessibility bus takes a new connection and its registry answers, as the
    AT-SPI library of the reader will need them. Says what it waited for when it gives up."""
    started = time.monotonic()
    said = None
    while True:
        timeout = int(max(1, min(CALL_TIMEOUT_MS / 1000, deadline - time.monotonic())) * 1000)
        try:
            # Where the AT-SPI library looks: the environment, else the session bus's launcher.
            address = os.environ.get("AT_SPI_BUS_ADDRESS")
            if not address:
                what = "the accessibility bus's address from org.a11y.Bus on the session bus"
                session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
                reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                          "GetAddress", None, GLib.VariantType("(s)"),
                                          Gio.DBusCallFlags.NONE, timeout, None)
                address = reply.unpack()[0]
            what = "registration on the accessibility bus at %s" % address
            # A bus that takes the connection but never answers would hold this call forever.
            cancel = Gio.Cancellable()
            timer = threading.Timer(timeout / 1000, cancel.cancel)
            timer.start()
            try:
                bus = Gio.DBusConnection.new_for_address_sync(
                    address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
                    Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, cancel)
            finally:
                timer.cancel()
            try:
                what = "the accessibility registry (org.a11y.atspi.Registry) on %s" % address
                bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                              "org.a11y.atspi.Accessible", "GetChildren", None, None,
                              Gio.DBusCallFlags.NONE, timeout, None)
            finally:
                bus.close_sync(None)
            print("ok   the accessibility registry answers (after %.1f s)"
                  % (time.monotonic() - started), flush=True)
            return
        except GLib.Error as error:
            last = error.message
            if error.matches(Gio.io_error_quark(), Gio.IOErrorEnum.CANCELLED):
                last = "no answer within %d s" % (timeout / 1000)
        if time.monotonic() >= deadline:
            check(False, "gave up after %.0f s waiting for %s; last answer: %s"
                  % (time.monotonic() - started, what, last))
            raise SystemExit(finish())
        if said != what:
            print("     waiting for %s: %s" % (what, last), flush=True)
            said = what
        time.sleep(0.5)


def finish():
    if failures:
        print("%d failure(s): %s" % (len(failures), "; ".join(failures)))
        return 1
    return 0


def on_showing(event):
    if event.detail1 and event.source.getRoleName() in ("menu", "popup menu"):
        shown.append(event.source)


def read(velmira, registered):
    """The reader: registers on the accessibility bus, says so on the file descriptor
    `registered`, then reads Velmira in English and in German."""
    Atspi.set_timeout(CALL_TIMEOUT_MS, APP_WAIT * 1000)
    # The first calls register this process on the accessibility bus; the AT-SPI library ends the
    # process when that goes unanswered, and the supervisor then starts another reader.
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    wait_for("the registry's desktop", lambda: pyatspi.Registry.getDesktop(0).childCount >= 0,
             timeout=REGISTRY_WAIT)
    os.write(registered, b"registered")
    os.close(registered)
    run(velmira, "C.UTF-8", english)
    run(velmira, "de_DE.UTF-8", german)
    helped = subprocess.run([velmira, "--help"], capture_output=True, text=True,
                            env=dict(os.environ, LANG="de_DE.UTF-8", LC_ALL="", LANGUAGE=""))
    check("Der zu steuernde Messenger-Client" in helped.stdout, "--help in German")
    return finish()


def supervise(velmira):
    """Waits for the registry, then runs the reader; a reader whose registration went unanswered
    is started again while the deadline allows."""
    deadline = time.monotonic() + REGISTRY_WAIT
    for attempt in range(1, 1000):
        wait_for_registry(deadline)
        readable, writable = os.pipe()
        reader = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--reader", velmira,
                                   str(writable)], pass_fds=(writable,))
        os.close(writable)
        # The reader's own registration may take as long as the library waits for an answer.
        patience = max(deadline - time.monotonic(), 60)
        with os.fdopen(readable, "rb") as pipe:
            answered = select.select([pipe], [], [], patience)[0]
            registered = answered and pipe.read() == b"registered"
        if not answered:
            reader.kill()
            reader.wait()
            check(False, "gave up after %.0f s waiting for the reader's registration on the "
                  "accessibility bus" % patience)
            return finish()
        code = reader.wait()
        if registered:
            return code
        if code != -signal.SIGTRAP:
            check(False, "the reader ended with %s before it had registered on the accessibility "
                  "bus" % code)
            return finish()
        if time.monotonic() >= deadline:
            check(False, "gave up after %d s: the reader could not register on the accessibility "
                  "bus (%d tries)" % (REGISTRY_WAIT, attempt))
            return finish()
        print("     the reader could not register on the accessibility bus (try %d): waiting "
              "for the registry again" % attempt, flush=True)


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--reader":
        return read(sys.argv[2], int(sys.argv[3]))
    if not os.environ.get("DISPLAY"):
        print("no X display: run under scripts/with-desktop")
        return SKIP
    return supervise(sys.argv[1])


if __name__ == "__main__":
    sys.exit(main())
