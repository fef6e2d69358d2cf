"""Loads the vesnik C library and declares the functions the package calls."""

from __future__ import annotations

import ctypes
import os
import sys
from pathlib import Path
from typing import List, Optional

if sys.platform == "win32":
    _LIBRARY_NAME = "vesnik.dll"
else:
    _LIBRARY_NAME = "libvesnik.so.1"

# Status codes of vesnik.h.
OK = 0
ERROR_OPEN = -1
ERROR_READ = -2
ERROR_ARGUMENT = -3
ERROR_MEMORY = -4
# vesnik_search_v2's flag for the best matches first.
RANK = 4

# Fold flags of vesnik_search_v2.
FOLD_CASE = 1
FOLD_MARKS = 2


class ContactStruct(ctypes.Structure):
    """vesnik_contact: five NUL-ended strings, each NULL when absent."""

    _fields_ = [
        ("field1", ctypes.c_char_p),
        ("field2", ctypes.c_char_p),
        ("email", ctypes.c_char_p),
        ("contact_id", ctypes.c_char_p),
        ("field5", ctypes.c_char_p),
    ]


class ListStruct(ctypes.Structure):
    """vesnik_list: opaque, only ever handled through a pointer."""


ListPointer = ctypes.POINTER(ListStruct)
ContactPointer = ctypes.POINTER(ContactStruct)


def library_path() -> str:
    """Where the library is loaded from: $VESNIK_LIBRARY, else the copy beside
    this package, else the bare name for the system's library search."""
    named = os.environ.get("VESNIK_LIBRARY")
    if named:
        return named
    beside = Path(__file__).resolve().parent / _LIBRARY_NAME
    if beside.is_file():
        return str(beside)
    return _LIBRARY_NAME


def _load_companions(path: str) -> None:
    """Loads the shared libraries that the package carries beside its own C
    library (utf8proc), when that is the one to load: the dynamic linker then
    finds them loaded when the C library names them."""
    beside = Path(__file__).resolve().parent
    if Path(path).parent != beside:
        return
    for companion in sorted(beside.glob("lib*.so.*")):
        if companion.name != _LIBRARY_NAME:
            _companions.append(ctypes.CDLL(str(companion)))


def _declare(library: ctypes.CDLL, path: str) -> ctypes.CDLL:
    size_t = ctypes.c_size_t
    out = ctypes.POINTER(ListPointer)
    signatures = {
        "vesnik_version": (ctypes.c_int, []),
        "vesnik_status_text": (ctypes.c_char_p, [ctypes.c_int]),
        "vesnik_default_book": (size_t, [ctypes.c_char_p, size_t]),
        "vesnik_all": (ctypes.c_int, [ctypes.c_char_p, out]),
        "vesnik_find_ids": (
            ctypes.c_int,
            [ctypes.c_char_p, ctypes.POINTER(ctypes.c_char_p), size_t, size_t, out],
        ),
        "vesnik_find_email": (ctypes.c_int, [ctypes.c_char_p, ctypes.c_char_p, size_t, out]),
        "vesnik_search": (ctypes.c_int, [ctypes.c_char_p, ctypes.c_char_p, size_t, out]),
        "vesnik_search_v2": (
            ctypes.c_int,
            [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint, size_t, out],
        ),
        "vesnik_list_size": (size_t, [ListPointer]),
        "vesnik_list_at": (ContactPointer, [ListPointer, size_t]),
        "vesnik_list_free": (None, [ListPointer]),
    }
    for name, (restype, argtypes) in signatures.items():
        try:
            function = getattr(library, name)
        except AttributeError:
            # Another library under the expected name, or named by VESNIK_LIBRARY.
            raise OSError(f"{path} is not the vesnik library: it has no {name}") from None
        function.restype = restype
        function.argtypes = argtypes
    return library


_library: Optional[ctypes.CDLL] = None
_companions: List[ctypes.CDLL] = []


def library() -> ctypes.CDLL:
    """The loaded library, loaded on first use so that importing the package
    never fails; raises OSError when it cannot be loaded."""
    global _library
    if _library is None:
        path = library_path()
        # The lookups leave the system's reason for a failure in errno, or on
        # Windows in GetLastError(); ctypes keeps a copy of each per thread.
        try:
            _load_companions(path)
            loaded = ctypes.CDLL(path, use_errno=True, use_last_error=sys.platform == "win32")
        except OSError as error:
            raise OSError(f"cannot load the vesnik library ({error}); VESNIK_LIBRARY may name it") from error
        _library = _declare(loaded, path)
    return _library


def take_reason() -> int:
    """The system's error code the last failed lookup left on this thread."""
    if sys.platform == "win32":
        return ctypes.get_last_error()
    return ctypes.get_errno()


def clear_reason() -> None:
    """Clears the saved error code, so a failure that sets none reads as 0."""
    if sys.platform == "win32":
        ctypes.set_last_error(0)
    else:
        ctypes.set_errno(0)
