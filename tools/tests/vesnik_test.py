"""Drives the built vesnik program as a user would: its output, its exit
status and its messages, on the sample address book and on books made here."""

import json
import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

PROGRAM = Path(os.environ["VESNIK_PROGRAM"])
BUILD_DIR = Path(os.environ["VESNIK_BUILD_DIR"])
CMAKE = os.environ["VESNIK_CMAKE"]

FOUND, NOTHING_MATCHED, TROUBLE = 0, 1, 2

WHERE = f"{PROGRAM.parent.resolve()}/"
SAMPLE_IDS = [f"C{n}" for n in range(1001, 1012)] + [""] + [f"C{n}" for n in range(1012, 1020)]
MOREAU = "Moreau\tLuc\tluc.moreau@example.com\tC1005\t\n"
OKAFOR = "Okafor\tChidi\tChidi.Okafor@Example.COM\tC1002\t+1 555 0101\n"
IBARRA = "Ibarra\tLucia\tLucia.Ibarra@Example.Net\tC1014\t+1 555 0113\n"
ADA_JSON = ('{"field1":"Quist","field2":"Ada","email":"ADA.QUIST@EXAMPLE.NET",'
            '"contactId":"C1007","field5":"Field Team"}\n')


def run(*args, program=PROGRAM, env=None):
    result = subprocess.run([str(program), *args], capture_output=True, env=env, timeout=120)
    return result.returncode, result.stdout, result.stderr


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

    def test_commands(self):
        cases = [
            (["where"], FOUND, f"{WHERE}\n"),
            (["ids"], FOUND, "".join(f"{id}\n" for id in SAMPLE_IDS)),
            (["get", "C1005"], FOUND, MOREAU),
            (["get", "C1009"], FOUND,
             "Nakamura\tYuki\tyuki.nakamura@example.org\tC1009\t+1 555 0108\n"),
            (["get", "C1014", "C1002", "C1014", "C9999"], FOUND, OKAFOR + IBARRA),
            (["email", "chidi.okafor@example.com"], FOUND,
             OKAFOR.replace("Chidi.Okafor@Example.COM", "CHIDI.OKAFOR@EXAMPLE.COM")),
            (["email", "MAREN.lindqvist@example.ORG"], FOUND,
             "Lindqvist\tMaren\tMAREN.LINDQVIST@EXAMPLE.ORG\tC1001\t+1 555 0100\n"
             "Lindqvist\tMaren\tMAREN.LINDQVIST@EXAMPLE.ORG\tC1016\tHome\n"),
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
            (["--json", "email", "ada.quist@example.net"], FOUND, ADA_JSON),
            (["get", "C1005", "--json"], FOUND,
             '{"field1":"Moreau","field2":"Luc","email":"luc.moreau@example.com",'
             '"contactId":"C1005","field5":null}\n'),
            (["ids", "--json"], FOUND, "".join(f"{json.dumps(id or None)}\n" for id in SAMPLE_IDS)),
            (["where", "--json"], FOUND, f"{json.dumps(WHERE)}\n"),
        ]
        for args, status, stdout in cases:
            with self.subTest(args=args):
                self.assertEqual(run(*args), (status, stdout.encode(), b""))


class ExitStatusTest(BookFiles):
    def test_usage_errors(self):
        cases = [[], ["lookup"], ["get"], ["email"], ["email", "a@b", "c@d"], ["--bogus", "ids"],
                 ["ids", "--book"], ["where", "extra"]]
        for args in cases:
            with self.subTest(args=args):
                status, stdout, stderr = run(*args)
                self.assertEqual((status, stdout), (TROUBLE, b""))
                self.assertRegex(stderr.decode(), r"^vesnik: [^\n]+\n$")

    def test_unopened_book_is_named_with_the_reason(self):
        missing = str(self.dir / "missing.cdir")
        books = [(missing, "No such file or directory"), (str(self.dir), "Is a directory")]
        # Some lookups answer null both for "no match" and for "no file".
        commands = [["ids"], ["get", "C1"], ["get", "C1", "C2"], ["email", "a@b"], ["id-of", "a@b"]]
        for book, reason in books:
            for command in commands:
                with self.subTest(book=book, command=command):
                    message = f"vesnik: cannot open address book '{book}': {reason}\n"
                    self.assertEqual(run("--book", book, *command),
                                     (TROUBLE, b"", message.encode()))

    def test_empty_book_has_nothing(self):
        self.assertEqual(run("--book", self.book(b""), "ids"), (NOTHING_MATCHED, b"", b""))


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
        for command in ["where", "ids", "get", "email", "id-of"]:
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
        libdir = next(moved.rglob("libVesnik_API.so")).parent
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
