#!/usr/bin/env python3
"""vesnik import's speed and memory: generates the inputs, imports each to
standard output a few times, and prints the median wall time and the peak
resident memory, beside an empty import's.

  bench/import_bench.py [--vesnik PATH] [--dir DIR] [--runs N] [--photo-mb MB]

The inputs: one .vcf of 100,000 cards (about 25 MB), a folder of 10,000 card
files, and a file of cards with large BASE64 photos (1,024 MB by default).
They are written under DIR (default: a temporary folder, removed after).
GNU time (Debian's package time) measures the memory."""

import argparse
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def card(n):
    """A card as a phone or webmail exports it: about 250 bytes."""
    return (f"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:{n:08x}\r\nN:Family{n};Given{n};;;\r\n"
            f"FN:Given{n} Family{n}\r\nEMAIL;TYPE=INTERNET,pref:given{n}@example.org\r\n"
            f"EMAIL;TYPE=work:g.family{n}@work.example.com\r\nTEL;TYPE=cell:+1 555 {n % 10000:04}\r\n"
            f"ADR;TYPE=home:;;{n} Main Street;Springfield;;;\r\n"
            f"END:VCARD\r\n")


def photo_card(n, photo):
    return (f"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Photo{n};Given;;;\r\nEMAIL:photo{n}@example.org\r\n"
            f"PHOTO;ENCODING=b;TYPE=JPEG:{photo}\r\nEND:VCARD\r\n")


def generate(directory, photo_mb):
    big = directory / "cards.vcf"
    with open(big, "w", newline="") as out:
        for n in range(100_000):
            out.write(card(n))
    folder = directory / "carddav"
    folder.mkdir()
    for n in range(10_000):
        (folder / f"{n:05}.vcf").write_text(card(n), newline="")
    # Each photo a MiB of base64, folded at 76 octets as writers fold it.
    line = "A" * 75
    photo = "\r\n ".join([line] * (1024 * 1024 // 78))
    photos = directory / "photos.vcf"
    with open(photos, "w", newline="") as out:
        for n in range(photo_mb):
            out.write(photo_card(n, photo))
    empty = directory / "one.vcf"
    empty.write_text(card(0), newline="")
    return [("one card (the empty import)", empty), ("100,000 cards in one .vcf", big),
            ("10,000 card files in a folder", folder), (f"{photo_mb} MiB of photos", photos)]


def size_of(path):
    if path.is_dir():
        return sum(entry.stat().st_size for entry in path.iterdir())
    return path.stat().st_size


def run_once(vesnik, source):
    """Wall seconds and peak resident KiB of one import to standard output.
    GNU time starts the program: a child of this python would count python's
    own memory as its peak."""
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        status = subprocess.run(["/usr/bin/time", "-o", peak.name, "-f", "%M", vesnik, "import",
                                 str(source)], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL).returncode
        seconds = time.perf_counter() - start
        if status != 0:
            sys.exit(f"vesnik import {source} failed")
        return seconds, int(peak.read().split()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--vesnik", default=str(ROOT / "build/release/bin/vesnik"))
    parser.add_argument("--dir", type=Path)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--photo-mb", type=int, default=1024)
    options = parser.parse_args()
    directory = options.dir or Path(tempfile.mkdtemp(prefix="vesnik-import-bench-"))
    try:
        cases = generate(directory, options.photo_mb)
        print(f"{'input':32} {'size':>10} {'median':>9} {'peak RSS':>10} {'over empty':>11}")
        empty_rss = None
        for name, source in cases:
            runs = [run_once(options.vesnik, source) for _ in range(options.runs)]
            seconds = statistics.median(run[0] for run in runs)
            rss = max(run[1] for run in runs)
            empty_rss = empty_rss if empty_rss is not None else rss
            print(f"{name:32} {size_of(source) / 1e6:8.1f}MB {seconds:8.3f}s {rss / 1024:8.1f}MiB"
                  f" {(rss - empty_rss) / 1024:9.1f}MiB")
    finally:
        if options.dir is None:
            shutil.rmtree(directory)


if __name__ == "__main__":
    main()
