"""Drives the built vesnik program as a user would: its output, its exit
status and its messages, on the sample address book and on books made here.
The Windows build's program runs under Wine."""

import json
import os
import resource
import shutil
import signal
import subprocess
import tempfile
import threading
import unittest
from pathlib import Path

PROGRAM = Path(os.environ["VESNIK_PROGRAM"])
BUILD_DIR = Path(os.environ["VESNIK_BUILD_DIR"])
CMAKE = os.environ["VESNIK_CMAKE"]
# Set for the Windows build.
WINE_PREFIX = os.environ.get("VESNIK_WINE_PREFIX")
WINDOWS = WINE_PREFIX is not None

FOUND, NOTHING_MATCHED, TROUBLE = 0, 1, 2

WHERE = (f"Z:{PROGRAM.parent.resolve()}/".replace("/", "\\") if WINDOWS
         else f"{PROGRAM.parent.resolve()}/")
SAMPLE_IDS = [f"C{n}" for n in range(1001, 1012)] + [""] + [f"C{n}" for n in range(1012, 1020)]
MAREN = "Lindqvist\tMaren\tmaren.lindqvist@example.org\tC1001\t+1 555 0100\n"
MAREN_HOME = "Lindqvist\tMaren\tMaren.Lindqvist@Example.org\tC1016\tHome\n"
OKAFOR = "Okafor\tChidi\tChidi.Okafor@Example.COM\tC1002\t+1 555 0101\n"
MOREAU = "Moreau\tLuc\tluc.moreau@example.com\tC1005\t\n"
ADA = "Quist\tAda\tada.quist@example.net\tC1007\tField Team\n"
IBARRA = "Ibarra\tLucia\tLucia.Ibarra@Example.Net\tC1014\t+1 555 0113\n"
ADA_JSON = ('{"field1":"Quist","field2":"Ada","email":"ada.quist@example.net",'
            '"contactId":"C1007","field5":"Field Team"}\n')


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


class CommandOutputTest(BookFiles):
    """Each command on the sample book, which the build puts beside the library."""

    def test_commands(self):
        cases = [
            (["where"], FOUND, f"{WHERE}\n"),
            (["ids"], FOUND, "".join(f"{id}\n" for id in SAMPLE_IDS)),
            (["get", "C1005"], FOUND, MOREAU),
            (["get", "C1014", "C1002", "C1014", "C9999"], FOUND, OKAFOR + IBARRA),
            (["get", "C1014", "C1002", "--limit", "1"], FOUND, OKAFOR),
            # E-mails as the file has them.
            (["email", "chidi.okafor@example.com"], FOUND, OKAFOR),
            (["email", "MAREN.lindqvist@example.ORG"], FOUND, MAREN + MAREN_HOME),
            (["email", "MAREN.lindqvist@example.ORG", "--limit", "1"], FOUND, MAREN),
            (["id-of", "zsofia.varga@example.org"], FOUND, "C1004\n"),
            (["get", "C9999"], NOTHING_MATCHED, ""),
            (["get", "c1001"], NOTHING_MATCHED, ""),
            (["get", "C9998", "C9999"], NOTHING_MATCHED, ""),
            (["email", "nobody@example.org"], NOTHING_MATCHED, ""),
            (["id-of", "nobody@example.org"], NOTHING_MATCHED, ""),
            # That contact has an e-mail but no identifier.
            (["id-of", "frontdesk@example.com"], NOTHING_MATCHED, ""),
            # JSON keys in file order, absent fields null; options before or after the command.
            (["email", "ada.quist@example.net", "--json"], FOUND, ADA_JSON),
            (["--format", "json", "email", "ada.quist@example.net"], FOUND, ADA_JSON),
            (["get", "C1005", "--json"], FOUND,
             '{"field1":"Moreau","field2":"Luc","email":"luc.moreau@example.com",'
             '"contactId":"C1005","field5":null}\n'),
            (["ids", "--json"], FOUND, "".join(f"{json.dumps(id or None)}\n" for id in SAMPLE_IDS)),
            (["where", "--json"], FOUND, f"{json.dumps(WHERE)}\n"),
        ]
        for args, status, stdout in cases:
            with self.subTest(args=args):
                self.assertEqual(run(*args), (status, stdout.encode(), b""))

    def test_bytes_pass_unchanged(self):
        # A CR in the data stays, and none is added before an LF.
        book = self.book(b"a\r\r\nb,c\r,e@x,K1\r\nd,f,g@x,K1\n")
        cases = [
            (["query"], b"a\r\t\t\t\t\nb\tc\r\te@x\tK1\t\nd\tf\tg@x\tK1\t\n"),
            # One identifier gives every contact with it.
            (["get", "K1"], b"b\tc\r\te@x\tK1\t\nd\tf\tg@x\tK1\t\n"),
        ]
        for args, stdout in cases:
            with self.subTest(args=args):
                self.assertEqual(run("--book", book, *args), (FOUND, stdout, b""))


