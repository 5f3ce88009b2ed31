# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Installing: the install step puts the program, the lexicon, a desktop entry, an icon and
AppStream data under the prefix; the Debian package holds the same, and the installed
program starts from its desktop entry's folder."""

import configparser
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main  # noqa: E402

BUILD_DIR = os.environ["CLAVELLE_BINARY_DIR"]
PREFIX = "/usr"
EXPECTED = [
    "usr/bin/clavelle",
    "usr/share/clavelle/dictionnaire.txt",
    "usr/share/clavelle/prénomsf.txt",
    "usr/share/clavelle/prénomsg.txt",
    "usr/share/applications/clavelle.desktop",
    "usr/share/icons/hicolor/scalable/apps/clavelle.svg",
    "usr/share/metainfo/fr.clavelle.clavelle.metainfo.xml",
    "usr/share/man/man1/clavelle.1.gz",
    "usr/share/doc/clavelle/copyright",
    "usr/share/doc/clavelle/changelog.gz",
]


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=600, **kwargs)
    check(result.returncode == 0, f"{' '.join(args)} failed:\n{result.stdout}\n{result.stderr}")
    return result.stdout


def test(session):
    root = tempfile.mkdtemp(prefix="clavelle-install-")
    try:
        # The package build of `make package`, also installed into a throw-away root.
        build = os.path.join(root, "build")
        run([os.path.join(os.environ["CLAVELLE_SOURCE_DIR"], "packaging", "build-deb"), build, "2",
             "-DCLAVELLE_PREBUILT_DATA_DIR=" + os.path.join(BUILD_DIR, "data")])
        staged = os.path.join(root, "staged")
        run(["cmake", "--install", build, "--prefix", PREFIX], env=dict(os.environ, DESTDIR=staged))
        for path in EXPECTED:
            check(os.path.exists(os.path.join(staged, path)), "installed: " + path)

        desktop = os.path.join(staged, "usr/share/applications/clavelle.desktop")
        if shutil.which("desktop-file-validate"):
            run(["desktop-file-validate", desktop])
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(desktop, encoding="utf-8")
        section = entry["Desktop Entry"]
        check(section["Path"] == "/usr/share/clavelle", "the desktop entry starts in the lexicon folder")
        check("Education" in section["Categories"].split(";"), "listed under Education")
        check("Entraînement" in section["GenericName[fr]"], "a French name")
        check(section["Exec"] == "clavelle %f" and "application/epub+zip" in section["MimeType"].split(";"),
              "books open with the program from the file manager")
        if shutil.which("appstreamcli"):
            run(["appstreamcli", "validate", "--no-net", "--pedantic",
                 os.path.join(staged, "usr/share/metainfo/fr.clavelle.clavelle.metainfo.xml")])

        # The Debian package: its contents, its declared dependencies, and what lintian says.
        packages = glob.glob(os.path.join(build, "*.deb"))
        check(len(packages) == 1, "one package was built")
        contents = run(["dpkg-deb", "-c", packages[0]])
        notice = os.path.join(os.environ["CLAVELLE_SOURCE_DIR"], "tools/lexicon-builder/frequency/NOTICE")
        for path in EXPECTED + (["usr/share/doc/clavelle/NOTICE"] if os.path.exists(notice) else []):
            check("./" + path in contents, "packaged: " + path)
        depends = run(["dpkg-deb", "-f", packages[0], "Depends"])
        check("libqt6widgets6" in depends and "fonts-liberation2" in depends, "declares its dependencies: " + depends)
        recommends = run(["dpkg-deb", "-f", packages[0], "Recommends"])
        check("qt6-wayland" in recommends, "recommends Qt's Wayland plugin: " + recommends)
        if shutil.which("lintian"):
            said = run(["lintian", "--display-info", packages[0]]).splitlines()
            tags = [line for line in said if line[:2] in ("E:", "W:", "I:")]
            check(not tags, "lintian finds nothing:\n" + "\n".join(tags))
        else:
            print("lintian is missing (scripts/install-deps installs it): package not checked")
        unpacked = os.path.join(root, "unpacked")
        run(["dpkg-deb", "-x", packages[0], unpacked])

        # The unpacked program starts where its desktop entry says, and makes its file.
        session.program = os.path.join(unpacked, "usr/bin/clavelle")
        session.data_dir = os.path.join(unpacked, "usr/share/clavelle")
        session.start()
        session.wait_until(lambda: os.path.exists(session.progress_path), "the installed program's first paint")
        time.sleep(1)
        session.screenshot("installed-program")
        check(session.close() == 0, "the installed program ends cleanly")
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main(test, sys.argv)
