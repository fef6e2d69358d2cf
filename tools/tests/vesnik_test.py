"""Drives the built vesnik program as a user would, natively or the Windows
build under Wine: its output, exit status and messages."""

import itertools
import json
import random
import os
import re
import resource
import shlex
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest
from pathlib import Path

PROGRAM = Path(os.environ["VESNIK_PROGRAM"])
BUILD_DIR = Path(os.environ["VESNIK_BUILD_DIR"])
CMAKE = os.environ["VESNIK_CMAKE"]
# Set for the Windows build.
WINE_PREFIX = os.environ.get("VESNIK_WINE_PREFIX")
WINDOWS = WINE_PREFIX is not None

FOUND, NOTHING_MATCHED, TROUBLE = 0, 1, 2
# What separates the books VESNIK_BOOK lists, as PATH's paths.
PATH_SEPARATOR = ";" if WINDOWS else ":"

WHERE = (f"Z:{PROGRAM.parent.resolve()}/".replace("/", "\\") if WINDOWS
         else f"{PROGRAM.parent.resolve()}/")
SAMPLE_IDS = [f"C{n}" for n in range(1001, 1012)] + [""] + [f"C{n}" for n in range(1012, 1020)]
MAREN = "Lindqvist\tMaren\tmaren.lindqvist@example.org\tC1001\t+1 555 0100\n"
MAREN_HOME = "Lindqvist\tMaren\tMaren.Lindqvist@Example.org\tC1016\tHome\n"
OKAFOR = "Okafor\tChidi\tChidi.Okafor@Example.COM\tC1002\t+1 555 0101\n"
ADA = "Quist\tAda\tada.quist@example.net\tC1007\tField Team\n"
# The mail-client lines README gives, and the manual page repeats.
SOURCE_DIR = Path(__file__).resolve().parents[2]
README = (SOURCE_DIR / "README.md").read_text(encoding="utf-8")
MUTT_LINE = re.search(r'^set query_command = "(.*)"$', README, re.M)[1]
MUTT_SORT = re.search(r"^set sort_alias = (.*)$", README, re.M)[1]
AERC_LINE = re.search(r"^address-book-cmd = (.*)$", README, re.M)[1]


def setUpModule():
    if WINDOWS:
        # The build's runner makes Wine's prefix once, however many tests start.
        subprocess.run([os.environ["VESNIK_WINE_RUNNER"], WINE_PREFIX, str(PROGRAM), "--version"],
                       check=True, capture_output=True, timeout=300)