class QueryTest(BookFiles):
    def test_sample_book(self):
        mutt_maren = ("vesnik: 2 contacts\nmaren.lindqvist@example.org\tMaren Lindqvist\tC1001\n"
                      "Maren.Lindqvist@Example.org\tMaren Lindqvist\tC1016\n")
        cases = [
            # Each word in field1, field2 or the e-mail, in any order and letter case.
            (["query", "quist", "ada"], FOUND, ADA),
            (["query", "EXAMPLE.NET ada"], FOUND, ADA),
            (["query", "lindqvist", "home"], NOTHING_MATCHED, ""),
            (["query", "--limit", "2"], FOUND, MAREN + OKAFOR),
            (["query", "ada", "--json"], FOUND, ADA_JSON),
            (["query", "--format", "mutt", "LINDQ"], FOUND, mutt_maren),
            (["query", "--format", "mutt", "--limit", "1", "quist"], FOUND,
             "vesnik: 1 contact\nada.quist@example.net\tAda Quist\tC1007\n"),
            (["query", "--format", "mutt", "front", "desk"], FOUND,
             "vesnik: 1 contact\nfrontdesk@example.com\tReception Front Desk\t\n"),
            (["query", "--format", "mutt", "nobody", "here"], NOTHING_MATCHED,
             "vesnik: no contact matches 'nobody here'\n"),
            (["query", "--format", "aerc", "lindqvist"], FOUND,
             "maren.lindqvist@example.org\tMaren Lindqvist\n"
             "Maren.Lindqvist@Example.org\tMaren Lindqvist\n"),
            (["query", "--format", "aerc", "nobody"], NOTHING_MATCHED, ""),
            (["query", "--format", "aerc", "--name", "{field1}, {field2}", "quist"], FOUND,
             "ada.quist@example.net\tQuist, Ada\n"),
        ]
        for args, status, stdout in cases:
            with self.subTest(args=args):
                self.assertEqual(run(*args), (status, stdout.encode(), b""))

    def test_mail_clients_get_contacts_with_an_email_only(self):
        book = self.book(b"Lee,Ann\n"
                         b"Kim,Ann,ann.kim@x,K2,  Ann   Kim  \n"
                         b"Ng,Ann,ann.ng@x,K3\n")
        cases = [
            (["query", "ann"], FOUND, "Lee\tAnn\t\t\t\nKim\tAnn\tann.kim@x\tK2\t  Ann   Kim  \n"
                                      "Ng\tAnn\tann.ng@x\tK3\t\n"),
            # The contact without an e-mail counts towards neither the limit nor the header.
            (["query", "--format", "mutt", "--limit", "1", "ann"], FOUND,
             "vesnik: 1 contact\nann.kim@x\tAnn Kim\tK2\n"),
            (["query", "--format", "mutt", "lee"], NOTHING_MATCHED,
             "vesnik: no contact matches 'lee'\n"),
            # Absent fields are empty; spaces and TABs are trimmed and each run made one space.
            (["query", "--format", "aerc", "--name", " {field5}\t[{contactId}] {field1}{email} ",
              "ann"], FOUND, "ann.kim@x\tAnn Kim [K2] Kimann.kim@x\nann.ng@x\t[K3] Ngann.ng@x\n"),
        ]
        for args, status, stdout in cases:
            with self.subTest(args=args):
                self.assertEqual(run("--book", book, *args), (status, stdout.encode(), b""))


