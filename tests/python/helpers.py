# helpers - failure prefixes, file digests and directory snapshots shared by the tests.
from __future__ import annotations

import hashlib
import os
from pathlib import Path

# Prefixes of the five failure kinds as they appear in RuntimeError messages.
ERROR_PREFIXES = (
    "io error: ",
    "zip error: ",
    "xml error: ",
    "xml text decode error: ",
    "invalid input: ",
)
# Text of the RuntimeError raised by a function whose operation is not built yet.
NOT_AVAILABLE = "not available yet"
MISSING_FILE = "io error: No such file or directory (os error 2)"


def _shared_folder() -> Path:
    """The folder of real-world decks and schemas that sits beside the repository
    (VELMORA_SHARED overrides it). The real-world checks need it: fail loudly without it."""
    candidates = [Path(os.environ["VELMORA_SHARED"])] if "VELMORA_SHARED" in os.environ else []
    candidates += [Path(__file__).resolve().parents[3] / "shared", Path("/work/shared")]
    for candidate in candidates:
        if (candidate / "corpus").is_dir():
            return candidate
    raise RuntimeError(f"the shared corpus folder was not found (looked in {', '.join(map(str, candidates))})")


SHARED = _shared_folder()
CORPUS = SHARED / "corpus"


def sha256_file(path: Path) -> str:
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def listing(directory: Path) -> list[str]:
    """Every file and folder below directory, relative and sorted (temporary files included)."""
    return sorted(str(p.relative_to(directory)) for p in Path(directory).rglob("*"))


def current_umask() -> int:
    mask = os.umask(0)
    os.umask(mask)
    return mask


def mode_bits(path: Path) -> int:
    return Path(path).stat().st_mode & 0o7777