def command_line(args, program=PROGRAM, env=None):
    """The command and environment that run program with args, under Wine for Windows."""
    if not WINDOWS:
        return [str(program), *args], env
    env = dict(os.environ if env is None else env, WINEPREFIX=WINE_PREFIX, WINEARCH="win32",
               WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    env.pop("DISPLAY", None)
    return ["wine", str(program), *args], env


def run(*args, program=PROGRAM, env=None, stdout=subprocess.PIPE, timeout=120, **options):
    line, env = command_line(args, program, env)
    result = subprocess.run(line, env=env, stdout=stdout, stderr=subprocess.PIPE, timeout=timeout,
                            **options)
    # Windows ends its messages' lines with CR LF; standard output is written as bytes.
    stderr = result.stderr.replace(b"\r\n", b"\n") if WINDOWS else result.stderr
    return result.returncode, result.stdout, stderr


class BookFiles(unittest.TestCase):
    """Gives each test a directory for address books of its own."""

    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.dir = Path(scratch.name)

    def book(self, content: bytes, name="book.cdir") -> str:
        path = self.dir / name
        path.write_bytes(content)
        return str(path)

    def big_book(self) -> str:
        # Far more than a pipe holds.
        return self.book(b"".join(b"Name%d,Given,n%d@example.org,K%d\n" % (n, n, n)
                                  for n in range(40000)), "big.cdir")

    def check(self, cases, *options):
        """Runs each (arguments, exit status, standard output) case after options."""
        for args, status, stdout in cases:
            with self.subTest(args=args):
                expected = stdout if isinstance(stdout, bytes) else stdout.encode()
                self.assertEqual(run(*options, *args), (status, expected, b""))


class OutputTest(BookFiles):
    def test_each_command_and_format_on_the_sample_book(self):
        # The build puts the sample book beside the library, where the program looks by default.
        self.check([
            (["where"], FOUND, f"{WHERE}\n"),
            (["ids"], FOUND, "".join(f"{id}\n" for id in SAMPLE_IDS)),
            (["--format", "json", "ids"], FOUND,
             "".join(f"{json.dumps(id or None)}\n" for id in SAMPLE_IDS)),
            (["get", "C1007", "C1002", "C1007", "C9999"], FOUND, OKAFOR + ADA),
            # JSON keys in file order, absent fields null; options before or after the command.
            (["get", "C1005", "--json"], FOUND,
             '{"field1":"Moreau","field2":"Luc","email":"luc.moreau@example.com",'
             '"contactId":"C1005","field5":null}\n'),
            # E-mails as the file has them.
            (["email", "MAREN.lindqvist@example.ORG"], FOUND, MAREN + MAREN_HOME),
            (["id-of", "zsofia.varga@example.org"], FOUND, "C1004\n"),
            (["id-of", "nobody@example.org"], NOTHING_MATCHED, ""),
            # That contact has an e-mail but no identifier.
            (["id-of", "frontdesk@example.com"], NOTHING_MATCHED, ""),
            # Each word in field1, field2 or the e-mail, in any order and letter case.
            (["query", "quist", "EXAMPLE.NET ada"], FOUND, ADA),
            (["query", "--limit", "2"], FOUND, MAREN + OKAFOR),
            # Each address once, as the book first has it.
            (["query", "--format", "mutt", "LINDQ"], FOUND,
             "vesnik: 1 contact\nmaren.lindqvist@example.org\tMaren Lindqvist\tC1001\n"),
            (["query", "--format", "mutt", "front", "desk"], FOUND,
             "vesnik: 1 contact\nfrontdesk@example.com\tReception Front Desk\t\n"),
            (["query", "--format", "aerc", "nobody"], NOTHING_MATCHED, ""),
            (["query", "--format", "aerc", "--name", "{field1}, {field2}", "quist"], FOUND,
             "ada.quist@example.net\tQuist, Ada\n"),
            # After a "--" every argument is the command's.
            (["get", "C1002", "--", "--json", "C1007"], FOUND, OKAFOR + ADA),
            (["query", "ada", "--", "-x"], NOTHING_MATCHED, ""),
        ])

    def test_mail_clients_get_each_address_once(self):
        book = self.book(b"Lee,Ann\nKim,Ann,ann.kim@x,K2,  Ann   Kim  \nNg,Ann,ann.ng@x,K3\n"
                         b"Kim,Annie,ANN.KIM@X,K4\n , ,ann.blank@x,K5\n"
                         b'St. John,Ann,ann@stjohn.x,K6\nO"Hara\\,Ann,ann@ohara.x,K7\n')
        self.check([
            # Neither the contact without an e-mail nor an address printed already counts
            # towards the limit or the header.
            (["query", "--format", "mutt", "--limit", "2", "ann"], FOUND,
             "vesnik: 2 contacts\nann.kim@x\tAnn Kim\tK2\nann.ng@x\tAnn Ng\tK3\n"),
            (["query", "--format", "mutt", "lee", "ann"], NOTHING_MATCHED,
             "vesnik: no contact matches 'lee ann'\n"),
            # A query's newline would start a line mutt reads as a contact.
            (["query", "--format", "mutt", "lee\nx@y\tz"], NOTHING_MATCHED,
             "vesnik: no contact matches 'lee\\nx@y\\tz'\n"),
            # An empty name is the address, so that the columns stay.
            (["query", "--format", "mutt", "blank"], FOUND,
             "vesnik: 1 contact\nann.blank@x\tann.blank@x\tK5\n"),
            (["query", "--format", "aerc", "--name", "{field5}", "blank"], FOUND,
             "ann.blank@x\tann.blank@x\n"),
            # Absent fields are empty; spaces and control characters are trimmed and each run
            # made one space.
            (["query", "--format", "aerc", "--name", " {field5}\n[{contactId}] {field1}{email}\r",
              "ann", "ng"], FOUND, "ann.ng@x\t[K3] Ngann.ng@x\n"),
            # Bare where the name is a phrase, else quoted; no name, the address alone.
            (["query", "--format", "address", "ann"], FOUND,
             "Ann Kim <ann.kim@x>\nAnn Ng <ann.ng@x>\nann.blank@x\n"
             '"Ann St. John" <ann@stjohn.x>\n"Ann O\\"Hara\\\\" <ann@ohara.x>\n'),
            (["query", "--format", "address", "--name", "{field1}, {field2}", "ng"], FOUND,
             '"Ng, Ann" <ann.ng@x>\n'),
        ], "--book", book)

    def test_query_folds_case_and_accents_unless_told_not_to(self):
        # Under Wine the words come from the wide command line, whatever the ANSI code page holds.
        book = self.book("Müller,Hans,h@x,K1\nMu\u0308ller,Anna,a@x,K2\nИванов,Иван,i@x,K3\n"
                         "O’Brien,Pat,p@x,K4\n".encode())
        self.check([
            (["query", "muller"], FOUND, "Müller\tHans\th@x\tK1\t\nMu\u0308ller\tAnna\ta@x\tK2\t\n"),
            (["query", "MÜLLER", "anna"], FOUND, "Mu\u0308ller\tAnna\ta@x\tK2\t\n"),
            (["query", "ИВАНОВ"], FOUND, "Иванов\tИван\ti@x\tK3\t\n"),
            (["query", "--format", "mutt", "o'brien"], FOUND, "vesnik: 1 contact\np@x\tPat O’Brien\tK4\n"),
            (["query", "--no-fold", "muller"], NOTHING_MATCHED, ""),
            (["query", "--no-fold", "иванов"], NOTHING_MATCHED, ""),
            (["query", "--no-fold", "Müller"], FOUND, "Müller\tHans\th@x\tK1\t\n"),
        ], "--book", book)

    def test_ranked_answers_against_a_plain_reading(self):
        """Random books and words: the program's ranked lines against the
        matches read plainly, each tier judged at every place, then merged by
        tier, book and file order."""
        rng = random.Random(21)
        def piece():
            return "".join(rng.choice(["an", "Ann", "na", "o'", "b", "-", ".", "e"])
                           for _ in range(rng.randint(1, 3)))
        def begins_a_word(field, word):
            return any(field.startswith(word, p) and (p == 0 or not field[p - 1].isalnum())
                       for p in range(len(field)))
        def tier(record, words):
            f1, f2, email = (field.upper() for field in record[:3])
            return max([1 if begins_a_word(f1, w) or begins_a_word(f2, w) or email.startswith(w)
                        else 2 if begins_a_word(email, w) else 3 for w in words] + [1])
        for round in range(12):
            books = [[(piece(), piece(), rng.choice(["", piece() + "@" + piece(), "ANN@x", "ann@X"]),
                       f"K{b}{n}") for n in range(rng.randint(0, 12))] for b in range(2)]
            paths = [self.book("".join(",".join(r if r[2] else r[:2]) + "\n" for r in book).encode(),
                               f"{b}.cdir") for b, book in enumerate(books)]
            words = [piece() for _ in range(rng.randint(1, 2))]
            upper = [w.upper() for w in words]
            merged = sorted((tier(r, upper), b, n, r) for b, book in enumerate(books)
                            for n, r in enumerate(book)
                            if all(any(w in f.upper() for f in r[:3]) for w in upper))
            lines, seen = [], set()
            for *_, (f1, f2, email, id) in merged:
                if email and email.lower() not in seen:
                    seen.add(email.lower())
                    lines.append(f"{email}\t{f2} {f1}\t{id}\n")
            records = ["\t".join(r if r[2] else r[:2] + ("", "")) + "\t\n" for *_, r in merged]
            for limit in [0, 1, 2, 5]:
                with self.subTest(books=books, words=words, limit=limit):
                    options = [*sum((["--book", path] for path in paths), []),
                               *(["--limit", str(limit)] if limit else []), "query", "--", *words]
                    status, out, _ = run("--format", "mutt", *options)
                    self.assertEqual(out.decode().split("\n", 1)[1], "".join(lines[:limit or None]))
                    status, out, _ = run("--sort", "rank", *options)
                    self.assertEqual(out.decode(), "".join(records[:limit or None]))

    def test_bytes_pass_unchanged_and_json_escapes_each_that_is_not_utf8(self):
        # field1 as the book has it, and as the JSON text shows it.
        fields = [
            (b"a\x7f\r", '"a\x7f\\u000d"'),  # a CR before the line's CR LF is kept
            (b"M\xfcller", r'"M\u00fcller"'),
            (b"Caf\xc3\xa9", '"Caf\u00e9"'),
            (b"\xf0\x9f\x93\x87", '"\U0001F4C7"'),
            (b"cut\xc3", r'"cut\u00c3"'),
            (b"\xc0\xaf", r'"\u00c0\u00af"'),
            (b"\xed\xa0\x80", r'"\u00ed\u00a0\u0080"'),
            (b"\xf4\x90\x80\x80", r'"\u00f4\u0090\u0080\u0080"'),
            (b'say "hi" \\ bye', r'"say \"hi\" \\ bye"'),
        ]
        book = self.book(b"".join(field + b",x,e@x,K1\r\n" for field, _ in fields))
        # One identifier gives every contact with it.
        self.check([
            (["get", "K1"], FOUND, b"".join(field + b"\tx\te@x\tK1\t\n" for field, _ in fields)),
            (["--json", "query"], FOUND, "".join(
                '{"field1":%s,"field2":"x","email":"e@x","contactId":"K1","field5":null}\n' % text
                for _, text in fields)),
        ], "--book", book)


class UsageTest(BookFiles):
    def test_trouble_is_said_on_one_line(self):
        missing = str(self.dir / "missing.cdir")
        # Windows words its reasons its own way.
        no_file, a_folder = ("", "") if WINDOWS else ("No such file or directory", "Is a directory")
        cases = [
            (["get", "-C1001"], "unknown option '-C1001'"),
            (["query", "--format", "mutt", "--name", "{field2} {nick}", "ada"],
             "--name: unknown field {nick}"),
            # Each command reaches the book; "--book=" is the empty path, and takes nothing after it.
            *[(command + [f"--book={missing}"], f"cannot open address book '{missing}': {no_file}")
              for command in [["ids"], ["get", "C1"], ["email", "a@b"], ["id-of", "a@b"], ["query"]]],
            (["query", "--book", str(self.dir)], f"cannot open address book '{self.dir}': {a_folder}"),
            (["get", "--book=", "ids", "C1001"], f"cannot open address book '': {no_file}"),
            # Past the largest size_t, whatever its width.
            (["query", "--limit", "99999999999999999999"], "is more than"),
            (["querry", "ada"], "unknown command 'querry'"),
        ]
        # The same parser on both platforms, and Wine is slow to start.
        if not WINDOWS:
            cases += [
                (["--bogus", "ids"], "unknown option '--bogus'"),
                ([], "A subcommand is required"),
                (["get"], "ID is required"),
                (["get", "--format", "mutt", "C1001"], "mutt is for the query command only"),
                (["query", "--name", "{field1}", "ada"], "--name: does not apply to --format tsv"),
                (["ids", "--limit", "2"], "--limit: applies to query, get and email only"),
                (["query", "--limit", "0"], "'0' is not a whole number of 1 or more"),
                (["--json", "--format", "tsv", "ids"], "--format excludes --json"),
                (["query", "--format", "csv"], "--format: csv not in {tsv,json,vcard,mutt,aerc,address}"),
                (["ids", "--format", "vcard"], "vcard is for query, get and email only"),
                (["import"], "SOURCE is required"),
                (["--book", "b", "import", "x"], "--book: applies to the lookups, not to import"),
                (["import", "--replace", "x"], "--replace requires --output"),
                (["import", "--charset", "no-such", "x"], "knows no character set 'no-such'"),
                (["import", "--columns", "family=A", "x"], "--columns: names no email=COL"),
                # The process's own memory fails its first read, at address 0.
                (["--book", "/proc/self/mem", "ids"],
                 "cannot read address book '/proc/self/mem': Input/output error"),
                # User text stays on the message's line.
                (["--book", "a\nb", "ids"], "cannot open address book 'a\\nb'"),
                (["--format", "x\ty", "query"], "x\\ty not in"),
            ]
        for args, message in cases:
            with self.subTest(args=args):
                status, stdout, stderr = run(*args)
                self.assertEqual((status, stdout), (TROUBLE, b""))
                self.assertRegex(stderr.decode(), rf"^vesnik: [^\n]*{re.escape(message)}[^\n]*\n$")

    def test_the_books_from_options_environment_or_library(self):
        mine = self.book(b"Mine,Ann,ann@x,M1\n")
        other = self.book(b"Other,Ann,ANN@x,O1\nOther,Bo,bo@x,O2\n", "other.cdir")
        empty = self.book(b"", "empty.cdir")
        missing = str(self.dir / "missing.cdir")
        listed = PATH_SEPARATOR.join(["", mine, "", other, ""])
        gone = f"vesnik: cannot open address book '{missing}'"
        cases = [
            (["ids"], {"VESNIK_BOOK": mine}, (FOUND, b"M1\n")),
            (["ids"], {"VESNIK_BOOK": ""}, run("ids")[:2]),
            (["ids"], {"VESNIK_BOOK": PATH_SEPARATOR}, run("ids")[:2]),
            (["ids"], {"VESNIK_BOOK": listed}, (FOUND, b"M1\nO1\nO2\n")),
            (["ids", "--book", empty], {"VESNIK_BOOK": mine}, (NOTHING_MATCHED, b"")),
            # Each book answers in turn; one that cannot be read is said, and the status is 2.
            (["ids", "--book", missing, "--book", other], {}, (TROUBLE, b"O1\nO2\n", gone)),
            (["--book", other, "--limit", "2", "query", "--book", mine, "ann"], {},
             (FOUND, b"Other\tAnn\tANN@x\tO1\t\nMine\tAnn\tann@x\tM1\t\n")),
            (["get", "M1", "O2", "--limit", "1"], {"VESNIK_BOOK": listed},
             (FOUND, b"Mine\tAnn\tann@x\tM1\t\n")),
            (["--book", mine, "--book", missing, "--book", other, "email", "ann@X"], {},
             (TROUBLE, b"Mine\tAnn\tann@x\tM1\t\nOther\tAnn\tANN@x\tO1\t\n", gone)),
            (["id-of", "ann@x"], {"VESNIK_BOOK": PATH_SEPARATOR.join([missing, other, mine])},
             (TROUBLE, b"O1\n", gone)),
            (["id-of", "bo@x"], {"VESNIK_BOOK": listed}, (FOUND, b"O2\n")),
            # Each address once, the first book's.
            (["--format", "aerc", "query", "ann"], {"VESNIK_BOOK": listed},
             (FOUND, b"ann@x\tAnn Mine\n")),
        ]
        for args, variables, expected in cases:
            with self.subTest(args=args, variables=variables):
                status, stdout, stderr = run(*args, env=dict(os.environ, **variables))
                message = expected[2] if len(expected) > 2 else ""
                self.assertEqual((status, stdout, stderr.decode()[:len(message)]),
                                 (*expected[:2], message))
                self.assertEqual(stderr.count(b"\n"), 1 if message else 0)

    def test_help_and_version(self):
        def output(*args):
            status, stdout, _ = run(*args)
            self.assertEqual(status, FOUND)
            return stdout.decode()
        self.assertRegex(output("--version"), r"^vesnik \d+\.\d+\.\d+\n$")
        help = output("--help")
        for command in ["query", "get", "email", "ids", "id-of", "where"]:
            with self.subTest(command=command):
                self.assertRegex(help, rf"\n  {command} +\S")
                self.assertRegex(help, rf"\n  vesnik {command}\b")
                self.assertRegex(output(command, "--help"), rf"Example:\n  vesnik {command}\b")


class ClosedPipeTest(BookFiles):
    def test_a_reader_that_goes_away(self):
        # Linux ends the program with SIGPIPE, as it ends grep, unless SIGPIPE
        # is ignored; Windows has no such signal, and the program says nothing.
        cases = [(True, TROUBLE, b"")] if WINDOWS else [
            (True, -signal.SIGPIPE, b""),
            (False, TROUBLE, b"vesnik: write error: Broken pipe\n"),
        ]
        line, env = command_line(["--book", self.big_book(), "ids"])
        for default_sigpipe, status, message in cases:
            with self.subTest(default_sigpipe=default_sigpipe):
                with subprocess.Popen(line, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                      restore_signals=default_sigpipe) as program:
                    program.stdout.read(10)
                    program.stdout.close()
                    self.assertEqual((program.wait(timeout=120), program.stderr.read()),
                                     (status, message))


class FailureTest(BookFiles):
    """Linux's devices and limits."""

    def test_a_full_device_is_a_write_error(self):
        with open("/dev/full", "wb") as full:
            self.assertEqual(run("--help", stdout=full),
                             (TROUBLE, None, b"vesnik: write error: No space left on device\n"))

    @unittest.skipIf("VESNIK_SANITIZED" in os.environ, "a sanitizer's heap is its own")
    def test_out_of_memory(self):
        starve = (resource.RLIMIT_DATA, (2 << 20, 2 << 20))
        self.assertEqual(run("--book", self.big_book(), "query",
                             preexec_fn=lambda: resource.setrlimit(*starve)),
                         (TROUBLE, b"", b"vesnik: out of memory\n"))

    @unittest.skipUnless("VESNIK_FAILING_ALLOCATOR" in os.environ, "Linux release builds only")
    def test_each_allocation_failing_in_turn(self):
        book = self.book(b"Quist,Ada,ada@x,K1\nLee,Ann\n")
        cases = [["--help"], ["query", "--help"], ["where"], ["querry", "ada"], ["ids", "--book", "/"],
                 *[["--book", book, "--format", format, "query", "a"]
                   for format in ["tsv", "json", "mutt", "aerc", "address"]]]
        for args in cases:
            with self.subTest(args=args):
                unarmed = run(*args)
                for n in itertools.count(1):
                    report = self.dir / "failed"
                    outcome = run(*args, env=dict(
                        os.environ, LD_PRELOAD=os.environ["VESNIK_FAILING_ALLOCATOR"],
                        VESNIK_FAIL_ALLOCATION=str(n), VESNIK_FAIL_ALLOCATION_REPORT=str(report)))
                    if not report.exists():
                        break
                    report.unlink()
                    # Some failures are mended on the way, such as an exception's.
                    if outcome != unarmed:
                        self.assertEqual(outcome, (TROUBLE, b"", b"vesnik: out of memory\n"), n)

    def test_a_fifo_is_opened_once(self):
        fifo = self.dir / "fifo"
        os.mkfifo(fifo)
        writer = threading.Thread(target=fifo.write_bytes, args=(b"Lee,Ann,ann@x,K1\n",), daemon=True)
        writer.start()
        # A second open would wait for a writer for ever.
        self.check([(["get", "NOPE"], NOTHING_MATCHED, "")], "--book", str(fifo))
        writer.join(timeout=10)


class InstalledProgramTest(BookFiles):
    def test_runs_from_any_prefix_without_library_path(self):
        first, moved = self.dir / "first", self.dir / "moved"
        subprocess.run([CMAKE, "--install", str(BUILD_DIR), "--prefix", str(first)], check=True,
                       capture_output=True)
        shutil.move(first, moved)
        env = {name: value for name, value in os.environ.items() if name != "LD_LIBRARY_PATH"}
        program = moved / "bin" / "vesnik"
        libdir = next(moved.rglob("libvesnik.so.1")).parent.resolve()
        sample = next(moved.glob("share/doc/*/examples/AddressBook.CDIR"))
        # The made-up sample is not installed as the library's default book.
        cases = [
            (["where"], FOUND, f"{libdir}/\n".encode(), b""),
            (["--book", str(sample), "id-of", "ada.quist@example.net"], FOUND, b"C1007\n", b""),
            (["ids"], TROUBLE, b"", f"vesnik: cannot open address book '{libdir}/AddressBook.CDIR': "
             "No such file or directory\n".encode()),
        ]
        for args, *expected in cases:
            with self.subTest(args=args):
                self.assertEqual(run(*args, program=program, env=env), tuple(expected))


def mutt_runs(line, typed):
    """mutt quotes the text in single quotes, each ' written '\'', and runs sh -c."""
    return ["sh", "-c", line.replace("%s", "'" + typed.replace("'", "'\\''") + "'")]


def aerc_splits(line, typed):
    """aerc 0.14 puts the text in as typed and splits the line, with no shell.
    Its splitter drops any backslash in double quotes, Python's only one before
    a backslash or a quote: both lose a doubled one."""
    return shlex.split(line.replace("%s", typed))


def aerc_shell_runs(line, typed):
    return ["sh", "-c", line.replace("%s", typed)]


# Each way a client runs its line, and what README says the text cannot hold.
CLIENTS = [("mutt", MUTT_LINE, mutt_runs, ""), ("aerc 0.14", AERC_LINE, aerc_splits, '"\\'),
           ("aerc, sh -c", AERC_LINE, aerc_shell_runs, '"$\\`')]


class ClientLineTest(BookFiles):
    """The documented lines, run as their clients run them, in a folder that
    must stay empty."""

    def setUp(self):
        super().setUp()
        self.contacts = self.book("O'Brien,Siobhán,siobhan.obrien@example.ie,K1\n"
                                  "Smith,Ann,ann.smith@example.org,K2\n"
                                  "Lefèvre,Zoë,zoe.lefevre@example.fr,K3\n"
                                  "Lloyd-Adams,Bea,bea.lloyd-adams@example.org,K4\n".encode())

    def run_line(self, runs, line, typed, path):
        with tempfile.TemporaryDirectory() as work:
            result = subprocess.run(runs(line, typed), cwd=work, capture_output=True, timeout=10,
                                    env=dict(os.environ, PATH=f"{path}:{os.environ['PATH']}",
                                             VESNIK_BOOK=self.contacts))
            self.assertEqual(os.listdir(work), [])
        return result

    def test_typed_text_finds_its_contact(self):
        cases = [
            ("o'brien", ["siobhan.obrien@example.ie"]),
            ("zoë", ["zoe.lefevre@example.fr"]),
            ("ann smith", ["ann.smith@example.org"]),
            ("-a", ["bea.lloyd-adams@example.org"]),
            (".obrien@example", ["siobhan.obrien@example.ie"]),
            ("a>b", []),
        ]
        for (client, line, runs, _), (typed, addresses) in itertools.product(CLIENTS, cases):
            with self.subTest(client=client, typed=typed):
                result = self.run_line(runs, line, typed, PROGRAM.parent)
                found = [row.split("\t")[0] for row in result.stdout.decode().splitlines()
                         if "\t" in row]
                self.assertEqual((result.returncode, found, result.stderr),
                                 (FOUND if addresses else NOTHING_MATCHED, addresses, b""))

    def test_the_manual_page_gives_the_same_lines(self):
        manual = (SOURCE_DIR / "packaging" / "vesnik.1.scd").read_text(encoding="utf-8")
        self.assertIn(f'\nset query_command = "{MUTT_LINE}"\nset sort_alias = {MUTT_SORT}\n', manual)
        self.assertIn(f"\naddress-book-cmd = {AERC_LINE}\n", manual)

    def test_what_each_line_cannot_carry(self):
        # A stand-in for the program prints the arguments it gets. Doubled, a
        # $ or a backquote is a substitution of its own.
        (self.dir / "vesnik").write_text("#!/bin/sh\nprintf '%s\\0' \"$@\"\n")
        (self.dir / "vesnik").chmod(0o755)
        for client, line, runs, cannot_carry in CLIENTS:
            lost = ""
            for character in [*map(chr, range(0x20, 0x7F)), "ë", "’"]:
                typed = character * 2
                try:
                    arguments = self.run_line(runs, line, typed, self.dir).stdout.split(b"\0")
                except ValueError:  # no closing quotation
                    arguments = []
                if arguments[-3:] != [b"--", typed.encode(), b""]:
                    lost += character
            with self.subTest(client=client):
                self.assertEqual(lost, cannot_carry)


class TmuxClient(BookFiles):
    """A mail client in a tmux server of its own, read off the screen; every
    wait is bounded and the server is killed whatever happened. Its socket
    lies in the test's folder, which goes with it."""

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.dir / "tmux", *args], check=True,
                              capture_output=True, text=True, timeout=10).stdout

    def start(self, environment, *command):
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", "160", "-y", "30", "env",
                  "TERM=xterm", "LANG=C.UTF-8", f"PATH={PROGRAM.parent}:{os.environ['PATH']}",
                  *environment, *command)
        self.addCleanup(self.tmux, "kill-server")

    def screen_where(self, found, what, seconds=10):
        deadline = time.monotonic() + seconds
        while not found(screen := self.tmux("capture-pane", "-p")):
            if time.monotonic() > deadline:
                self.fail(f"no {what} on the screen after {seconds} s:\n{screen}")
            time.sleep(0.1)
        return screen

    def screen_with(self, text):
        return self.screen_where(lambda screen: text in screen, repr(text))


