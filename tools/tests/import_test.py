"""vesnik import and --format vcard, driven as a user drives them: the samples
in import/ into the books beside them, every address found again; generated
cards through the export and back; books replaced under running lookups, and
left as they were by every failure."""

import os
import random
import re
import resource
import signal
import subprocess
import tempfile
import threading
import time
import unittest
from pathlib import Path

# setUpModule makes Wine's prefix once.
from vesnik_test import FOUND, TROUBLE, WINDOWS, BookFiles, command_line, run, setUpModule  # noqa: F401

SAMPLES = Path(__file__).parent / "import"
LOCALISED = "family=Nachname,given=Vorname,email=E-Mail-Adresse,email=E-Mail 2,phone=Telefon"

# Each sample, the options it takes, its book, and lines the summary must hold.
CASES = [
    (["vcard21.vcf"], [], "vcard21.cdir", ["AGENT: 2 values not imported", "PHOTO: 1 value"]),
    (["vcard30.vcf"], [], "vcard30.cdir", [
        "vcard30.vcf:22: UID 'C-2' is on an earlier card too; both written",
        "vcard30.vcf:46: comma in name replaced by a space",
        "left out 1 card without an e-mail address"]),
    (["vcard40.vcf"], [], "vcard40.cdir", ["KIND: 1 value not imported"]),
    (["unterminated.vcf"], [], "unterminated.cdir", [
        "unterminated.vcf:1: card without END:VCARD, read up to the next card",
        "unterminated.vcf:5: card without END:VCARD, read as far as it goes"]),
    (["utf16.vcf"], [], "utf16.cdir", []),
    (["utf16be.vcf"], [], "utf16.cdir", []),
    (["google-old.csv"], [], "google-old.cdir", ["0 cards, 4 rows; wrote 6 lines"]),
    (["google-new.csv"], [], "google-new.cdir", []),
    (["outlook-1252.csv"], ["--charset", "windows-1252"], "outlook.cdir", []),
    (["outlook-bom.csv"], [], "outlook.cdir", []),
    (["semicolon.csv"], [], "semicolon.cdir", []),
    (["thunderbird.csv"], [], "thunderbird.cdir", []),
    (["localised.csv"], ["--columns", LOCALISED], "localised.cdir", []),
    (["carddav"], [], "carddav.cdir", [
        "read 4 files", "carddav/zz-broken.vcf: not a vCard file; skipped"]),
]

# Sources that are no book: what the one line says. Each leaves BOOK as it was.
TROUBLE_CASES = [
    (["outlook-1252.csv"], r"outlook-1252\.csv:2: not UTF-8; name its character set with --charset"),
    (["localised.csv"], r"localised\.csv:1: a header row of no export this knows: .* --columns"),
    (["garbage.bin"], r"garbage\.bin: binary data: neither vCard nor CSV"),
    (["prose.txt"], r"prose\.txt: neither vCard .* nor CSV"),
    (["vcard30.vcf", "missing.vcf"], r"cannot read missing\.vcf: "),
    (["--columns", "family=Name,email=Mail", "thunderbird.csv"], r"no column 'Name' \(named by --columns\)"),
    (["EMPTY-FOLDER"], r"a folder without cards"),
]


def card(*lines):
    return "BEGIN:VCARD\r\n" + "".join(line + "\r\n" for line in lines) + "END:VCARD\r\n"


# Sources made to be hard: what becomes of them, and what the summary says.
HOSTILE_CASES = [
    # Embedded cards a hundred thousand deep, then a card of its own.
    ("BEGIN:VCARD\nAGENT:\n" * 100000 + "END:VCARD\n" * 100000 + card("FN:Ada Q", "EMAIL:a@x", "UID:1"),
     "Q,Ada,a@x,1\n", "AGENT: 1 value not imported"),
    # A value past 64 KiB, cut between characters; a photo of 5 MB on one line.
    (card("N:" + "é" * 40000 + ";Ada", "EMAIL:a@x", "UID:2", "PHOTO;ENCODING=b:" + "QUFB" * 1250000),
     "é" * 32768 + ",Ada,a@x,2\n", ["input):2: N value longer than 64 KiB cut", "PHOTO: 1 value"]),
    (card("FN:Many", "UID:3", *[f"EMAIL:m{n}@x" for n in range(1001)]),
     "".join(f"Many, ,m{n}@x,3\n" for n in range(1000)),
     ["a card keeps at most 1000 e-mail addresses: 1 left out"]),
    ("".join(card(f"FN:A,{n}", f"EMAIL:a{n}@x", "UID:same") for n in range(25)),
     "".join(f"{n}, A ,a{n}@x,same\n".replace(f"{n}, A ", f"{n},A") for n in range(25)),
     ["input):101: UID 'same' is on an earlier card too", "\nand 4 more notes\n",
      "input):97: comma in name replaced by a space\nand 5 more changed values\n"]),
]


