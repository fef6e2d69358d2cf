"""Drives the built vesnik program as a user would, natively or the Windows
build under Wine: its output, exit status and messages."""

import itertools
import json
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
AERC_LINE = re.search(r"^address-book-cmd = (.*)$", README, re.M)[1]
# Switch on once VESNIK_BOOK names several books and mail clients get the best
# match first: AercTest then reads two books and checks the order of its offer.
SEVERAL_BOOKS_RANKED = False


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
            (["query", "--format", "mutt", "LINDQ"], FOUND,
             "vesnik: 2 contacts\nmaren.lindqvist@example.org\tMaren Lindqvist\tC1001\n"
             "Maren.Lindqvist@Example.org\tMaren Lindqvist\tC1016\n"),
            (["query", "--format", "mutt", "front", "desk"], FOUND,
             "vesnik: 1 contact\nfrontdesk@example.com\tReception Front Desk\t\n"),
            (["query", "--format", "aerc", "nobody"], NOTHING_MATCHED, ""),
            (["query", "--format", "aerc", "--name", "{field1}, {field2}", "quist"], FOUND,
             "ada.quist@example.net\tQuist, Ada\n"),
            # After a "--" every argument is the command's.
            (["get", "C1002", "--", "--json", "C1007"], FOUND, OKAFOR + ADA),
            (["query", "ada", "--", "-x"], NOTHING_MATCHED, ""),
        ])

    def test_mail_clients_get_contacts_with_an_email_only(self):
        book = self.book(b"Lee,Ann\nKim,Ann,ann.kim@x,K2,  Ann   Kim  \nNg,Ann,ann.ng@x,K3\n")
        self.check([
            # The contact without an e-mail counts towards neither the limit nor the header.
            (["query", "--format", "mutt", "--limit", "1", "ann"], FOUND,
             "vesnik: 1 contact\nann.kim@x\tAnn Kim\tK2\n"),
            (["query", "--format", "mutt", "lee", "ann"], NOTHING_MATCHED,
             "vesnik: no contact matches 'lee ann'\n"),
            # Absent fields are empty; spaces and TABs are trimmed and each run made one space.
            (["query", "--format", "aerc", "--name", " {field5}\t[{contactId}] {field1}{email} ",
              "ann"], FOUND, "ann.kim@x\tAnn Kim [K2] Kimann.kim@x\nann.ng@x\t[K3] Ngann.ng@x\n"),
        ], "--book", book)

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
                (["query", "--format", "csv"], "--format: csv not in {tsv,json,mutt,aerc}"),
                # The process's own memory fails its first read, at address 0.
                (["--book", "/proc/self/mem", "ids"],
                 "cannot read address book '/proc/self/mem': Input/output error"),
            ]
        for args, message in cases:
            with self.subTest(args=args):
                status, stdout, stderr = run(*args)
                self.assertEqual((status, stdout), (TROUBLE, b""))
                self.assertRegex(stderr.decode(), rf"^vesnik: [^\n]*{re.escape(message)}[^\n]*\n$")

    def test_the_book_from_option_environment_or_library(self):
        mine = self.book(b"Mine,Only,m@x,M1\n")
        empty = self.book(b"", "empty.cdir")
        cases = [
            ([], {"VESNIK_BOOK": mine}, (FOUND, b"M1\n", b"")),
            ([], {"VESNIK_BOOK": ""}, run("ids")),
            (["--book", empty], {"VESNIK_BOOK": mine}, (NOTHING_MATCHED, b"", b"")),
        ]
        for args, variables, expected in cases:
            with self.subTest(args=args, variables=variables):
                self.assertEqual(run(*args, "ids", env=dict(os.environ, **variables)), expected)

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
        self.assertIn(f'\nset query_command = "{MUTT_LINE}"\n', manual)
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
        # The documented line; the menu's format only widens the address column.
        rc = self.book(f'set header_cache = ""\nset query_command = "{MUTT_LINE}"\n'
                       'set query_format = "%3c %t %-30.30n %-40.40a %e"\n'.encode(), "neomuttrc")
        # The sample book is beside the library, the program's default.
        self.start([f"HOME={self.dir}", "VESNIK_BOOK="],
                   "neomutt", "-n", "-F", rc, "-f", self.book(b"", "empty.mbox"))
        self.screen_with("NeoMutt")
        self.tmux("send-keys", "Q")
        self.screen_with("Query:")
        self.tmux("send-keys", "lindqVIST mar", "Enter")
        screen = self.screen_with("C1016")
        rows = {line.split()[-1]: line.split()[1:-1] for line in screen.splitlines()
                if line.strip().startswith(("1 ", "2 "))}
        # Addresses as the book has them, never upper-cased.
        self.assertEqual(rows, {
            "C1001": ["Maren", "Lindqvist", "<maren.lindqvist@example.org>"],
            "C1016": ["Maren", "Lindqvist", "<Maren.Lindqvist@Example.org>"],
        })


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
        books = (f"{self.book(first, 'first.cdir')}:{self.book(second, 'second.cdir')}"
                 if SEVERAL_BOOKS_RANKED else self.book(first + second))
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
        self.assertEqual(offer if SEVERAL_BOOKS_RANKED else sorted(offer),
                         ["ann.smith@example.org", "joanna.ferreira@example.pt"])


if __name__ == "__main__":
    unittest.main()