class NeomuttTest(TmuxClient):
    """Real neomutt is sent Q and a fragment, and its query menu, filled by the
    program, is read off the screen."""

    def test_query_menu_lists_the_matches(self):
        (self.dir / "Mail").mkdir()
        # The documented lines; the menu's format only widens the address column.
        rc = self.book(f'set header_cache = ""\nset query_command = "{MUTT_LINE}"\n'
                       f"set sort_alias = {MUTT_SORT}\n"
                       'set query_format = "%3c %t %-30.30n %-40.40a %e"\n'.encode(), "neomuttrc")
        # A weaker match in the first book; the sample book, beside the library, second.
        weaker = self.book(b"Blindqvist,Almar,almar@example.org,Z1\n", "weaker.cdir")
        sample = PROGRAM.parent / "AddressBook.CDIR"
        self.start([f"HOME={self.dir}", f"VESNIK_BOOK={weaker}:{sample}"],
                   "neomutt", "-n", "-F", rc, "-f", self.book(b"", "empty.mbox"))
        self.screen_with("NeoMutt")
        self.tmux("send-keys", "Q")
        self.screen_with("Query:")
        self.tmux("send-keys", "lindqVIST mar", "Enter")
        screen = self.screen_with("Z1")
        rows = [line.split()[1:] for line in screen.splitlines()
                if line.strip().startswith(("1 ", "2 ", "3 "))]
        # The best match first; the address as the book first has it, never
        # upper-cased, and once.
        self.assertEqual(rows, [["Maren", "Lindqvist", "<maren.lindqvist@example.org>", "C1001"],
                                ["Almar", "Blindqvist", "<almar@example.org>", "Z1"]])


