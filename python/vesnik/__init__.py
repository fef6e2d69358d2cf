"""Read-only lookups in a plain-text address book, over the vesnik C library.

    >>> import vesnik
    >>> book = vesnik.Book("contacts.cdir")
    >>> book.find_id("C1002")
    Contact(field1='Okafor', field2='Chidi', email='Chidi.Okafor@Example.COM', ...)

Every lookup reads the file anew. Fields are the file's bytes decoded as UTF-8
with ``surrogateescape``, so ``field.encode("utf-8", "surrogateescape")`` gives
back the exact bytes of any book, UTF-8 or not. Keys may be ``str`` (encoded
the same way) or ``bytes``.
"""

from __future__ import annotations

import ctypes
import operator
import os
import sys
from typing import Any, Callable, Iterable, List, NamedTuple, Optional, Union

from . import _native
from ._version import __version__

__all__ = ["Book", "Contact", "default_book", "library_version", "__version__"]

Key = Union[str, bytes]
"""A lookup key: ``str`` is encoded as UTF-8 with ``surrogateescape``."""

PathArg = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
"""A book's path, as ``open()`` takes it."""


class Contact(NamedTuple):
    """One line of the book; a field is None when its line had too few columns."""

    field1: Optional[str]
    field2: Optional[str]
    email: Optional[str]
    contact_id: Optional[str]
    field5: Optional[str]


def _decode(data: Optional[bytes]) -> Optional[str]:
    return None if data is None else data.decode("utf-8", "surrogateescape")


def _key(key: Key, what: str) -> bytes:
    if isinstance(key, str):
        data = key.encode("utf-8", "surrogateescape")
    elif isinstance(key, bytes):
        data = key
    else:
        raise TypeError(f"{what} must be str or bytes, not {type(key).__name__}")
    # The C side would read only up to the NUL, and match a shorter key.
    if b"\0" in data:
        raise ValueError(f"embedded null byte in {what}")
    return data


if sys.platform == "win32":
    # The library opens books with the narrow Windows API, in the ANSI code page.
    def _encode_path(path: Union[str, bytes]) -> bytes:
        return path if isinstance(path, bytes) else path.encode("mbcs")

    def _decode_path(path: bytes) -> str:
        return path.decode("mbcs")

else:
    _encode_path = os.fsencode
    _decode_path = os.fsdecode


def default_book() -> Optional[str]:
    """The path of the book that ``Book()`` reads: ``AddressBook.CDIR`` beside
    the loaded library. None when the library cannot tell its own directory."""
    library = _native.library()
    size = library.vesnik_default_book(None, 0)
    if size == 0:
        return None
    buffer = ctypes.create_string_buffer(size + 1)
    library.vesnik_default_book(buffer, size + 1)
    return _decode_path(buffer.raw[:size])


def library_version() -> int:
    """The loaded C library's version number, major * 10000 + minor * 100 + patch."""
    return int(_native.library().vesnik_version())


