"""Real neomutt completes addresses through `vesnik query --format mutt`: it
runs in a tmux server of its own, is sent Q and a fragment, and its query
menu is read off the screen. Every wait is bounded; the server is killed at
the end whatever happened."""

import os
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

PROGRAM = Path(os.environ["VESNIK_PROGRAM"])
SAMPLE_BOOK = Path(os.environ["VESNIK_SAMPLE_BOOK"])
WAIT_SECONDS = 10


class NeomuttQueryTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.dir = Path(scratch.name)
        self.socket = f"vesnik-neomutt-{os.getpid()}"
        self.addCleanup(subprocess.run, ["tmux", "-L", self.socket, "kill-server"],
                        capture_output=True, timeout=10)

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket, *args], check=True, capture_output=True,
                              text=True, timeout=10).stdout

    def screen_with(self, text):
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            screen = self.tmux("capture-pane", "-p")
            if text in screen:
                return screen
            if time.monotonic() > deadline:
                self.fail(f"no {text!r} on the screen after {WAIT_SECONDS} s:\n{screen}")
            time.sleep(0.1)

    def test_query_menu_lists_the_matches(self):
        home = self.dir / "home"
        (home / "Mail").mkdir(parents=True)
        mailbox = self.dir / "empty.mbox"
        mailbox.touch()
        rc = self.dir / "neomuttrc"
        # The README's line; the menu's format only widens the address column.
        rc.write_text('set header_cache = ""\n'
                      'set query_command = "vesnik query --format mutt %s"\n'
                      'set query_format = "%3c %t %-30.30n %-40.40a %e"\n')
        environment = [f"HOME={home}", "TERM=xterm", "LANG=C.UTF-8",
                       f"PATH={PROGRAM.parent}:{os.environ['PATH']}", f"VESNIK_BOOK={SAMPLE_BOOK}"]
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", "160", "-y", "30", "env",
                  *environment, "neomutt", "-n", "-F", str(rc), "-f", str(mailbox))
        self.screen_with("NeoMutt")
        self.tmux("send-keys", "Q")
        self.screen_with("Query:")
        self.tmux("send-keys", "-l", "lindqVIST mar")
        self.tmux("send-keys", "Enter")
        screen = self.screen_with("C1016")
        rows = {line.split()[-1]: line.split()[1:-1] for line in screen.splitlines()
                if line.strip().startswith(("1 ", "2 "))}
        # Addresses as the book has them, never upper-cased.
        self.assertEqual(rows, {
            "C1001": ["Maren", "Lindqvist", "<maren.lindqvist@example.org>"],
            "C1016": ["Maren", "Lindqvist", "<Maren.Lindqvist@Example.org>"],
        })


if __name__ == "__main__":
    unittest.main()
