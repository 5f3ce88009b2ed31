# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A real X session for end-to-end tests: Xvfb with the French layout, a light window
manager so that windows close as a user closes them, and the program under test."""

import contextlib
import os
import shutil
import sys
import subprocess
import tempfile
import time

TITLE = "Entraînement dactylographique (Version 1.9)"

# Characters typed with a dead key on the French layout: (dead key, letter).
DEAD_KEYS = {
    "â": ("dead_circumflex", "a"), "ê": ("dead_circumflex", "e"), "î": ("dead_circumflex", "i"),
    "ô": ("dead_circumflex", "o"), "û": ("dead_circumflex", "u"),
    "ä": ("dead_diaeresis", "a"), "ë": ("dead_diaeresis", "e"), "ï": ("dead_diaeresis", "i"),
    "ö": ("dead_diaeresis", "o"), "ü": ("dead_diaeresis", "u"), "ÿ": ("dead_diaeresis", "y"),
    "Â": ("dead_circumflex", "A"), "Ê": ("dead_circumflex", "E"), "Î": ("dead_circumflex", "I"),
    "Ô": ("dead_circumflex", "O"), "Û": ("dead_circumflex", "U"),
}


# Characters the French layout types with one key or with Shift, besides letters and digits.
# (xdotool types the others by remapping a spare key, and a program that reads its key map
# again meanwhile may take a key for another: tests keep to these.)
DIRECT = set("éèçàù²&\"'(-_)=^$*!:;,<>?./§%µ£°+ \u00a0")


def typeable(text):
    """True when every character is typed by a key of the French layout or a dead key."""
    return all(ch.isascii() and (ch.isalnum() or ch in DIRECT) or ch in DIRECT or ch in DEAD_KEYS
               for ch in text)


# A message box ignores keys for its first half-second (a key typed on the run's momentum
# must not dismiss the verdict): tests wait that long before answering one.
MESSAGE_BOX_KEY_DELAY_S = 0.6

# Milliseconds between the key events of a character typed through a spare key.
REMAPPED_KEY_DELAY_MS = 300


def history_rows(folder, level):
    """The rows of the history in the folder whose level holds `level` ("leçon ", "texte,"),
    each split into its fields."""
    path = os.path.join(folder, "historique.csv")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.split(",") for line in f.read().splitlines()[1:] if "," + level in line]


def stop_processes(processes, timeout):
    """Ends the processes still running, in order: politely, then by force after timeout s."""
    for proc in processes:
        if proc and proc.poll() is None:
            proc.terminate()
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                proc.kill()


def out_folder(program):
    """Where a test's screenshots go: CLAVELLE_OUT_DIR, else e2e-out/<test> in the program's
    build folder (never a temporary folder left behind)."""
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    build = os.path.dirname(os.path.dirname(os.path.abspath(program)))
    return os.environ.get("CLAVELLE_OUT_DIR") or os.path.join(build, "e2e-out", name)


TMP_PREFIX = "clavelle-e2e-tmp-"


def remove_folders_of_ended_tests():
    """Removes the folders "clavelle-e2e-tmp-<pid>-..." of tests killed before their end (a
    timeout), whose process is gone."""
    parent = tempfile.gettempdir()
    for name in os.listdir(parent):
        pid = name[len(TMP_PREFIX):].split("-")[0]
        if not name.startswith(TMP_PREFIX) or not pid.isdigit():
            continue
        try:
            os.kill(int(pid), 0)
        except ProcessLookupError:
            shutil.rmtree(os.path.join(parent, name), ignore_errors=True)
        except OSError:
            pass


@contextlib.contextmanager
def private_temporary_folder(mode=0o700):
    """Points TMPDIR, for the test and every program it starts, at a folder of its own,
    removed at the end whether the test passes or fails (or by the next test, when this one
    is killed)."""
    remove_folders_of_ended_tests()
    folder = tempfile.mkdtemp(prefix=f"{TMP_PREFIX}{os.getpid()}-")
    os.chmod(folder, mode)
    old = os.environ.get("TMPDIR")
    os.environ["TMPDIR"] = folder
    tempfile.tempdir = None  # tempfile keeps the folder it found first
    try:
        yield folder
    finally:
        if old is None:
            os.environ.pop("TMPDIR", None)
        else:
            os.environ["TMPDIR"] = old
        tempfile.tempdir = None
        shutil.rmtree(folder, ignore_errors=True)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Session:
    def __init__(self, program, data_dir, out_dir, layout=("fr",)):
        self.layout = list(layout)
        self.program = os.path.abspath(program)
        self.data_dir = os.path.abspath(data_dir)
        self.out_dir = os.path.abspath(out_dir)
        os.makedirs(self.out_dir, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="clavelle-e2e-")
        self.xdg = os.path.join(self.home, "share")
        self.progress_path = os.path.join(self.xdg, "Clavelle", "progression1_9.dat")
        self.shot = 0
        self.xvfb = None
        self.wm = None
        self.app = None
        self.env = None

    # X server and window manager -------------------------------------------------
    def __enter__(self):
        try:
            return self.start_session()
        except BaseException:
            self.__exit__()  # what was started so far, and the home folder
            raise

    def start_session(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
             "-dpi", "96"], pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            display = pipe.readline().strip()
        check(display, "Xvfb did not start")
        self.env = dict(os.environ)
        self.env.update({"DISPLAY": ":" + display, "HOME": self.home, "XDG_DATA_HOME": self.xdg,
                         "LANG": "fr_FR.UTF-8", "LC_ALL": "C.UTF-8", "QT_QPA_PLATFORM": "xcb"})
        self.env.pop("WAYLAND_DISPLAY", None)
        self.run(["setxkbmap", *self.layout])
        self.wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        # The window manager is ready once it names itself on the root window; a window
        # mapped before that may be caught in its start.
        deadline = time.time() + 10
        while time.time() < deadline and "_NET_SUPPORTING_WM_CHECK(WINDOW)" not in self.run(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check_rc=False):
            time.sleep(0.05)
        return self

    def __exit__(self, *exc):
        stop_processes((self.app, self.wm, self.xvfb), 5)
        shutil.rmtree(self.home, ignore_errors=True)
        return False

    def run(self, args, check_rc=True, **kwargs):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=60, **kwargs)
        if check_rc and result.returncode != 0:
            raise Failure(f"{args[0]} failed: {result.stderr.strip()}")
        return result.stdout

    # The program ----------------------------------------------------------------
    def start(self, extra_env=None, args=()):
        """Starts the program with these arguments (a text to open) and waits for its window."""
        env = dict(self.env)
        env.update(extra_env or {})
        self.app = subprocess.Popen([self.program, *args], cwd=self.data_dir, env=env,
                                    stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.out_dir, "stderr.txt"), "a"))
        self.window = self.wait_for_windows(1)[0]
        self.run(["xdotool", "windowactivate", "--sync", self.window], check_rc=False)
        return self.window

    def windows(self):
        pattern = "".join("\\" + ch if ch in "().[]{}*+?^$|\\" else ch for ch in TITLE)
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", "^" + pattern + "$"], check_rc=False)
        return out.split()

    def wait_for_window(self, pattern, what):
        """The first visible window whose name matches the pattern, once it is shown, activated."""
        found = []
        deadline = time.time() + 30
        while time.time() < deadline and not found:
            found = self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check_rc=False).split()
            time.sleep(0.2)
        check(found, what)
        self.run(["xdotool", "windowactivate", "--sync", found[0]], check_rc=False)
        time.sleep(0.5)
        return found[0]

    def wait_for_windows(self, count, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.windows()
            if len(found) >= count:
                if count > 1:
                    time.sleep(MESSAGE_BOX_KEY_DELAY_S)
                return found
            check(self.app.poll() is None, "the program ended unexpectedly")
            time.sleep(0.1)
        # What the X server holds, to tell a window never made from one left unmapped.
        with open(os.path.join(self.out_dir, "windows.txt"), "w") as tree:
            tree.write(self.run(["xwininfo", "-root", "-tree"], check_rc=False))
        raise Failure(f"{count} window(s) titled {TITLE!r} never appeared (windows.txt in {self.out_dir})")

    def wait_until(self, predicate, what, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if predicate():
                return
            time.sleep(0.1)
        raise Failure("timed out waiting for " + what)

    def close(self, timeout=20):
        self.run(["wmctrl", "-c", TITLE])
        try:
            self.app.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end when its window was closed")
        return self.app.returncode

    # Looking and typing ----------------------------------------------------------
    def screenshot(self, name):
        self.shot += 1
        path = os.path.join(self.out_dir, f"{self.shot:02d}-{name}.png")
        self.run(["import", "-window", "root", path])
        return path

    def click(self, x, y, window=None):
        self.run(["xdotool", "mousemove", "--window", window or self.window, str(x), str(y), "click", "1"])
        time.sleep(0.2)

    def key(self, *names, delay=30):
        self.run(["xdotool", "key", "--clearmodifiers", "--delay", str(delay), *names])

    def type_plain(self, text, delay=30):
        self.run(["xdotool", "type", "--delay", str(delay), "--", text])

    def type_text(self, text, keep_no_break_space=False):
        """Types a text the way a French user does: dead keys for the accents that need one.

        xdotool types a character that the server's key map lacks by binding it to a spare
        key for the moment; the program reads the new map when told of the change, and if
        the binding is already undone by then the key means nothing and is lost. Such
        characters go one at a time, their key events spread out.
        """
        chunk = ""
        for ch in text:
            if ch == "\u00a0" and not keep_no_break_space:
                ch = " "  # a plain blank stands for the no-break space
            if ch.isascii():
                chunk += ch
                if ch == " " and len(chunk) > 20:
                    self.type_plain(chunk)
                    chunk = ""
                continue
            if chunk:
                self.type_plain(chunk)
                chunk = ""
            # A long delay keeps the spare key bound while the program reads the new map.
            if ch in DEAD_KEYS:
                self.key(*DEAD_KEYS[ch], delay=REMAPPED_KEY_DELAY_MS)
            else:
                self.type_plain(ch, delay=REMAPPED_KEY_DELAY_MS)
            time.sleep(0.1)
        if chunk:
            self.type_plain(chunk)

    def type_until_verdict(self, field, typer, attempts=5):
        """Clicks the typing field and types a whole text with `typer` until the verdict box
        shows. xdotool types a letter that the server's key map lacks (é, ê...) by binding
        it to a spare key for the moment, and now and then the program reads such a key, or
        one just after it, with the map of the moment before: the letter is lost and the run
        stays unfinished. The text is then typed again after Escape."""
        for attempt in range(attempts):
            self.click(*field)
            typer()
            try:
                self.wait_for_windows(2, timeout=10)
                return attempt + 1
            except Failure:
                if attempt == attempts - 1:
                    raise
                print("a key was lost; typing the text again")
                self.key("Escape")
        return attempts

    def clipboard(self):
        return self.run(["xclip", "-o", "-selection", "clipboard"], check_rc=False)

    def progress_bytes(self):
        with open(self.progress_path, "rb") as f:
            return f.read()


def cell_count(record, previous_key, current_key):
    return record[((previous_key - 1) * 51 + (current_key - 1)) * 258 + 256]


def total_samples(record):
    return sum(record[i * 258 + 256] for i in range(51 * 51))


def main(test, argv):
    program, data_dir = argv[1], argv[2]
    out_dir = out_folder(program)
    for tool in ("Xvfb", "xdotool", "setxkbmap", "openbox", "wmctrl", "import"):
        if not shutil.which(tool):
            print(f"missing {tool}: run scripts/install-deps")
            sys.exit(1)
    try:
        with private_temporary_folder(), Session(program, data_dir, out_dir) as session:
            try:
                test(session)
            except Failure:
                session.screenshot("failure")
                raise
    except Failure as failure:
        print("FAILED:", failure, "(screenshots in", out_dir + ")")
        sys.exit(1)
    print("passed; screenshots in", out_dir)


def main_with_sessions(body, argv):
    """For tests that open sessions of their own (one per layout): body(program, data_dir,
    out_dir) runs them; a failure is printed with the folder of the screenshots."""
    program, data_dir = argv[1], argv[2]
    out_dir = out_folder(program)
    try:
        with private_temporary_folder():
            body(program, data_dir, out_dir)
    except Failure as failure:
        print("FAILED:", failure, "(screenshots in", out_dir + ")")
        sys.exit(1)
    print("passed; screenshots in", out_dir)
