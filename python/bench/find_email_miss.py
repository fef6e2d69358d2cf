"""Times Book.find_email with a key that matches nothing against the bare
library call beneath it: the median of five runs after a warm-up, in wall
time and in the thread's CPU time (steadier on a busy machine), with ratios.

    build/release/bin/vesnik-genbook 1000000 /tmp/book.cdir
    PYTHONPATH=build/release/python/package python3 python/bench/find_email_miss.py /tmp/book.cdir
"""

import ctypes
import statistics
import sys
import time
from typing import Callable, Tuple

import vesnik
from vesnik import _native

KEY = "nobody@nowhere.invalid"


def medians_ms(lookup: Callable[[], object]) -> Tuple[float, float]:
    lookup()
    wall, cpu = [], []
    for _ in range(5):
        start, start_cpu = time.perf_counter(), time.thread_time()
        lookup()
        cpu.append(time.thread_time() - start_cpu)
        wall.append(time.perf_counter() - start)
    return statistics.median(wall) * 1e3, statistics.median(cpu) * 1e3


def main(path: str) -> None:
    library = _native.library()
    encoded_path, key = path.encode(), KEY.encode()

    def bare() -> None:
        found = _native.ListPointer()
        status = library.vesnik_find_email(encoded_path, key, 0, ctypes.byref(found))
        library.vesnik_list_free(found)
        assert status == _native.OK

    book = vesnik.Book(path)
    c_wall, c_cpu = medians_ms(bare)
    py_wall, py_cpu = medians_ms(lambda: book.find_email(KEY))
    print(f"vesnik_find_email, no match: {c_wall:7.2f} ms wall {c_cpu:7.2f} ms CPU")
    print(f"Book.find_email, no match:   {py_wall:7.2f} ms wall {py_cpu:7.2f} ms CPU")
    print(f"Python / C:                  {py_wall / c_wall:7.2f}         {py_cpu / c_cpu:7.2f}")


if __name__ == "__main__":
    main(sys.argv[1])
