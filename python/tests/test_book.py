"""The package against a small book of awkward lines, and its failures."""

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
EXPECTED = [
    Contact("M\udcfcller", "Ann", "ann.lee@example.org", "C1", "+1 555"),
    Contact("Lee", "Bo", "ANN.LEE@Example.ORG", "C2", None),
    Contact("Solo", None, None, None, None),
    Contact(None, None, None, None, None),
    Contact("Dup", "One", "d@x.org", "C1", "first dup"),
    Contact("Caf\u00e9", "x", "\udcff@x.org", "C\udcff", "a\rb"),
]


@pytest.fixture(scope="module")
def book(tmp_path_factory):
    path = tmp_path_factory.mktemp("book") / "tricky.cdir"
    path.write_bytes(BOOK)
    return vesnik.Book(path)


def test_all_keeps_every_byte(book):
    contacts = book.all()
    assert contacts == EXPECTED
    assert contacts[0].field1.encode("utf-8", "surrogateescape") == b"M\xfcller"
    with pytest.raises(AttributeError):
        contacts[0].email = "changed"


def test_find_by_id(book):
    assert book.find_id("C1") == EXPECTED[0]
    assert book.find_id(b"C\xff") == book.find_id("C\udcff") == EXPECTED[5]
    assert book.find_id("c1") is None
    assert book.find_ids(["C2", "C1", "C1", ""]) == [EXPECTED[0], EXPECTED[1], EXPECTED[4]]
    assert book.find_ids(iter(["C1", "C2"]), limit=2) == EXPECTED[:2]
    assert book.find_ids([]) == []
    with pytest.raises(TypeError):
        book.find_id(1)


def test_find_by_email(book):
    assert book.find_email("Ann.Lee@EXAMPLE.org") == EXPECTED[:2]
    assert book.find_email(b"\xff@X.ORG") == book.find_email("\udcff@x.org") == [EXPECTED[5]]
    assert book.find_email("ann.lee@example.org", limit=1) == EXPECTED[:1]
    assert book.find_email("nobody@example.org") == []
    with pytest.raises(ValueError):  # the C side would stop at the NUL
        book.find_email("ann.lee@example.org\0x")
    with pytest.raises(ValueError):
        book.find_email("x", limit=-1)


@pytest.mark.parametrize(
    "text, limit, found",
    [
        ("ann", None, [0, 1]),  # field2 of one, the e-mail of the other
        ("EXAMPLE\tlee  ann", None, [0, 1]),  # any order, any field, any case
        ("m\udcfc", None, [0]),  # a Latin-1 byte, as str
        (b"M\xdcller", None, []),  # bytes outside ASCII compared exactly
        ("C1", None, []),  # identifiers are not searched
        (" \t", 2, [0, 1]),
        ("@X.", 1, [4]),
        ("nobody", None, []),
    ],
)
def test_search(book, text, limit, found):
    assert book.search(text, limit) == [EXPECTED[i] for i in found]


def test_search_rejects_what_the_c_side_cannot_take(book):
    with pytest.raises(ValueError):
        book.search("ann\0lee")
    with pytest.raises(ValueError):
        book.search("ann", limit=-1)
    with pytest.raises(TypeError):
        book.search(None)


def test_unopenable_book_names_path_and_reason(tmp_path):
    missing = tmp_path / "missing.cdir"
    for lookup in (vesnik.Book.all, lambda b: b.find_id("C1"), lambda b: b.find_ids([]), lambda b: b.find_email("x"), lambda b: b.search("x")):
        with pytest.raises(FileNotFoundError) as caught:
            lookup(vesnik.Book(missing))
        assert (caught.value.errno, caught.value.filename) == (errno.ENOENT, str(missing))
        with pytest.raises(IsADirectoryError):
            lookup(vesnik.Book(tmp_path))


def test_read_failing_part_way_raises():
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
    with pytest.raises(FileNotFoundError):
        vesnik.Book("/nonexistent/book").all()
    with monkeypatch.context() as patch:
        patch.setattr(vesnik, "_decode", None)  # fails while the list is read
        with pytest.raises(TypeError):
            book.all()
    monkeypatch.setattr(library, "vesnik_all", lambda path, out: vesnik._native.ERROR_MEMORY)
    with pytest.raises(MemoryError):
        book.all()
    assert freed == [True, False, True, False]