def columns(line):
    """A book line's five columns, an absent one empty, as tsv prints them."""
    cells = line.split(",")
    return cells + [""] * (5 - len(cells))


def native(path):
    """A path as the program is given it: under Wine, with drive and backslashes."""
    return f"Z:{path.resolve()}".replace("/", "\\") if WINDOWS else str(path)


class ImportSamplesTest(BookFiles):
    def test_each_sample_imports_to_its_book_and_each_address_is_found(self):
        for sources, options, expected, notes in CASES:
            with self.subTest(sources=sources):
                status, book, summary = run("import", *options, *sources, cwd=SAMPLES)
                self.assertEqual((status, book.decode()), (FOUND, (SAMPLES / expected).read_text()))
                for note in notes:
                    self.assertIn(note, summary.decode())
                path = self.book(book)
                for line in book.decode().splitlines():
                    record = ("\t".join(columns(line)) + "\n").encode()
                    family, given, email = columns(line)[:3]
                    # A part of the name's longest word.
                    word = max((family + " " + given).split(), key=len)
                    for lookup in (["email", email.upper()], ["query", word[1:] or word]):
                        self.assertIn(record, run("--book", path, *lookup)[1], lookup)


def generated_cards(seed, count):
    """vCards in the shapes the importer reads, with names that need escaping."""
    pick = random.Random(seed)
    names = ["Ada", "Zsófia", "O'Brien", "Comma,Name", "Semi;Colon", "Back\\slash", "Line\nBreak",
             "田中", "Ἑλένη", "  Spaced  ", "Tab\tbed", "", "Müller-Lüdenscheidt" * 5]

    def escaped(value):
        return value.replace("\\", "\\\\").replace(",", "\\,").replace(";", "\\;").replace("\n", "\\n")
    text = b""
    for n in range(count):
        version = pick.choice(["2.1", "3.0", "4.0"])
        family, given = pick.choice(names), pick.choice(names)
        lines = ["BEGIN:VCARD", f"VERSION:{version}"]
        if version == "2.1" and pick.random() < 0.5:
            qp = "".join(f"={b:02X}" for b in f"{escaped(family)};{escaped(given)}".encode())
            lines.append(f"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:{qp[:30]}=\r\n{qp[30:]}")
        elif pick.random() < 0.8:
            lines.append(f"N:{escaped(family)};{escaped(given)};;;")
        if pick.random() < 0.7:
            lines.append(f"FN:{escaped((given + ' ' + family).strip())}")
        for e in range(pick.choice([0, 1, 1, 2, 3])):
            preference = pick.choice(["", ";TYPE=pref", ";PREF=1", ";type=INTERNET;type=pref"])
            lines.append(f"EMAIL{preference}:{escaped(pick.choice(names))}.{n}.{e}@example.org")
        field5 = pick.choice(["TEL;TYPE=cell:+1 555 {n:04}", "TEL;VALUE=uri:tel:+1-555-{n:04};ext=9",
                              "ORG:{org};Unit", ""])
        lines.append(field5.format(n=n, org=escaped(pick.choice(names))))
        if pick.random() < 0.6:
            lines.append(f"UID:{escaped(pick.choice(['urn:uuid:', 'id;', 'x,']))}{n}")
        lines.append("END:VCARD")
        # Folded at random points, even inside a UTF-8 sequence.
        for line in lines:
            raw = line.encode()
            while len(raw) > 20 and "QUOTED" not in line:
                cut = pick.randrange(5, 20)
                text += raw[:cut] + b"\r\n "
                raw = raw[cut:]
            text += raw + b"\r\n"
    return text


class ImportHostileTest(BookFiles):
    def test_hard_sources_import_as_far_as_they_make_sense(self):
        for source, book, notes in HOSTILE_CASES:
            with self.subTest(book=book[:40]):
                status, out, summary = run("import", "-", input=source.encode())
                self.assertEqual((status, out.decode()), (FOUND, book))
                for note in notes:
                    self.assertIn(note, summary.decode())


