#!/usr/bin/env python3
"""Walks the real program on a virtual X display under a window manager, as a person would: key
presses and mouse clicks through the X server (xdotool), screenshots of the whole screen.

It checks what only a real desktop shows: the title bar, which window is in front and has the
keyboard when the wait window or a question appears, and where typed keys land (seen in what the
program saves in Kestrum.ini at its close and in the emulator runs they start). The stand-in
emulator hangs after printing its machine list; the walk stops it with the wait window's Stop
button, then closes the program while it hangs again: No keeps it running, Yes ends it and the
program, which saves its settings and leaves no emulator process behind.

With --install-from BUILD, the walk first installs that build into a temporary prefix with
"cmake --install" and walks the installed program: its settings must then be written into the
user's data folder (~/.local/share/kestrum/), nothing into the prefix, and its icons found in the
prefix's share/kestrum/ (a missing icon would put an error box in front of the main window).

Skips (exit 77) when Xvfb, openbox, xdotool or ImageMagick is missing, unless
KESTRUM_REQUIRE_DESKTOP=1, where that is a failure. Screenshots go to KESTRUM_SCREENSHOTS when set,
else into the walk's temporary folder, which is kept (and named) when the walk fails.
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
TOOLS = {"Xvfb": "xvfb", "openbox": "openbox", "xdotool": "xdotool", "import": "imagemagick",
         "xprop": "x11-utils", "xwininfo": "x11-utils"}
TITLE = "Kestrum v1.0"
WAIT_WINDOW_SIZE = (434, 72)
PATIENCE = 20.0  # seconds for anything the walk waits for; it usually takes a fraction of one


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def poll(what, condition, timeout=PATIENCE):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"waited {timeout:.0f} s in vain for {what}")
        time.sleep(0.05)


def alive(pid):
    """A process that still runs; one that has ended and waits to be reaped does not count."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except (OSError, IndexError):
        return False


def children_of(parent):
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    if int(stat.read().rsplit(")", 1)[1].split()[1]) == parent:
                        found.append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    return found


def die_with_walk():
    """Run in a started child: it gets SIGTERM when the walk ends, however it ends (a timeout's
    SIGKILL included), so no display, window manager or program outlives it."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def temporary_folder():
    # The emulator's display name depends on words in its path; a random name must not spell one.
    while True:
        folder = tempfile.mkdtemp(prefix="kestrum-desktop-")
        if not re.search("ume|mamep|hbmame", folder.lower()):
            return folder
        os.rmdir(folder)


def files_under(folder):
    return {os.path.join(root, name) for root, _, names in os.walk(folder) for name in names}


class Desktop:
    """Xvfb on a free display, with openbox, and the X tools pointed at it."""

    def __init__(self, home, log):
        self.xvfb = self.wm = None
        try:
            self.start(home, log)
        except BaseException:
            self.close()
            raise

    def start(self, home, log):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=log, stderr=log, preexec_fn=die_with_walk)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + PATIENCE
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                raise Failure("Xvfb did not start (see xvfb.log)")
            number += chunk
        os.close(read_end)
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip(), HOME=home,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"), LC_ALL="C")
        self.env.pop("QT_QPA_PLATFORM", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=log, stderr=log,
                                   preexec_fn=die_with_walk)
        poll("the window manager", lambda: "window id" in self.run("xprop", "-root",
                                                                  "_NET_SUPPORTING_WM_CHECK"))

    def run(self, *command, ok=True):
        done = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=PATIENCE)
        if ok and done.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {done.stderr.strip()}")
        return done.stdout

    def close(self):
        for process in (self.wm, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    # What the window manager and the X server say.
    def active(self):
        text = self.run("xdotool", "getactivewindow", ok=False).strip()
        return int(text) if text.isdigit() else None

    def name(self, window):
        return self.run("xdotool", "getwindowname", str(window), ok=False).strip()

    def stacking(self):
        """The managed windows, bottom to top."""
        return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", self.run(
            "xprop", "-root", "_NET_CLIENT_LIST_STACKING"))]

    def windows_of(self, pid):
        """The shown windows of a process."""
        text = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid), ok=False)
        return [int(w) for w in text.split()]

    def geometry(self, window):
        """Left, top, width and height of the window's own area (without the frame)."""
        info = self.run("xwininfo", "-id", str(window), ok=False)
        numbers = [re.search(pattern + r":\s+(-?\d+)", info) for pattern in
                   ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
        return tuple(int(n.group(1)) for n in numbers) if all(numbers) else None

    def frame_extents(self, window):
        found = re.findall(r"\d+", self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS",
                                            ok=False).split("=")[-1])
        return tuple(int(n) for n in found) if len(found) == 4 else None

    # What a person does.
    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "30", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "10", text)

    def click(self, x, y):
        self.run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")

    def screenshot(self, folder, name):
        self.run("import", "-window", "root", os.path.join(folder, name + ".png"))


