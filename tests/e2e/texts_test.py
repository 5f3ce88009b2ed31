# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A reader practises on a book of their own ("Vos textes"): a small EPUB of two chapters,
written here, given on the command line, opens at its first passage; two passages are
typed with real key events (each read from the window with Ctrl+C), a wrong key in the
first; each adds a history row "texte". The program is closed and started again, and the
same book is given to a second start, which hands it to the open program: the passage
shown is the third, the text that followed the second."""

import os
import re
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.dirname(__file__))
from x11session import Failure, check, history_rows, main, typeable  # noqa: E402

TEXTS_TITLE = "^Vos textes"
BOOK_TITLE = "Le Retour du capitaine"
CHAPTERS = [
    ("Chapitre premier", [
        "Le matin était clair et la rivière coulait sous le pont de pierre. Marie regarda l'eau longtemps.",
        "Elle reprit son chemin vers la ville. Elle pensait à son frère, parti depuis des années.",
        "Sa mère disait chaque soir qu'il reviendrait. Personne ne la croyait vraiment.",
    ]),
    ("Chapitre deux", [
        "Un jour, une lettre arriva par le dernier courrier de l'hiver. Marie l'ouvrit près de la fenêtre.",
        "Le capitaine écrivait qu'il serait là avant l'été. Elle sourit pour la première fois depuis des mois.",
    ]),
]


def write_book(path):
    """An EPUB: its mimetype, container, package with a spine of two chapters, and XHTML
    chapters with a title and paragraphs."""
    def chapter(title, paragraphs):
        body = f"<h1>{title}</h1>" + "".join(f"<p>{p}</p>" for p in paragraphs)
        return ('<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE html>\n'
                '<html xmlns="http://www.w3.org/1999/xhtml"><head><title>' + title + '</title></head>'
                '<body>' + body + '</body></html>')
    manifest = "".join(f'<item id="c{i}" href="c{i}.xhtml" media-type="application/xhtml+xml"/>'
                       for i in range(len(CHAPTERS)))
    spine = "".join(f'<itemref idref="c{i}"/>' for i in range(len(CHAPTERS)))
    with zipfile.ZipFile(path, "w") as book:
        book.writestr(zipfile.ZipInfo("mimetype"), "application/epub+zip")
        book.writestr("META-INF/container.xml",
                      '<?xml version="1.0"?><container version="1.0" '
                      'xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles>'
                      '<rootfile full-path="OEBPS/livre.opf" media-type="application/oebps-package+xml"/>'
                      '</rootfiles></container>', zipfile.ZIP_DEFLATED)
        book.writestr("OEBPS/livre.opf",
                      '<?xml version="1.0" encoding="UTF-8"?><package xmlns="http://www.idpf.org/2007/opf" '
                      'version="3.0"><metadata xmlns:dc="http://purl.org/dc/elements/1.1/">'
                      f'<dc:title>{BOOK_TITLE}</dc:title><dc:language>fr</dc:language></metadata>'
                      f'<manifest>{manifest}</manifest><spine>{spine}</spine></package>', zipfile.ZIP_DEFLATED)
        for i, (title, paragraphs) in enumerate(CHAPTERS):
            book.writestr(f"OEBPS/c{i}.xhtml", chapter(title, paragraphs), zipfile.ZIP_DEFLATED)


def words(text):
    return text.split()


def book_words():
    return [w for title, paragraphs in CHAPTERS for w in words(title) + words(" ".join(paragraphs))]


def text_rows(folder):
    return history_rows(folder, "texte,")


def texts_window(session):
    return session.wait_for_window(TEXTS_TITLE, "the window of the texts opened with the book")


def copied_passage(session, window):
    session.run(["xdotool", "windowactivate", "--sync", window], check_rc=False)
    session.key("ctrl+c")
    time.sleep(0.3)
    passage = session.clipboard()
    check(passage.strip(), "the passage was copied")
    return passage


def type_passage(session, window, passage, rows_before, folder, wrong_key=False):
    """Types the passage's paragraphs one after the other (the next paragraph follows by
    itself); a key lost by xdotool means Escape and the passage again."""
    check(typeable(passage.replace("\n", "")), "the passage is typed by keys of the French layout: " + passage)
    for attempt in range(3):
        session.run(["xdotool", "windowactivate", "--sync", window], check_rc=False)
        for number, paragraph in enumerate(passage.split("\n")):
            if wrong_key and number == 0:
                session.type_text(paragraph[:5])
                session.type_plain("z")  # a wrong key
                session.type_text(paragraph[5:])
            else:
                session.type_text(paragraph)
        try:
            session.wait_until(lambda: len(text_rows(folder)) > rows_before, "the passage's history row", timeout=10)
            return
        except Failure:
            if attempt == 2:
                raise
            print("a key was lost; typing the passage again")
            session.key("Escape")


def test(session):
    folder = os.path.join(session.xdg, "Clavelle")
    book = os.path.join(session.home, "retour.epub")
    write_book(book)
    session.start(args=[book])
    window = texts_window(session)
    first = copied_passage(session, window)
    check(words(first) == book_words()[:len(words(first))], "the book opens at its beginning: " + first)
    check(first.startswith("Chapitre premier\n"), "the chapter's title is a paragraph of its own: " + first)
    session.screenshot("first-passage")

    type_passage(session, window, first, 0, folder, wrong_key=True)
    session.screenshot("first-passage-typed")
    rows = text_rows(folder)
    check(rows[0][2] == "1", f"the wrong key is counted: {rows[0]}")
    session.key("Return")
    time.sleep(0.3)
    second = copied_passage(session, window)
    typed = words(first) + words(second)
    check(typed == book_words()[:len(typed)], "Enter brings the next passage: " + second)
    type_passage(session, window, second, 1, folder)
    check(len(text_rows(folder)) == 2, "one history row a passage")
    with open(os.path.join(folder, "textes.txt"), encoding="utf-8") as f:
        places = f.read()
    check(re.search(r"\tpassage=2\t", places), "the place is kept after the second passage: " + places)
    check(f"titre={BOOK_TITLE}\t" in places, "the book's title is kept: " + places)

    session.run(["wmctrl", "-c", "Vos textes"])
    time.sleep(0.5)
    check(session.close() == 0, "the program ends cleanly")

    # Opened again from a file manager while the program is open: the second start hands
    # the book to the first and ends.
    session.start()
    second_start = subprocess.run([session.program, book], cwd=session.data_dir, env=session.env, timeout=30,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(second_start.returncode == 0, f"the book is handed to the open program ({second_start.returncode})")
    window = texts_window(session)
    third = copied_passage(session, window)
    session.screenshot("resumed")
    check(words(third) == book_words()[len(typed):len(typed) + len(words(third))],
          "the book resumes at the third passage, the text that followed the second: " + third)
    session.run(["wmctrl", "-c", "Vos textes"])
    time.sleep(0.5)
    check(session.close() == 0, "the program ends cleanly")
    print(f"typed {len(typed)} words in two passages; resumed at: {third[:40]!r}")


if __name__ == "__main__":
    main(test, sys.argv)