class ExitStatusTest(BookFiles):
    @unittest.skipIf(WINDOWS, "the same parser on both platforms; Wine is slow to start")
    def test_usage_errors(self):
        cases = [[], ["lookup"], ["get"], ["email"], ["email", "a@b", "c@d"], ["ids", "--book"],
                 ["where", "extra"], ["email", "a@b", "--", "c@d"], ["ids", "--", "x"],
                 ["get", "--format", "mutt", "C1001"], ["query", "--name", "{field1}", "ada"],
                 ["ids", "--limit", "2"], ["query", "--limit", "0"], ["query", "--limit", "x"],
                 ["--json", "--format", "tsv", "ids"], ["query", "--format", "csv"]]
        for args in cases:
            with self.subTest(args=args):
                status, stdout, stderr = run(*args)
                self.assertEqual((status, stdout), (TROUBLE, b""))
                self.assertRegex(stderr.decode(), r"^vesnik: [^\n]+\n$")

    def test_usage_errors_name_their_cause(self):
        cases = [
            (["get", "-C1001"], "unknown option '-C1001'"),
            (["--bogus", "ids"], "unknown option '--bogus'"),
            (["query", "--format", "mutt", "--name", "{field2} {nick}", "ada"],
             "--name: unknown field {nick}"),
        ]
        for args, cause in cases:
            with self.subTest(args=args):
                status, stdout, stderr = run(*args)
                self.assertEqual((status, stdout), (TROUBLE, b""))
                self.assertIn(f"vesnik: {cause}", stderr.decode())

    def test_after_a_double_dash_every_argument_is_the_commands(self):
        cases = [
            (["get", "NOPE", "--", "--json"], NOTHING_MATCHED, ""),
            (["get", "C1005", "--", "--json", "C1007"], FOUND, MOREAU + ADA),
            (["email", "--", "--json"], NOTHING_MATCHED, ""),
            (["query", "ada", "--", "-x"], NOTHING_MATCHED, ""),
        ]
        for args, status, stdout in cases:
            with self.subTest(args=args):
                self.assertEqual(run(*args), (status, stdout.encode(), b""))

    def test_the_book_from_option_environment_or_library(self):
        mine = self.book(b"Mine,Only,m@x,M1\n")
        empty = self.book(b"", "empty.cdir")
        cases = [
            ([], {"VESNIK_BOOK": mine}, (FOUND, b"M1\n", b"")),
            ([], {"VESNIK_BOOK": ""}, run("ids")),
            (["--book", empty], {"VESNIK_BOOK": mine}, (NOTHING_MATCHED, b"", b"")),
            (["--book="], {"VESNIK_BOOK": mine}, run("--book", "", "ids")),
        ]
        for args, variables, expected in cases:
            with self.subTest(args=args, variables=variables):
                self.assertEqual(run(*args, "ids", env=dict(os.environ, **variables)), expected)
        # An empty --book= is the empty path, and takes nothing after it.
        status, _, stderr = run("get", "--book=", "ids", "C1001")
        self.assertEqual(status, TROUBLE)
        self.assertTrue(stderr.startswith(b"vesnik: cannot open address book '': "), stderr)

    def test_unopened_book_is_named_with_the_reason(self):
        missing = str(self.dir / "missing.cdir")
        books = [(missing, "No such file or directory"), (str(self.dir), "Is a directory")]
        commands = [["ids"], ["get", "C1"], ["email", "a@b"], ["id-of", "a@b"], ["query"]]
        for book, reason in books:
            for command in commands:
                with self.subTest(book=book, command=command):
                    status, stdout, stderr = run("--book", book, *command)
                    self.assertEqual((status, stdout), (TROUBLE, b""))
                    # Windows words its reasons its own way.
                    self.assertRegex(stderr.decode(), f"^vesnik: cannot open address book "
                                     f"'{book}': {'.+' if WINDOWS else reason}\n$")

    def test_empty_book_has_nothing(self):
        self.assertEqual(run("--book", self.book(b""), "ids"), (NOTHING_MATCHED, b"", b""))


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
                program = subprocess.Popen(line, env=env, stdout=subprocess.PIPE,
                                           stderr=subprocess.PIPE, restore_signals=default_sigpipe)
                program.stdout.read(10)
                program.stdout.close()
                self.assertEqual((program.wait(timeout=120), program.stderr.read()),
                                 (status, message))
                program.stderr.close()


@unittest.skipIf(WINDOWS, "Linux's devices and limits")
class FailureTest(BookFiles):
    def test_failures_end_with_the_systems_reason(self):
        no_space = b"vesnik: write error: No space left on device\n"
        cases = [
            (["--help"], "/dev/full", no_space),
            (["--version"], "/dev/full", no_space),
            (["query", "--format", "mutt", "ada"], "/dev/full", no_space),
            (["--book", self.big_book(), "ids"], "/dev/full", no_space),
            # The process's own memory fails its first read, at address 0.
            (["--book", "/proc/self/mem", "ids"], os.devnull,
             b"vesnik: cannot read address book '/proc/self/mem': Input/output error\n"),
        ]
        for args, output, message in cases:
            with self.subTest(args=args), open(output, "wb") as stdout:
                self.assertEqual(run(*args, stdout=stdout), (TROUBLE, None, message))

    def test_out_of_memory(self):
        if "VESNIK_SANITIZED" in os.environ:
            self.skipTest("a sanitizer's heap is beyond the data limit's reach")

        def starve():
            resource.setrlimit(resource.RLIMIT_DATA, (2 << 20, 2 << 20))
        self.assertEqual(run("--book", self.big_book(), "query", preexec_fn=starve),
                         (TROUBLE, b"", b"vesnik: out of memory\n"))

    def test_a_fifo_is_opened_once(self):
        fifo = self.dir / "fifo"
        os.mkfifo(fifo)

        def send():
            with open(fifo, "wb") as writer:
                writer.write(b"Lee,Ann,ann@x,K1\n")
        writer = threading.Thread(target=send, daemon=True)
        writer.start()
        # A second open would wait for a writer for ever.
        self.assertEqual(run("--book", str(fifo), "get", "NOPE", timeout=20),
                         (NOTHING_MATCHED, b"", b""))
        writer.join(timeout=10)


