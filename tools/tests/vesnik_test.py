"""Drives the built vesnik program as a user would: its output, its exit
status and its messages, on the sample address book and on books made here."""

import json
import os
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

PROGRAM = Path(os.environ["VESNIK_PROGRAM"])
BUILD_DIR = Path(os.environ["VESNIK_BUILD_DIR"])
CMAKE = os.environ["VESNIK_CMAKE"]

FOUND, NOTHING_MATCHED, TROUBLE = 0, 1, 2

SAMPLE_IDS = [f"C{n}" for n in range(1001, 1012)] + [""] + [f"C{n}" for n in range(1012, 1020)]
MOREAU = "Moreau\tLuc\tluc.moreau@example.com\tC1005\t\n"
OKAFOR = "Okafor\tChidi\tChidi.Okafor@Example.COM\tC1002\t+1 555 0101\n"
IBARRA = "Ibarra\tLucia\tLucia.Ibarra@Example.Net\tC1014\t+1 555 0113\n"


def run(*args, program=PROGRAM, env=None):
    return subprocess.run([str(program), *args], capture_output=True, env=env, timeout=120)


class BookFiles(unittest.TestCase):
    """Gives each test a directory for address books of its own."""

    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.dir = Path(scratch.name)

    def book(self, content: bytes) -> str:
        path = self.dir / "book.cdir"
        path.write_bytes(content)
        return str(path)


class CommandOutputTest(unittest.TestCase):
    """Each command on the sample book, which the build puts beside the library."""

    def test_found(self):
        cases = [
            (["where"], f"{PROGRAM.parent.resolve()}/\n"),
            (["ids"], "".join(f"{id}\n" for id in SAMPLE_IDS)),
            (["get", "C1005"], MOREAU),
            (["get", "C1009"], "Nakamura\tYuki\tyuki.nakamura@example.org\tC1009\t+1 555 0108\n"),
            (["get", "C1014", "C1002", "C1014", "C9999"], OKAFOR + IBARRA),
            (["email", "chidi.okafor@example.com"], OKAFOR.replace("Chidi.Okafor@Example.COM",
                                                                  "CHIDI.OKAFOR@EXAMPLE.COM")),
            (["email", "MAREN.lindqvist@example.ORG"],
             "Lindqvist\tMaren\tMAREN.LINDQVIST@EXAMPLE.ORG\tC1001\t+1 555 0100\n"
             "Lindqvist\tMaren\tMAREN.LINDQVIST@EXAMPLE.ORG\tC1016\tHome\n"),
            (["id-of", "zsofia.varga@example.org"], "C1004\n"),
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual((result.returncode, result.stdout.decode(), result.stderr),
                                 (FOUND, expected, b""))

    def test_nothing_matched(self):
        cases = [
            ["get", "C9999"],
            ["get", "c1001"],
            ["get", "C9998", "C9999"],
            ["email", "nobody@example.org"],
            ["id-of", "nobody@example.org"],
            # That contact has an e-mail but no identifier.
            ["id-of", "frontdesk@example.com"],
        ]
        for args in cases:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual((result.returncode, result.stdout, result.stderr),
                                 (NOTHING_MATCHED, b"", b""))

    def test_options_go_before_or_after_the_command(self):
        after = run("email", "ada.quist@example.net", "--json")
        before = run("--json", "email", "ada.quist@example.net")
        self.assertEqual(after.returncode, FOUND)
        self.assertEqual(after.stdout, before.stdout)
        self.assertEqual(json.loads(after.stdout)["contactId"], "C1007")


class ExitStatusTest(BookFiles):
    def test_usage_errors(self):
        cases = [[], ["lookup"], ["get"], ["email"], ["email", "a@b", "c@d"], ["--bogus", "ids"],
                 ["ids", "--book"], ["where", "extra"]]
        for args in cases:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, TROUBLE)
                self.assertEqual(result.stdout, b"")
                self.assertRegex(result.stderr.decode(), r"^vesnik: [^\n]+\n$")

    def test_unopened_book_is_named_with_the_reason(self):
        missing = str(self.dir / "missing.cdir")
        books = [(missing, "No such file or directory"), (str(self.dir), "Is a directory")]
        # Some lookups answer null both for "no match" and for "no file".
        commands = [["ids"], ["get", "C1"], ["get", "C1", "C2"], ["email", "a@b"], ["id-of", "a@b"]]
        for book, reason in books:
            for command in commands:
                with self.subTest(book=book, command=command):
                    result = run("--book", book, *command)
                    self.assertEqual(result.returncode, TROUBLE)
                    self.assertEqual(result.stdout, b"")
                    self.assertEqual(result.stderr.decode(),
                                     f"vesnik: cannot open address book '{book}': {reason}\n")

    def test_empty_book_has_nothing(self):
        result = run("--book", self.book(b""), "ids")
        self.assertEqual((result.returncode, result.stdout), (NOTHING_MATCHED, b""))