class Book:
    """An address book file, read anew by every lookup.

    ``path`` names the file; None selects the default book, ``AddressBook.CDIR``
    beside the loaded library (see :func:`default_book`).

    A book that cannot be opened raises an :class:`OSError` subclass, as
    ``open()`` would (:class:`FileNotFoundError`, :class:`PermissionError`,
    :class:`IsADirectoryError`...), with the system's ``errno`` and the path as
    ``filename``. A read that fails part-way raises :class:`OSError` with the
    system's reason; no partial answer is ever returned. Running out of memory
    raises :class:`MemoryError`.
    """

    __slots__ = ("path", "_encoded")

    path: Optional[Union[str, bytes]]
    """The path as given (after ``os.fspath``), or None for the default book."""

    def __init__(self, path: Optional[PathArg] = None) -> None:
        self.path = None if path is None else os.fspath(path)
        encoded = None if self.path is None else _encode_path(self.path)
        if encoded is not None and b"\0" in encoded:
            raise ValueError("embedded null byte in path")
        self._encoded: Optional[bytes] = encoded

    def __repr__(self) -> str:
        return f"{type(self).__name__}({self.path!r})"

    def all(self) -> List[Contact]:
        """Every contact, in file order."""
        library = _native.library()
        return self._lookup(lambda out: library.vesnik_all(self._encoded, out))

    def find_id(self, contact_id: Key) -> Optional[Contact]:
        """The first contact whose identifier equals ``contact_id`` byte for
        byte, or None."""
        found = self.find_ids([contact_id], limit=1)
        return found[0] if found else None

    def find_ids(self, contact_ids: Iterable[Key], *, limit: int = 0) -> List[Contact]:
        """Every contact whose identifier equals one of ``contact_ids`` byte for
        byte, in file order, each once; an empty key matches nothing.

        ``limit`` > 0 stops at that many matches."""
        if isinstance(contact_ids, (str, bytes)):
            # Iterating one key would look up each of its characters.
            raise TypeError("contact_ids must be a list of keys, not one key")
        keys = [_key(key, "contact id") for key in contact_ids]
        array = (ctypes.c_char_p * len(keys))(*keys)
        count = _limit(limit)
        library = _native.library()
        return self._lookup(
            lambda out: library.vesnik_find_ids(self._encoded, array, len(keys), count, out)
        )

    def find_email(self, email: Key, *, limit: int = 0) -> List[Contact]:
        """Every contact whose e-mail equals ``email``, ASCII letter case
        ignored, in file order; each ``email`` as the file has it.

        ``limit`` > 0 stops at that many matches."""
        key = _key(email, "email")
        count = _limit(limit)
        library = _native.library()
        return self._lookup(lambda out: library.vesnik_find_email(self._encoded, key, count, out))

    def search(self, text: Key, limit: Optional[int] = None, fold: bool = True,
               rank: bool = False) -> List[Contact]:
        """Every contact where each word of ``text`` stands in its ``field1``,
        ``field2`` or ``email``, in file order; each word may stand in another
        field, in any order. Text without words matches every contact.

        With ``fold``, letter case and accents are ignored in every script
        and words split at any white space; without, as in 1.2, ASCII letter
        case alone, words split at spaces and TABs.

        ``limit`` > 0 stops at that many matches; None or 0, no limit.
        ``rank`` puts the best matches first, as the C interface's
        ``VESNIK_RANK`` does; with a limit, the best that many."""
        key = _key(text, "text")
        count = 0 if limit is None else _limit(limit)
        flags = _native.FOLD_CASE | _native.FOLD_MARKS if fold else 0
        flags |= _native.RANK if rank else 0
        library = _native.library()
        return self._lookup(
            lambda out: library.vesnik_search_v2(self._encoded, key, flags, count, out)
        )

    def _lookup(self, call: Callable[[Any], int]) -> List[Contact]:
        """Runs ``call(out)`` and turns its list into contacts; the list is freed
        whatever happens."""
        library = _native.library()
        handle = _native.ListPointer()
        _native.clear_reason()
        status = call(ctypes.byref(handle))
        # Read at once: the next call into the library replaces the saved code.
        reason = _native.take_reason() if status != _native.OK else 0
        try:
            if status != _native.OK:
                raise self._error(status, reason)
            at = library.vesnik_list_at
            return [
                Contact(
                    _decode(c.field1),
                    _decode(c.field2),
                    _decode(c.email),
                    _decode(c.contact_id),
                    _decode(c.field5),
                )
                for c in (at(handle, i).contents for i in range(library.vesnik_list_size(handle)))
            ]
        finally:
            library.vesnik_list_free(handle)

    def _error(self, status: int, reason: int) -> BaseException:
        text = _native.library().vesnik_status_text(status).decode("ascii", "replace")
        if status == _native.ERROR_MEMORY:
            return MemoryError(text)
        if status in (_native.ERROR_OPEN, _native.ERROR_READ):
            name = self.path if self.path is not None else default_book()
            if sys.platform == "win32":
                # OSError maps the Windows code to errno and to its subclass.
                message = ctypes.FormatError(reason).strip() if reason else text
                return OSError(0, message, name, reason or None)
            return OSError(reason, os.strerror(reason) if reason else text, name)
        return RuntimeError(f"vesnik: {text} (status {status})")


def _limit(limit: int) -> int:
    limit = operator.index(limit)
    if limit < 0:
        raise ValueError("limit must be 0 (no limit) or more")
    # ctypes would pass it modulo the C type's range: 2**64 + 1 as 1 on most
    # machines, and 2**64 as 0, no limit.
    if limit > _SIZE_MAX:
        raise OverflowError(f"limit must be at most {_SIZE_MAX}")
    return limit


_SIZE_MAX = 2 ** (8 * ctypes.sizeof(ctypes.c_size_t)) - 1
