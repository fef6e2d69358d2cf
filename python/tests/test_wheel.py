"""The staged package builds a platform wheel that installs offline into a
fresh virtual environment, and finds its library, the libraries that one
links, and its default book there."""

import json
import os
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

import vesnik

# The default book, the contacts in it, and the directories of the utf8proc
# libraries loaded; the folded search, which needs utf8proc, finds them too.
PROBE = """import json, os, vesnik
found = [vesnik.default_book(), vesnik.Book().all()]
assert vesnik.Book().search("BESÍDE") == found[1], vesnik.Book().search("BESÍDE")
maps = open("/proc/self/maps").read().split()
print(json.dumps(found + [sorted({os.path.dirname(f) for f in maps if "/libutf8proc.so" in f})]))"""


def run(command, cwd=None, **variables):
    # Without PYTHONPATH, where the staged copy would pass for an installed one.
    env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "VESNIK_LIBRARY")}
    env.update(variables)
    done = subprocess.run([str(part) for part in command], capture_output=True, text=True, cwd=cwd, env=env)
    assert done.returncode == 0, done.stdout + done.stderr
    return done.stdout


def test_wheel_installs_offline_and_carries_the_library(tmp_path):
    stage = Path(vesnik.__file__).parent.parent
    shutil.copytree(stage, tmp_path / "source", ignore=shutil.ignore_patterns("build", "*.egg-info"))
    run([sys.executable, "-m", "venv", "--system-site-packages", tmp_path / "venv"])
    pip = [tmp_path / "venv/bin/python", "-m", "pip", "--disable-pip-version-check", "--no-cache-dir"]
    run(pip + ["wheel", "--no-index", "--no-build-isolation", "--no-deps", "-w", tmp_path, tmp_path / "source"])
    (wheel,) = tmp_path.glob("*.whl")
    assert not wheel.name.endswith("-none-any.whl"), wheel.name
    with zipfile.ZipFile(wheel) as contents:
        info = f"vesnik-{vesnik.__version__}.dist-info"
        assert "License: MIT\n" in contents.read(f"{info}/METADATA").decode()
        assert contents.read(f"{info}/LICENSE") == (stage / "LICENSE").read_bytes()
    run(pip + ["install", "--no-index", "--force-reinstall", wheel])

    # Away from the staged copy, the package loads the library beside it, or
    # the one VESNIK_LIBRARY names; beside it, with the package's own utf8proc
    # rather than the system's.
    (library,) = tmp_path.glob("venv/lib/python3*/site-packages/vesnik/libvesnik.so.1")
    other = tmp_path / "other"
    other.mkdir()
    shutil.copy(library, other)
    for directory, variables in [(library.parent, {}), (other, {"VESNIK_LIBRARY": str(other / library.name)})]:
        (directory / "AddressBook.CDIR").write_bytes(b"Beside," + directory.name.encode() + b"\n")
        found = json.loads(run([pip[0], "-c", PROBE], tmp_path, **variables))
        assert found[:2] == [str(directory / "AddressBook.CDIR"), [["Beside", directory.name, None, None, None]]]
        if directory == library.parent:
            assert found[2] == [os.path.realpath(library.parent)]
    assert (library.parent / "utf8proc.copyright").is_file()