class AercTest(TmuxClient):
    """Real aerc composes a message over a local Maildir; fragments typed in
    To: are completed through the program."""

    def to_field(self, screen):
        return re.search(r"^To: (.*?) +From:", screen, re.M)[1]

    def offer(self, screen):
        """The addresses aerc offers, in its order, below the To: line."""
        return re.findall(r"<([^<>\s]+)>", screen.split("\nTo: ", 1)[1].split("\n", 1)[1])

    def type_in_to(self, fragment, *offered):
        self.tmux("send-keys", "C-u")
        self.tmux("send-keys", "-l", "--", fragment)
        return self.screen_where(lambda screen: self.to_field(screen) == fragment and all(
            address in self.offer(screen) for address in offered), f"offer of {offered}")

    def complete(self, fragment, name, address):
        self.type_in_to(fragment, address)
        # Tab takes the offer once it is shown; before, it moves to the next field.
        self.tmux("send-keys", "Tab")
        completed = re.compile(rf'{re.escape(name)}"? <{re.escape(address)}>$')
        self.screen_where(lambda screen: completed.search(self.to_field(screen)),
                          f"{name} <{address}> in To:")

    def test_to_completes_through_the_program(self):
        first = ("Ferreira,Joanna,joanna.ferreira@example.pt,J1\n"
                 "Smith,Ann,ann.smith@example.org,A1\n").encode()
        second = ("O'Brien,Siobhán,siobhan.obrien@example.ie,B1\n"
                  "Lefèvre,Zoë,zoe.lefevre@example.fr,B2\n").encode()
        books = f"{self.book(first, 'first.cdir')}:{self.book(second, 'second.cdir')}"
        for folder in ["cur", "new", "tmp"]:
            (self.dir / "mail" / "INBOX" / folder).mkdir(parents=True)
        (self.dir / "config" / "aerc").mkdir(parents=True)
        accounts = self.dir / "config" / "aerc" / "accounts.conf"
        accounts.write_text(f"[local]\nsource = maildir://{self.dir}/mail\ndefault = INBOX\n"
                            f"from = Tester <tester@example.org>\naddress-book-cmd = {AERC_LINE}\n")
        accounts.chmod(0o600)  # aerc refuses one that others may read
        # An editor that waits, whatever is installed.
        editor = self.book(b"#!/bin/sh\nexec cat\n", "editor")
        os.chmod(editor, 0o755)
        self.start([f"HOME={self.dir}", f"EDITOR={editor}", f"VESNIK_BOOK={books}",
                    *[f"XDG_{kind.upper()}_HOME={self.dir}/{kind}"
                      for kind in ["config", "cache", "data", "state"]]], "aerc")
        self.screen_with("INBOX")
        self.tmux("send-keys", "-l", ":compose")
        self.tmux("send-keys", "Enter")
        self.screen_with("Subject:")
        self.complete("o'bri", "Siobhán O'Brien", "siobhan.obrien@example.ie")
        self.complete("zoë", "Zoë Lefèvre", "zoe.lefevre@example.fr")
        offer = self.offer(self.type_in_to("ann", "ann.smith@example.org",
                                           "joanna.ferreira@example.pt"))
        # The best match first, though the other comes first in its book.
        self.assertEqual(offer, ["ann.smith@example.org", "joanna.ferreira@example.pt"])


if __name__ == "__main__":
    unittest.main()