class ImportRoundTripTest(BookFiles):
    def test_export_imports_to_the_same_book_and_reads_in_vobject(self):
        for seed in range(4):
            with self.subTest(seed=seed):
                status, book, _ = run("import", "-", input=generated_cards(seed, 300))
                self.assertEqual(status, FOUND)
                status, export, _ = run("--book", self.book(book), "query", "--format", "vcard")
                self.assertEqual(status, FOUND)
                self.assertEqual(run("import", "-", input=export)[1], book)
                # Folded at 75 octets, never inside a UTF-8 sequence.
                for line in export.split(b"\r\n"):
                    self.assertLessEqual(len(line), 75)
                    line.decode()
                self.assertEqual(read_with_vobject(export), expected_cards(book.decode()))

    def test_export_of_a_book_not_the_importers(self):
        # Bytes that are no UTF-8, a record without an identifier, names differing.
        book = self.book(b"M\xfcller,Jo,jo@x,K1,Acme; Inc\nM\xfcller,Jo,j2@x,K1,Acme; Inc\n"
                         b"Lee,Ann,ann@x\nLee,Ann,ann2@x\nLee,Anne,ann3@x,K2,+1 (555) 01\n")
        expected = ("BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\ufffdller;Jo;;;\r\nFN:[K1] Jo\r\nUID:K1\r\n"
                    "ORG:Acme\\; Inc\r\nEMAIL;TYPE=INTERNET,pref:jo@x\r\nEMAIL;TYPE=INTERNET:j2@x\r\n"
                    "END:VCARD\r\n" +
                    "".join(f"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:[] Ann\r\n"
                            f"EMAIL;TYPE=INTERNET,pref:{email}\r\nEND:VCARD\r\n"
                            for email in ["ann@x", "ann2@x"]) +
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Anne;;;\r\nFN:[K2] Anne\r\nUID:K2\r\n"
                    "TEL:+1 (555) 01\r\nEMAIL;TYPE=INTERNET,pref:ann3@x\r\nEND:VCARD\r\n")
        options = ["--book", book, "--format", "vcard", "--name", "[{contactId}] {field2}"]
        # --limit counts records.
        self.assertEqual(run(*options, "get", "K1", "--limit", "1")[1],
                         expected.encode().split(b"EMAIL;TYPE=INTERNET:")[0] + b"END:VCARD\r\n")
        self.assertEqual(run(*options, "query"), (FOUND, expected.encode(),
                         b"vesnik: 1 byte not well-formed UTF-8 written as U+FFFD\n"))


def read_with_vobject(export):
    """Each card as Debian's vobject reads it, in the fields the book has."""
    code = """if True:
        import sys, vobject
        for card in vobject.readComponents(sys.stdin.read()):
            n = card.n.value
            org = card.contents.get("org")
            tel = card.contents.get("tel")
            field5 = tel[0].value if tel else ";".join(org[0].value) if org else ""
            print(repr((n.family, n.given, card.fn.value, [e.value for e in card.email_list],
                        card.uid.value, field5)))
    """
    # Debian's python3, whose vobject a python3 earlier on PATH may not see.
    out = subprocess.run(["/usr/bin/python3", "-c", code], input=export.decode(), check=True,
                         capture_output=True, text=True).stdout
    return out.splitlines()


def expected_cards(book):
    """The cards the export makes of an importer's book, as vobject should read them."""
    cards = []
    for line in book.splitlines():
        family, given, email, uid, field5 = columns(line)
        family, given = family.strip() and family, given.strip() and given
        key = (family, given, uid, field5)
        if cards and cards[-1][0] == key:
            cards[-1][1].append(email)
        else:
            cards.append((key, [email]))
    return [repr((family, given, " ".join((given + " " + family).split()), emails, uid, field5))
            for (family, given, uid, field5), emails in cards]


class ImportBookTest(BookFiles):
    """A book replaced whole: under running lookups, and never by a failure;
    natively and under Wine."""

    def sample_book(self, count, tag):
        cards = "".join(f"BEGIN:VCARD\r\nN:{tag}{n};Given\r\nEMAIL:{tag}{n}@example.org\r\n"
                        f"UID:{tag}-{n}\r\nEND:VCARD\r\n" for n in range(count))
        source = self.dir / f"{tag}.vcf"
        source.write_text(cards)
        lines = "".join(f"{tag}{n},Given,{tag}{n}@example.org,{tag}-{n}\n" for n in range(count))
        return native(source), lines

    def test_lookups_see_the_old_book_or_the_new_whole_while_it_is_replaced(self):
        book = self.dir / "book.cdir"
        sources = [self.sample_book(3000, "old"), self.sample_book(4000, "new")]
        self.assertEqual(run("import", "--output", native(book), sources[0][0])[0], FOUND)
        wholes = {"".join("\t".join(columns(line)) + "\n" for line in lines.splitlines()).encode()
                  for _, lines in sources}
        seen, stop = [], threading.Event()

        def look_up():
            while not stop.is_set():
                seen.append(run("--book", native(book), "query")[1])
        lookups = [threading.Thread(target=look_up) for _ in range(1 if WINDOWS else 2)]
        for thread in lookups:
            thread.start()
        for n in range(6 if WINDOWS else 30):
            source, lines = sources[(n + 1) % 2]
            self.assertEqual(run("import", "--output", native(book), "--replace", source)[0], FOUND)
            self.assertEqual(book.read_text(), lines)
        stop.set()
        for thread in lookups:
            thread.join()
        self.assertTrue(seen)
        for answer in seen:
            self.assertIn(answer, wholes)
        self.assertEqual(sorted(os.listdir(self.dir)), ["book.cdir", "new.vcf", "old.vcf"])

    def test_a_windows_1252_csv_by_its_path_replaces_a_book(self):
        book = self.book(b"Old,Book,old@example.org,K1\n")
        args = ["import", "--charset", "windows-1252", "--output", native(Path(book))]
        source = native(SAMPLES / "outlook-1252.csv")
        self.assertEqual(run(*args, source)[:2], (TROUBLE, b""))
        self.assertEqual(run(*args, "--replace", source)[0], FOUND)
        self.assertEqual(Path(book).read_text(), (SAMPLES / "outlook.cdir").read_text())

    def test_what_is_no_book_is_said_in_one_line_and_changes_nothing(self):
        empty = tempfile.TemporaryDirectory()
        self.addCleanup(empty.cleanup)
        for sources, message in TROUBLE_CASES:
            with self.subTest(sources=sources):
                sources = [native(Path(empty.name)) if source == "EMPTY-FOLDER" else source
                           for source in sources]
                before = self.book(b"Old,Book,old@example.org,K1\n")
                status, out, error = run("import", "--output", native(Path(before)), "--replace",
                                         *sources,
                                         cwd=SAMPLES)
                self.assertEqual((status, out), (TROUBLE, b""))
                self.assertRegex(error.decode(), rf"^vesnik: [^\n]*{message}[^\n]*is as it was\n$")
                self.assertEqual(os.listdir(self.dir), ["book.cdir"])
                self.assertEqual(Path(before).read_bytes(), b"Old,Book,old@example.org,K1\n")