class Walk:
    def __init__(self, args, folder, shots, log):
        self.folder = folder
        self.shots = shots
        self.program = os.path.join(folder, "program")
        self.emulator = os.path.join(folder, "emulator", "mame")
        self.pid_file = self.emulator + ".pid"
        self.titles = os.path.join(folder, "titles")
        self.home = os.path.join(folder, "home")
        self.prefix = None
        if args.install_from:
            # An installed program reads and writes where a user's own start would.
            self.prefix = os.path.join(folder, "prefix")
            subprocess.run(["cmake", "--install", args.install_from, "--prefix", self.prefix],
                           check=True, stdout=subprocess.DEVNULL)
            self.executable = os.path.join(self.prefix, "bin", "kestrum")
            self.program = os.path.join(self.home, ".local", "share", "kestrum")
            os.makedirs(self.program)
            self.installed_files = files_under(self.prefix)
        else:
            built = os.path.dirname(os.path.realpath(args.kestrum))
            os.makedirs(self.program)
            shutil.copy2(args.kestrum, self.program)
            shutil.copytree(os.path.join(built, "icons"), os.path.join(self.program, "icons"))
            shutil.copy2(os.path.join(built, "kestrum_docs.htm"), self.program)
            self.executable = os.path.join(self.program, "kestrum")
        with open(os.path.join(self.program, "catver.ini"), "w", newline="") as categories:
            categories.write("[Category]\r\npuckman=Maze / Collect\r\n[VerAdded]\r\npuckman=.37b\r\n")
        os.makedirs(os.path.dirname(self.emulator))
        shutil.copy(args.fake, self.emulator)
        os.chmod(self.emulator, 0o700)
        self.listxml = args.listxml
        self.configure_emulator("hang")
        with open(os.path.join(os.path.dirname(self.emulator), "mame.ini"), "w") as ini:
            ini.write("rompath roms\nsnapshot_directory snap\n")
        self.shot_number = 0
        self.emulator_pids = []
        self.desktop = self.kestrum = None
        self.log = log
        self.kestrum_log = open(os.path.join(folder, "kestrum.log"), "w")

    def start(self):
        os.makedirs(self.home, exist_ok=True)
        self.desktop = Desktop(self.home, self.log)
        runtime = os.path.join(self.folder, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.kestrum = subprocess.Popen([self.executable], cwd=self.home if self.prefix else self.program,
                                        env=dict(self.desktop.env, XDG_RUNTIME_DIR=runtime),
                                        stdout=self.kestrum_log, stderr=subprocess.STDOUT,
                                        preexec_fn=die_with_walk)

    def configure_emulator(self, after_list):
        with open(self.emulator + ".conf", "w") as conf:
            conf.write(f"LISTXML='{self.listxml}'\nAFTER_LIST='{after_list}'\n")

    def shoot(self, name):
        self.shot_number += 1
        self.desktop.screenshot(self.shots, f"desktop-{self.shot_number:02d}-{name}")

    def close(self):
        for pid in self.emulator_pids:
            if alive(pid):
                os.kill(pid, signal.SIGKILL)
        if self.kestrum and self.kestrum.poll() is None:
            self.kestrum.kill()
            self.kestrum.wait()
        self.kestrum_log.close()
        if self.desktop:
            self.desktop.close()

    def settle(self, quiet=0.5):
        """Waits until the program has handled what it was sent: it sleeps and its processor time has
        stopped growing for `quiet` seconds. A page step may take a while on a busy machine, and keys
        that arrive while it runs are not for the page that follows it."""
        def sample():
            with open(f"/proc/{self.kestrum.pid}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            return fields[0], int(fields[11]) + int(fields[12])  # state, user + system time
        time.sleep(0.1)  # the X server's events reach the program
        last, quiet_since = sample(), time.monotonic()
        deadline = quiet_since + PATIENCE
        while time.monotonic() - quiet_since < quiet:
            check(time.monotonic() < deadline, "the program stayed busy")
            time.sleep(0.05)
            now = sample()
            if now != last or now[0] == "R":
                last, quiet_since = now, time.monotonic()

    def hung_emulator(self):
        """Waits until the emulator hangs after its list; gives its process and its helpers."""
        def hung():
            if not os.path.exists(self.pid_file):
                return None
            with open(self.pid_file) as written:
                text = written.read().strip()
            helpers = children_of(int(text)) if text.isdigit() else []
            return [int(text)] + helpers if helpers else None  # it hangs once its helper runs
        self.emulator_pids = poll("the emulator to run and hang (did the keys reach the pages?)", hung)
        return self.emulator_pids

    def wait_window(self, main):
        def find():
            for window in self.desktop.windows_of(self.kestrum.pid):
                geometry = self.desktop.geometry(window)
                if window != main and geometry and geometry[2:] == WAIT_WINDOW_SIZE:
                    return window
            return None
        return poll("the wait window", find)

    def question(self, main, wait):
        """The question box: a new window of the program, shown and active."""
        def find():
            active = self.desktop.active()
            others = [w for w in self.desktop.windows_of(self.kestrum.pid) if w not in (main, wait)]
            return active if active in others else None
        return poll("the question to appear in front with the keyboard", find)

    def in_front(self, window, *below):
        # Once the window manager lists a window, it has also decided whether it gets the focus.
        order = poll(f"the window manager to manage window {window}",
                     lambda: window in self.desktop.stacking() and self.desktop.stacking())
        for other in below:
            if other in order:
                check(order.index(window) > order.index(other),
                      f"window {window} is not in front of window {other}: stacking {order}")

    def walk(self):
        d = self.desktop
        main = poll("the main window", lambda: next(
            (w for w in d.windows_of(self.kestrum.pid) if d.name(w) == TITLE), None))
        poll("the main window to have the keyboard", lambda: d.active() == main)
        extents = d.frame_extents(main)
        check(extents and extents[2] > 0, f"the window manager drew no title bar: {extents}")
        check("_NET_WM_ICON(CARDINAL)" in d.run("xprop", "-id", str(main), "_NET_WM_ICON"),
              "the main window has no icon")
        self.shoot("welcome")

        # START, then type the emulator into the box that has the focus, and the title snapshot
        # folder on the images page; Enter moves on each time, up to the games page, whose games
        # list build runs the emulator.
        for step in (lambda: d.key("Return"), lambda: d.type(self.emulator), lambda: d.key("Return"),
                     lambda: d.type(self.titles), lambda: d.key("Return"), lambda: d.key("Return")):
            step()
            self.settle()
        d.key("Return")
        self.hung_emulator()
        wait = self.wait_window(main)
        self.in_front(wait, main)
        check(d.active() == main, "the wait window took the keyboard from the main window "
              f"(active: {d.name(d.active())!r})")
        self.shoot("wait-window")

        # Stop, clicked on the wait window (the button's centre lies 355, 57 into it): the run
        # ends, the wait window goes, the main window keeps the keyboard.
        left, top, _, _ = d.geometry(wait)
        d.click(left + 355, top + 57)
        stopped = list(self.emulator_pids)
        poll("the stopped emulator to end", lambda: not any(alive(pid) for pid in stopped))
        poll("the wait window to go", lambda: wait not in d.windows_of(self.kestrum.pid))
        check(d.active() == main, "the main window lost the keyboard after Stop")
        check(d.name(main) == TITLE, f"the title changed: {d.name(main)!r}")
        self.shoot("after-stop")

        # BACK, clicked (its centre lies 249, 20 in from the window's bottom right corner); Enter
        # on the operation page builds again, and the emulator hangs, this time ignoring SIGTERM.
        os.remove(self.pid_file)
        self.configure_emulator("stubborn")
        left, top, width, height = d.geometry(main)
        d.click(left + width - 249, top + height - 20)
        self.settle()
        d.key("Return")
        self.hung_emulator()
        wait = self.wait_window(main)

        # Close, clicked on the title bar (openbox's close button ends it on the right): the
        # question comes in front of both windows, with the keyboard. Escape answers No: the
        # emulator and the window stay.
        extents = d.frame_extents(main)
        d.click(left + width - 10, top - extents[2] // 2)
        box = self.question(main, wait)
        check(d.name(box) == "Kestrum", f"the question's title is {d.name(box)!r}")
        self.in_front(box, main, wait)
        self.shoot("close-question")
        d.key("Escape")
        poll("the question to go", lambda: box not in d.windows_of(self.kestrum.pid))
        check(self.kestrum.poll() is None, "the program ended after No")
        check(all(alive(pid) for pid in self.emulator_pids), "the emulator ended after No")
        check(wait in d.windows_of(self.kestrum.pid), "the wait window went after No")
        poll("the main window to have the keyboard again after No", lambda: d.active() == main)
        self.shoot("after-no")

        # A blank, which would press Stop if the keyboard were on the wait window, then Alt+F4
        # to the window manager: the question again, the emulator still running. Enter answers
        # Yes (its default button): the emulator is stopped and the program ends, saving what
        # was typed.
        d.key("space", "alt+F4")
        box = self.question(main, wait)
        self.in_front(box, main, wait)
        check(all(alive(pid) for pid in self.emulator_pids), "a key after No stopped the emulator")
        d.key("Return")
        poll("the program to end", lambda: self.kestrum.poll() is not None)
        check(self.kestrum.returncode == 0, f"the program ended with {self.kestrum.returncode}")
        left_behind = [pid for pid in self.emulator_pids if alive(pid)]
        check(not left_behind, f"emulator processes left behind: {left_behind}")
        self.shoot("closed")
        with open(os.path.join(self.program, "Kestrum.ini"), encoding="utf-8") as ini:
            settings = ini.read()
        check(f"MAMEFile={self.emulator}\n" in settings, "the typed emulator was not saved")
        check(f"titles_directory={self.titles}\n" in settings,
              "the typed title snapshot folder was not saved")
        if self.prefix:
            added = sorted(files_under(self.prefix) - self.installed_files)
            check(not added, f"the installed program wrote into its prefix: {added}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kestrum", required=True, help="the built program")
    parser.add_argument("--fake", required=True, help="the stand-in emulator script")
    parser.add_argument("--listxml", required=True, help="the machine list it prints")
    parser.add_argument("--install-from", help="a build folder to install and walk instead")
    args = parser.parse_args()

    missing = sorted({package for tool, package in TOOLS.items() if not shutil.which(tool)})
    if missing:
        message = "the desktop walk needs these Debian packages: " + " ".join(missing)
        if os.environ.get("KESTRUM_REQUIRE_DESKTOP") == "1":
            print("FAIL: " + message, file=sys.stderr)
            return 1
        print("SKIP: " + message)
        return SKIP

    started = time.monotonic()
    folder = temporary_folder()
    shots = os.environ.get("KESTRUM_SCREENSHOTS") or os.path.join(folder, "screenshots")
    os.makedirs(shots, exist_ok=True)
    log = open(os.path.join(folder, "desktop.log"), "w")
    walk = Walk(args, folder, shots, log)
    try:
        walk.start()
        walk.walk()
    except Exception as failure:  # a Failure, or a tool that could not be run
        try:
            if walk.desktop:
                walk.shoot("failure")
        except Exception:
            pass
        walk.close()
        log.close()
        print(f"FAIL: {failure}", file=sys.stderr)
        for name in ("kestrum.log", "desktop.log"):
            with open(os.path.join(folder, name), errors="replace") as text:
                print(f"--- {name}:\n" + text.read(), file=sys.stderr)
        print(f"The walk's files and screenshots are kept in {folder} (screenshots: {shots})",
              file=sys.stderr)
        return 1
    walk.close()
    log.close()
    shutil.rmtree(folder, ignore_errors=True)
    print(f"The desktop walk passed in {time.monotonic() - started:.1f} s"
          + (f"; screenshots in {shots}" if os.environ.get("KESTRUM_SCREENSHOTS") else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
