"""The package against a small book of awkward lines, and its failures."""

import ctypes
import ctypes.util
import errno

import pytest

import vesnik
from vesnik import Contact

BOOK = (
    b"M\xfcller,Ann,ann.lee@example.org,C1,+1 555\n"  # Latin-1, not UTF-8
    b"\t,Lee\tBo,,ANN.LEE@Example.ORG\tC2\r\n"  # leading and repeated separators, CR LF
    b"\n"
    b"Solo\n"
    b",,\t\n"  # separators only: a contact with no fields
    b"Dup,One,d@x.org,C1,first dup\n"
    b"Caf\xc3\xa9,x,\xff@x.org,C\xff,a\rb"  # a lone CR is data; no final LF
)
E = [
    Contact("M\udcfcller", "Ann", "ann.lee@example.org", "C1", "+1 555"),
    Contact("Lee", "Bo", "ANN.LEE@Example.ORG", "C2", None),
    Contact("Solo", None, None, None, None),
    Contact(None, None, None, None, None),
    Contact("Dup", "One", "d@x.org", "C1", "first dup"),
    Contact("Caf\u00e9", "x", "\udcff@x.org", "C\udcff", "a\rb"),
]
SIZE_MAX = 2 ** (8 * ctypes.sizeof(ctypes.c_size_t)) - 1


@pytest.fixture(scope="module")
def book(tmp_path_factory):
    path = tmp_path_factory.mktemp("book") / "tricky.cdir"
    path.write_bytes(BOOK)
    return vesnik.Book(path)


# Each lookup with what it returns, or the exception it raises.
@pytest.mark.parametrize(
    "lookup, expected",
    [
        (lambda b: b.all(), E),
        (lambda b: b.find_id("C1"), E[0]),
        (lambda b: b.find_id(b"C\xff"), E[5]),
        (lambda b: b.find_ids(["C2", "C1", "C1", ""]), [E[0], E[1], E[4]]),
        (lambda b: b.find_ids(iter(["C1", "C2"]), limit=2), E[:2]),
        (lambda b: b.find_email("Ann.Lee@EXAMPLE.org"), E[:2]),
        (lambda b: b.find_email("\udcff@X.ORG"), [E[5]]),
        (lambda b: b.search("EXAMPLE\tlee  ann"), E[:2]),  # any order, any field, any case
        (lambda b: b.search("m\udcfc"), E[:1]),  # a Latin-1 byte, as str
        (lambda b: b.search("@x.", SIZE_MAX), E[4:]),
        # Folded unless told not to; an invalid byte is compared as itself either way.
        (lambda b: b.search("CAFE"), E[5:]),
        (lambda b: b.search("CAFE", fold=False), []),
        (lambda b: b.search("m\udcfc", fold=False), E[:1]),
        # Ranked: a word begins field2; a word of the e-mail; inside one.
        (lambda b: b.search("X", rank=True), [E[5], E[4], E[0], E[1]]),
        (lambda b: b.search("X", 1, rank=True), [E[5]]),
        (lambda b: b.find_ids(["C1"], limit=SIZE_MAX), [E[0], E[4]]),
        # The C side would stop at a NUL, and match a shorter key.
        (lambda b: b.find_email("ann.lee@example.org\0x"), ValueError),
        (lambda b: b.search("ann", limit=-1), ValueError),
        (lambda b: b.find_id(1), TypeError),
        # One key where a list of keys belongs.
        (lambda b: b.find_ids("C1"), TypeError),
        # Past what the C side's size_t holds, where it would wrap.
        (lambda b: b.search("e", SIZE_MAX + 1), OverflowError),
        (lambda b: b.find_ids(["C1"], limit=SIZE_MAX + 2), OverflowError),
        (lambda b: b.find_email("d@x.org", limit=SIZE_MAX + 2), OverflowError),
    ],
)
def test_lookups(book, lookup, expected):
    if isinstance(expected, type):
        with pytest.raises(expected):
            lookup(book)
    else:
        assert lookup(book) == expected


def test_failures_raise_oserror_with_path_and_reason(tmp_path, monkeypatch):
    missing = tmp_path / "missing.cdir"
    lookups = [vesnik.Book.all, lambda b: b.find_id("C1"), lambda b: b.find_ids([]),
               lambda b: b.find_email("x"), lambda b: b.search("x")]
    with monkeypatch.context() as patch:
        # A library without the C interface, tried again by every call.
        patch.setenv("VESNIK_LIBRARY", ctypes.util.find_library("c"))
        patch.setattr(vesnik._native, "_library", None)
        for lookup in lookups + [lambda b: vesnik.default_book(), lambda b: vesnik.library_version()]:
            with pytest.raises(OSError, match=r"^libc\.so\S* is not the vesnik library: it has no vesnik_"):
                lookup(vesnik.Book(missing))
    for lookup in lookups:
        with pytest.raises(FileNotFoundError) as caught:
            lookup(vesnik.Book(missing))
        assert (caught.value.errno, caught.value.filename) == (errno.ENOENT, str(missing))
        with pytest.raises(IsADirectoryError):
            lookup(vesnik.Book(tmp_path))
    # Opens, but reading it at offset 0 fails.
    with pytest.raises(OSError) as caught:
        vesnik.Book("/proc/self/mem").all()
    assert (caught.value.errno, caught.value.filename) == (errno.EIO, "/proc/self/mem")


def test_every_list_is_freed(book, monkeypatch):
    library = vesnik._native.library()
    free = library.vesnik_list_free
    freed = []
    monkeypatch.setattr(library, "vesnik_list_free", lambda handle: freed.append(bool(handle)) or free(handle))
    book.all()
    with monkeypatch.context() as patch:
        patch.setattr(vesnik, "_decode", None)  # fails while the list is read
        with pytest.raises(TypeError):
            book.all()
    monkeypatch.setattr(library, "vesnik_all", lambda path, out: vesnik._native.ERROR_MEMORY)
    with pytest.raises(MemoryError):
        book.all()
    assert freed == [True, True, False]