class ImportFailureTest(BookFiles):
    """Linux's limits and signals: a full disk and an interrupt leave BOOK
    byte for byte and no temporary file; links and permission bits stay."""

    OLD = b"Old,Book,old@example.org,K1\n"

    def assert_untouched(self, book, error, message):
        self.assertRegex(error.decode(), rf"^vesnik: {message}.*is as it was\n$")
        self.assertEqual((Path(book).read_bytes(), os.listdir(self.dir)), (self.OLD, ["book.cdir"]))

    def test_a_full_disk_leaves_the_book(self):
        book = self.book(self.OLD)
        source = self.dir.parent / f"big-{os.getpid()}.vcf"
        source.write_text("BEGIN:VCARD\nFN:A B\nEMAIL:a@b\nEND:VCARD\n" * 50000)
        self.addCleanup(source.unlink)
        limit = (resource.RLIMIT_FSIZE, (100000, 100000))
        status, _, error = run("import", "--output", book, "--replace", str(source),
                               preexec_fn=lambda: resource.setrlimit(*limit))
        self.assertEqual(status, TROUBLE)
        self.assert_untouched(book, error, "cannot write '.*': File too large")

    def test_an_interrupt_leaves_the_book(self):
        book = self.book(self.OLD)
        fifo = self.dir.parent / f"fifo-{os.getpid()}"
        os.mkfifo(fifo)
        self.addCleanup(fifo.unlink)
        line, env = command_line(["import", "--output", book, "--replace", str(fifo)])
        with subprocess.Popen(line, env=env, stderr=subprocess.PIPE) as program:
            with open(fifo, "w") as writer:
                writer.write("BEGIN:VCARD\nFN:A B\nEMAIL:a@b\nEND:VCARD\n" * 1000)
                writer.flush()
                # Waiting in a read for more input, with the temporary file open.
                wchan = Path(f"/proc/{program.pid}/wchan")
                deadline = time.monotonic() + 10
                while wchan.read_text() != "pipe_read" and time.monotonic() < deadline:
                    time.sleep(0.01)
                program.send_signal(signal.SIGINT)
                self.assertEqual(program.wait(timeout=10), TROUBLE)
            self.assert_untouched(book, program.stderr.read(), "interrupted")

    def test_a_book_keeps_its_mode_and_its_link(self):
        source = str(SAMPLES / "vcard40.vcf")
        new = self.dir / "new.cdir"
        self.assertEqual(run("import", "--output", str(new), source)[0], FOUND)
        target = Path(self.book(self.OLD, "target.cdir"))
        target.chmod(0o640)
        link = self.dir / "link.cdir"
        link.symlink_to("target.cdir")
        self.assertEqual(run("import", "--output", str(link), "--replace", source)[0], FOUND)
        self.assertEqual((new.stat().st_mode & 0o777, target.stat().st_mode & 0o777), (0o600, 0o640))
        self.assertEqual((os.readlink(link), target.read_bytes()), ("target.cdir", new.read_bytes()))
        self.assertEqual(sorted(os.listdir(self.dir)), ["link.cdir", "new.cdir", "target.cdir"])


if __name__ == "__main__":
    unittest.main()
