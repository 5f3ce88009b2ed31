# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Native Wayland: the program under a headless sway (fr layout) with QT_QPA_PLATFORM=wayland.
A model with a dead-key accent is typed into the yellow box and copied with wtype; the run's
samples must be saved. sway refuses root, so as root the test runs sway and the program as
an unprivileged user, created if absent."""

import glob
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import (TITLE, Failure, cell_count, check, out_folder, private_temporary_folder,  # noqa: E402
                        stop_processes, total_samples)

SKIP = 77
USER = "clavelle-e2e"
MODEL = "Le thé est prêt."
DEAD_KEY, E = 28, 5
SWAY_CONFIG = """
output HEADLESS-1 resolution 1024x768 position 0 0
input * xkb_layout {layout}
input * xkb_variant "{variant}"
# The window keeps its own size, as on a desktop; sway places it (a Wayland client cannot).
for_window [title=".*"] floating enable
"""


def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(SKIP)


def unprivileged():
    """The command prefix that runs as an unprivileged user, with its uid and gid."""
    if os.geteuid() != 0:
        return [], os.getuid(), os.getgid()
    try:
        entry = pwd.getpwnam(USER)
    except KeyError:
        made = subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", USER],
                              capture_output=True, text=True)
        if made.returncode != 0:
            skip(f"sway refuses root and the user {USER} cannot be made: {made.stderr.strip()}")
        entry = pwd.getpwnam(USER)
    return (["setpriv", f"--reuid={entry.pw_uid}", f"--regid={entry.pw_gid}", "--clear-groups", "--"],
            entry.pw_uid, entry.pw_gid)


class Sway:
    def __init__(self, out_dir, layout="fr", variant=""):
        self.out_dir = out_dir
        os.makedirs(out_dir, exist_ok=True)
        self.prefix, uid, gid = unprivileged()
        self.owner = (uid, gid)
        self.root = tempfile.mkdtemp(prefix="clavelle-wayland-")
        os.chmod(self.root, 0o755)
        self.runtime = os.path.join(self.root, "run")
        self.home = os.path.join(self.root, "home")
        for folder in (self.runtime, self.home):
            os.mkdir(folder, 0o700)
            os.chown(folder, uid, gid)
        config = os.path.join(self.root, "sway.conf")
        with open(config, "w") as f:
            f.write(SWAY_CONFIG.format(layout=layout, variant=variant))
        os.chmod(config, 0o644)
        self.progress_path = os.path.join(self.home, "share", "Clavelle", "progression1_9.dat")
        self.env = {key: value for key, value in os.environ.items()
                    if key not in ("DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK")}
        self.env.update({"XDG_RUNTIME_DIR": self.runtime, "HOME": self.home, "TMPDIR": self.runtime,
                         "XDG_DATA_HOME": os.path.join(self.home, "share"), "LC_ALL": "C.UTF-8",
                         "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"})
        self.log = open(os.path.join(out_dir, "sway.log"), "w")
        self.sway = subprocess.Popen(self.prefix + ["sway", "-c", config], env=self.env,
                                     stdout=self.log, stderr=self.log)
        self.app = None
        deadline = time.time() + 15
        while time.time() < deadline and self.sway.poll() is None:
            sockets = [s for s in glob.glob(os.path.join(self.runtime, "wayland-*")) if not s.endswith(".lock")]
            ipc = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
            if sockets and ipc:
                self.env["WAYLAND_DISPLAY"] = os.path.basename(sockets[0])
                self.env["SWAYSOCK"] = ipc[0]
                return
            time.sleep(0.1)
        self.close()
        with open(os.path.join(out_dir, "sway.log")) as log:
            skip("headless sway does not start here:\n" + log.read()[-2000:])

    def run(self, args):
        result = subprocess.run(self.prefix + args, env=self.env, capture_output=True, text=True, timeout=60)
        check(result.returncode == 0, f"{args[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def type(self, *args):
        # wtype loses the first key of an invocation unless it waits first.
        self.run(["wtype", "-s", "400", *args])
        time.sleep(0.3)

    def titles(self):
        import json

        def walk(node):
            yield node.get("name")
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                yield from walk(child)
        return [t for t in walk(json.loads(self.run(["swaymsg", "-t", "get_tree"]))) if t]

    def screenshot(self, name):
        path = os.path.join(self.out_dir, name + ".png")
        shot = subprocess.run(self.prefix + ["grim", "-"], env=self.env, capture_output=True, timeout=60)
        check(shot.returncode == 0, "grim failed: " + shot.stderr.decode(errors="replace"))
        with open(path, "wb") as f:
            f.write(shot.stdout)
        return path

    def close(self):
        stop_processes((self.app, self.sway), 10)
        self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)


def wait_until(predicate, what, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if predicate():
            return
        time.sleep(0.1)
    raise Failure("timed out waiting for " + what)


def reachable_copy(sway, program, data_dir):
    """The program and its lexicon copied where the unprivileged user can reach them (the
    build tree may be in a private folder)."""
    folder = os.path.join(sway.root, "program")
    os.mkdir(folder)
    for name in ("dictionnaire.txt", "prénomsf.txt", "prénomsg.txt"):
        shutil.copy(os.path.join(data_dir, name), folder)
    shutil.copy(program, folder)
    return os.path.join(folder, os.path.basename(program)), folder


def close_after_verdict(sway):
    """Enter closes the verdict box; the window is then closed as a user does."""
    sway.type("-k", "Return")
    sway.run(["swaymsg", f'[title="^{TITLE.replace("(", "[(]").replace(")", "[)]")}$"] kill'])
    try:
        check(sway.app.wait(20) == 0, "the program ends cleanly")
    except subprocess.TimeoutExpired:
        raise Failure("the program did not end when its window was closed")


def test(sway, program, data_dir):
    program, data_dir = reachable_copy(sway, program, data_dir)
    env = dict(sway.env, QT_QPA_PLATFORM="wayland")
    with open(os.path.join(sway.out_dir, "stderr.txt"), "a") as err:
        sway.app = subprocess.Popen(sway.prefix + [program], cwd=data_dir, env=env, stdout=subprocess.DEVNULL,
                                    stderr=err)
    wait_until(lambda: os.path.exists(sway.progress_path), "the first paint")
    wait_until(lambda: TITLE in sway.titles(), "the window")
    time.sleep(1)
    # The headless seat has no pointer: the keyboard moves between the boxes. The typing
    # field has the focus; Shift+Tab enters the yellow box, selecting its text, which the
    # model replaces; Tab comes back.
    sway.type("-M", "shift", "-k", "Tab", "-m", "shift", MODEL)
    sway.screenshot("01-model")
    before = os.path.getmtime(sway.progress_path)
    # The copy, the circumflex typed with the dead key.
    sway.type("-k", "Tab", "Le thé est pr", "-k", "dead_circumflex", "et.")
    wait_until(lambda: os.path.getmtime(sway.progress_path) != before, "the save at the end of the text")
    wait_until(lambda: sway.titles().count(TITLE) == 2, "the verdict box")  # titled as the window
    time.sleep(0.5)
    sway.screenshot("02-verdict")
    with open(sway.progress_path, "rb") as f:
        record = f.read()
    check(total_samples(record) >= 14, "the run's samples were saved: %d" % total_samples(record))
    check(cell_count(record, DEAD_KEY, E) >= 1, "the dead-key accent recorded the pair (^, E)")
    close_after_verdict(sway)


def test_bepo(sway, program, data_dir):
    """BÉPO, chosen in the settings file: wtype types with a key map of its own, so each key
    is known by the character it gives on BÉPO; the BÉPO record receives the pairs of the
    keys a BÉPO typist strikes, the classic record none."""
    program, data_dir = reachable_copy(sway, program, data_dir)
    folder = os.path.join(sway.home, "share", "Clavelle")
    os.makedirs(folder)
    with open(os.path.join(folder, "réglages.txt"), "w") as f:
        f.write("disposition=fr(bepo)\n")
    for path in (sway.home, os.path.join(sway.home, "share"), folder, os.path.join(folder, "réglages.txt")):
        os.chown(path, *sway.owner)
    record_path = os.path.join(folder, "progression1_9-bepo.dat")
    env = dict(sway.env, QT_QPA_PLATFORM="wayland")
    with open(os.path.join(sway.out_dir, "stderr.txt"), "a") as err:
        sway.app = subprocess.Popen(sway.prefix + [program], cwd=data_dir, env=env, stdout=subprocess.DEVNULL,
                                    stderr=err)
    wait_until(lambda: os.path.exists(record_path), "the BÉPO record at the first paint")
    wait_until(lambda: TITLE in sway.titles(), "the window")
    time.sleep(1)
    sway.type("-M", "shift", "-k", "Tab", "-m", "shift", "la rue est prête")
    before = os.path.getmtime(record_path)
    sway.type("-k", "Tab", "la rue est prête")
    wait_until(lambda: os.path.getmtime(record_path) != before, "the save at the end of the text")
    with open(record_path, "rb") as f:
        record = f.read()
    # BÉPO's r u e s t on the keys AZERTY calls l s f i j (home row), l on AZERTY's o.
    r, u, e, s, t, space = 12, 19, 6, 11, 10, 38
    for previous, current, what in ((r, u, "r u"), (u, e, "u e"), (e, s, "e s"), (s, t, "s t")):
        check(cell_count(record, previous, current) >= 1, f"BÉPO: the pair {what} of physical keys was recorded")
    check(cell_count(record, 17, space) >= 1, "BÉPO: a (under AZERTY's q) then the space bar")
    check(not os.path.exists(os.path.join(folder, "progression1_9.dat")), "no classic record was made")
    close_after_verdict(sway)


def main(argv):
    for tool in ("sway", "swaymsg", "wtype", "grim", "setpriv"):
        if not shutil.which(tool):
            skip(f"{tool} is missing (run scripts/install-deps)")
    program, data_dir = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    out_dir = out_folder(program)
    os.makedirs(out_dir, exist_ok=True)
    # The unprivileged user must reach the folders made in it.
    with private_temporary_folder(0o755):
        run_scenarios(program, data_dir, out_dir)
    print("passed; screenshots in", out_dir)


def run_scenarios(program, data_dir, out_dir):
    for scenario, layout, variant in ((test, "fr", ""), (test_bepo, "fr", "bepo")):
        sway = Sway(os.path.join(out_dir, variant or layout), layout, variant)
        try:
            scenario(sway, program, data_dir)
        except Failure as failure:
            try:
                sway.screenshot("failure")
            except Failure:
                pass
            print("FAILED:", failure, "(screenshots in", out_dir + ")")
            sys.exit(1)
        finally:
            sway.close()


if __name__ == "__main__":
    main(sys.argv)
