"""The staged package builds a platform wheel that installs offline into a
fresh virtual environment and finds its library and default book there."""

import json
import os
import shutil
import subprocess
import sys
from pathlib import Path

import vesnik

# Prints where the package came from, its default book and that book's contacts.
PROBE = "import json, vesnik; print(json.dumps([vesnik.__file__, vesnik.default_book(), vesnik.Book().all()]))"


def run(command, **options):
    done = subprocess.run([str(part) for part in command], capture_output=True, text=True, **options)
    assert done.returncode == 0, done.stdout + done.stderr
    return done


def test_wheel_installs_offline_and_carries_the_library(tmp_path):
    stage = Path(vesnik.__file__).parent.parent
    assert (stage / "pyproject.toml").is_file(), "run against the staged package in the build tree"
    source = tmp_path / "source"
    shutil.copytree(stage, source, ignore=shutil.ignore_patterns("build", "*.egg-info", "__pycache__"))

    venv = tmp_path / "venv"
    run([sys.executable, "-m", "venv", "--system-site-packages", venv])
    python = venv / "bin" / "python"
    pip = [python, "-m", "pip", "--disable-pip-version-check", "--no-cache-dir"]
    run(pip + ["wheel", "--no-index", "--no-build-isolation", "--no-deps", "-w", tmp_path / "dist", source])
    (wheel,) = (tmp_path / "dist").glob("*.whl")
    assert not wheel.name.endswith("-none-any.whl"), wheel.name
    run(pip + ["install", "--no-index", wheel])

    env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "VESNIK_LIBRARY")}
    installed = Path(run([python, "-c", "import vesnik; print(vesnik.__file__)"], cwd=tmp_path, env=env).stdout.strip()).parent
    assert installed.is_relative_to(venv) and (installed / "libvesnik.so.1").is_file()
    (installed / "AddressBook.CDIR").write_bytes(b"Beside,Package,a@b.org,C1\n")
    found = json.loads(run([python, "-c", PROBE], cwd=tmp_path, env=env).stdout)
    assert found == [str(installed / "__init__.py"), str(installed / "AddressBook.CDIR"), [["Beside", "Package", "a@b.org", "C1", None]]]

    # VESNIK_LIBRARY wins over the copy beside the package.
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    shutil.copy(installed / "libvesnik.so.1", elsewhere)
    (elsewhere / "AddressBook.CDIR").write_bytes(b"Other,Library\n")
    env["VESNIK_LIBRARY"] = str(elsewhere / "libvesnik.so.1")
    found = json.loads(run([python, "-c", PROBE], cwd=tmp_path, env=env).stdout)
    assert found[1:] == [str(elsewhere / "AddressBook.CDIR"), [["Other", "Library", None, None, None]]]