class JsonOutputTest(BookFiles):
    def test_bytes_that_are_not_utf8_are_escaped_one_by_one(self):
        # field1 bytes, field1 as the JSON text must show it, and as it parses.
        cases = [
            (b"M\xfcller", r'"M\u00fcller"', "M\u00fcller"),
            (b"Caf\xc3\xa9", '"Caf\u00e9"', "Caf\u00e9"),
            (b"\xf0\x9f\x93\x87", '"\U0001F4C7"', "\U0001F4C7"),
            (b"cut\xc3", r'"cut\u00c3"', "cut\u00c3"),
            (b"\xc0\xaf", r'"\u00c0\u00af"', "\u00c0\u00af"),
            (b"\xe0\x80\xaf", r'"\u00e0\u0080\u00af"', "\u00e0\u0080\u00af"),
            (b"\xf0\x8f\xbf\xbf", r'"\u00f0\u008f\u00bf\u00bf"', "\u00f0\u008f\u00bf\u00bf"),
            (b"\xed\xa0\x80", r'"\u00ed\u00a0\u0080"', "\u00ed\u00a0\u0080"),
            (b"\xf4\x90\x80\x80", r'"\u00f4\u0090\u0080\u0080"', "\u00f4\u0090\u0080\u0080"),
            (b"\xe2\x82", r'"\u00e2\u0082"', "\u00e2\u0082"),
            (b'say "hi" \\ bye', r'"say \"hi\" \\ bye"', 'say "hi" \\ bye'),
            (b"a\rb\x7f", r'"a\u000db' + "\x7f\"", "a\rb\x7f"),
        ]
        book = self.book(b"".join(field + b",x,e@x,K%d\n" % n for n, (field, _, _) in
                                  enumerate(cases)))
        for n, (field, text, value) in enumerate(cases):
            with self.subTest(field=field):
                status, stdout, _ = run("--book", book, "--json", "get", f"K{n}")
                self.assertEqual(status, FOUND)
                # Strict decoding: the output must be UTF-8 whatever the book holds.
                line = stdout.decode("utf-8")
                self.assertEqual(line, '{"field1":%s,"field2":"x","email":"e@x","contactId":'
                                 '"K%d","field5":null}\n' % (text, n))
                self.assertEqual(json.loads(line)["field1"], value)
                self.assertEqual(run("--book", book, "get", f"K{n}")[1],
                                 field + b"\tx\te@x\tK%d\t\n" % n)


class HelpTest(unittest.TestCase):
    def test_help_shows_each_command_with_an_example(self):
        status, stdout, _ = run("--help")
        self.assertEqual(status, FOUND)
        for command in ["query", "get", "email", "ids", "id-of", "where"]:
            with self.subTest(command=command):
                self.assertRegex(stdout.decode(), rf"\n  {command} +\S")
                self.assertRegex(stdout.decode(), rf"\n  vesnik {command}\b")
                own_status, own, _ = run(command, "--help")
                self.assertEqual(own_status, FOUND)
                self.assertRegex(own.decode(), rf"Example:\n  vesnik {command}\b")

    def test_version(self):
        status, stdout, _ = run("--version")
        self.assertEqual(status, FOUND)
        self.assertRegex(stdout.decode(), r"^vesnik \d+\.\d+\.\d+\n$")


class InstalledProgramTest(BookFiles):
    def test_runs_from_any_prefix_without_library_path(self):
        first = self.dir / "first"
        subprocess.run([CMAKE, "--install", str(BUILD_DIR), "--prefix", str(first)], check=True,
                       capture_output=True)
        moved = self.dir / "moved"
        shutil.move(first, moved)
        env = {name: value for name, value in os.environ.items() if name != "LD_LIBRARY_PATH"}
        program = moved / "bin" / "vesnik"
        libdir = next(moved.rglob("libvesnik.so.1")).parent
        self.assertEqual(run("where", program=program, env=env)[1],
                         f"{libdir.resolve()}/\n".encode())

        sample = next(moved.glob("share/doc/*/examples/AddressBook.CDIR"))
        found = run("--book", str(sample), "id-of", "ada.quist@example.net", program=program,
                    env=env)
        self.assertEqual(found[:2], (FOUND, b"C1007\n"))

        # The made-up sample is not installed as the library's default book.
        status, _, stderr = run("ids", program=program, env=env)
        self.assertEqual(status, TROUBLE)
        self.assertIn(f"'{libdir.resolve()}/AddressBook.CDIR'", stderr.decode())


if __name__ == "__main__":
    unittest.main()