class JsonOutputTest(BookFiles):
    def parse_lines(self, stdout: bytes):
        # Strict decoding: the output must be UTF-8 whatever the book holds.
        return [json.loads(line) for line in stdout.decode("utf-8").splitlines()]

    def test_records_and_values(self):
        ids = run("ids", "--json")
        self.assertEqual(self.parse_lines(ids.stdout), [id or None for id in SAMPLE_IDS])
        moreau = run("get", "C1005", "--json")
        self.assertEqual(self.parse_lines(moreau.stdout), [{
            "field1": "Moreau", "field2": "Luc", "email": "luc.moreau@example.com",
            "contactId": "C1005", "field5": None}])
        where = run("where", "--json")
        self.assertEqual(self.parse_lines(where.stdout), [f"{PROGRAM.parent.resolve()}/"])

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
                result = run("--book", book, "--json", "get", f"K{n}")
                self.assertEqual(result.returncode, FOUND)
                line = result.stdout.decode("utf-8")
                self.assertEqual(line, '{"field1":%s,"field2":"x","email":"e@x","contactId":'
                                 '"K%d","field5":null}\n' % (text, n))
                self.assertEqual(json.loads(line)["field1"], value)
                tab_separated = run("--book", book, "get", f"K{n}")
                self.assertEqual(tab_separated.stdout, field + b"\tx\te@x\tK%d\t\n" % n)


class HelpTest(unittest.TestCase):
    def test_help_shows_each_command_with_an_example(self):
        result = run("--help")
        self.assertEqual(result.returncode, FOUND)
        text = result.stdout.decode()
        for command in ["where", "ids", "get", "email", "id-of"]:
            with self.subTest(command=command):
                self.assertRegex(text, rf"\n  {command} +\S")
                self.assertRegex(text, rf"\n  vesnik {command}\b")
                own = run(command, "--help")
                self.assertEqual(own.returncode, FOUND)
                self.assertRegex(own.stdout.decode(), rf"Example:\n  vesnik {command}\b")

    def test_version(self):
        result = run("--version")
        self.assertEqual(result.returncode, FOUND)
        self.assertRegex(result.stdout.decode(), r"^vesnik \d+\.\d+\.\d+\n$")


class InstalledProgramTest(BookFiles):
    def test_runs_from_any_prefix_without_library_path(self):
        first = self.dir / "first"
        subprocess.run([CMAKE, "--install", str(BUILD_DIR), "--prefix", str(first)], check=True,
                       capture_output=True)
        moved = self.dir / "moved"
        shutil.move(first, moved)
        env = {name: value for name, value in os.environ.items() if name != "LD_LIBRARY_PATH"}
        program = moved / "bin" / "vesnik"
        libdir = next(moved.rglob("libVesnik_API.so")).parent

        where = run("where", program=program, env=env)
        self.assertEqual(where.stdout.decode(), f"{libdir.resolve()}/\n")

        sample = next(moved.glob("share/doc/*/examples/AddressBook.CDIR"))
        found = run("--book", str(sample), "id-of", "ada.quist@example.net", program=program,
                    env=env)
        self.assertEqual((found.returncode, found.stdout), (FOUND, b"C1007\n"))

        # The made-up sample is not installed as the library's default book.
        default = run("ids", program=program, env=env)
        self.assertEqual(default.returncode, TROUBLE)
        self.assertIn(f"'{libdir.resolve()}/AddressBook.CDIR'", default.stderr.decode())


if __name__ == "__main__":
    unittest.main()
